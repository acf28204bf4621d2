#!/usr/bin/env bash
# Runs the model-file fuzzer for a while, seeded with the generated globe model.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target pod_fuzzer make_model
corpus=$(mktemp -d)
build-fuzz/tools/model/make_model "$corpus" >/dev/null 2>&1 || QT_QPA_PLATFORM=offscreen build-fuzz/tools/model/make_model "$corpus"
rm -f "$corpus"/*.png
build-fuzz/tests/fuzz/pod_fuzzer -max_total_time="${1:-60}" -max_len=65536 "$corpus"
