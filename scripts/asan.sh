#!/usr/bin/env bash
# Builds the app and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-asan) and runs the unit tests and the
# scenarios there: any report fails the run. Leak checks are off, as the
# system's graphics and font libraries keep their memory until exit.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/terrabo-ccache}"
if [ -z "${DISPLAY:-}" ] && [ -z "${TERRABO_UNDER_XVFB:-}" ]; then
  export TERRABO_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)"
ctest --preset asan -j "$(nproc)" "$@"
