#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite.
# GUI and GL tests need a display: without one the suite runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${TERRABO_UNDER_XVFB:-}" ]; then
  export TERRABO_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
