#!/usr/bin/env bash
# Runs the model-file fuzzer for a while (default 60 s), seeded with the
# generated globe model and a small damaged copy of it.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target pod_fuzzer make_model
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/tools/model/make_model "$corpus"
rm -f "$corpus"/*.png
head -c 4096 "$corpus/Balls.pod" >"$corpus/cut.pod"
build-fuzz/tests/fuzz/pod_fuzzer -max_total_time="${1:-60}" -max_len=65536 \
  -dict=tests/fuzz/pod.dict "$corpus"
