#!/usr/bin/env bash
# Runs the server's query fuzzer for a while (default 60 s), on the real
# index when it is built, seeded with typical queries.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target server_query_fuzzer terrabo_gazetteer_index
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
i=0
for seed in 'Paris' 'Paris%2C%20Texas' 'S%C3%A3o%20Paulo' '12.972,77.595' 'Lond' 'New+York' \
            'Deutschland' '%ZZ' 'Par%00is' 'M%C3%BCnchen, Bavaria' '-33.250,151.500'; do
  printf '%s' "$seed" >"$corpus/seed$i"
  i=$((i + 1))
done
build-fuzz/tests/fuzz/server_query_fuzzer -max_total_time="${1:-60}" -max_len=600 "$corpus"
