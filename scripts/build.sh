#!/usr/bin/env bash
# Configures and builds the default preset (ccache makes rebuilds cheap).
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/terrabo-ccache}"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" "$@"
