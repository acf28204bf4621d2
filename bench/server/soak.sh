#!/usr/bin/env bash
# Memory of terrabo-server after a long run of lookups: sends REQUESTS
# (1,000,000) lookups with `wrk -t2 -c64`, in 10 s slices so that it stops
# near the count, and prints the resident memory before, after, and at peak.
#
#   bench/server/soak.sh [BUILD_DIR] [REQUESTS]
set -euo pipefail
build="${1:-build}"
want="${2:-1000000}"
server="$build/server/terrabo-server"
index="$build/server/gazetteer.idx"
query="/zentra/decode.php?address=Paris"
[ -x "$server" ] && [ -f "$index" ] || { echo "soak: build terrabo-server and its index first" >&2; exit 1; }

work="$(mktemp -d)"
"$server" --port 0 --index "$index" 2>"$work/server.log" &
pid=$!
trap 'kill $pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 400); do
  grep -q "listening on" "$work/server.log" && break
  sleep 0.05
done
port="$(sed -n 's#.*listening on http://127.0.0.1:\([0-9]*\).*#\1#p' "$work/server.log")"
[ -n "$port" ] || { echo "soak: the server did not start" >&2; cat "$work/server.log" >&2; exit 1; }
rss() { awk -v k="$1" '$1 == k {printf "%.1f", $2 / 1024}' "/proc/$pid/status"; }

echo "resident before: $(rss VmRSS:) MB"
done_count=0
failed=0
for _ in $(seq 100); do
  [ "$done_count" -ge "$want" ] && break
  wrk -t2 -c64 -d10s "http://127.0.0.1:$port$query" >"$work/wrk.out"
  done_count=$((done_count + $(awk '/requests in/ {print $1}' "$work/wrk.out")))
  failed=$((failed + $(awk '/Non-2xx/ {f += $NF} /Socket errors/ {gsub(",", ""); f += $4 + $6 + $8 + $10} END {print f + 0}' "$work/wrk.out")))
  echo "  $done_count requests, resident $(rss VmRSS:) MB"
done
echo "after $done_count requests ($failed failed): resident $(rss VmRSS:) MB, peak $(rss VmHWM:) MB"
