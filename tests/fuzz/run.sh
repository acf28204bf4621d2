#!/usr/bin/env bash
# Runs one fuzzer for a while: run.sh [pod|history|answer] [SECONDS] (default
# pod, 60 s). The model fuzzer is seeded with the generated globe model and a
# small damaged copy of it, the others with the files under seeds/.
set -euo pipefail
cd "$(dirname "$0")/../.."
name=pod
if [ $# -gt 0 ] && ! [[ $1 =~ ^[0-9]+$ ]]; then
  name=$1
  shift
fi
seconds=${1:-60}
cmake --preset fuzz >/dev/null
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
case $name in
  pod)
    cmake --build --preset fuzz --target pod_fuzzer make_model
    build-fuzz/tools/model/make_model "$corpus"
    rm -f "$corpus"/*.png
    head -c 4096 "$corpus/Balls.pod" >"$corpus/cut.pod"
    options=(-max_len=65536 -dict=tests/fuzz/pod.dict)
    ;;
  history)
    cmake --build --preset fuzz --target history_fuzzer
    cp tests/fuzz/seeds/history/* "$corpus"
    options=(-max_len=16384 -dict=tests/fuzz/history.dict)
    ;;
  answer)
    cmake --build --preset fuzz --target answer_fuzzer
    cp tests/fuzz/seeds/answer/* "$corpus"
    options=(-max_len=4096)
    ;;
  *)
    echo "run.sh: unknown fuzzer $name (pod, history or answer)" >&2
    exit 2
    ;;
esac
build-fuzz/tests/fuzz/${name}_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
  "${options[@]}" "$corpus"
