#!/usr/bin/env bash
# Throughput and latency of a lookup on terrabo-server, side by side with
# nginx serving the same answer as a static file, on this machine.
#
#   bench/server/run_wrk.sh [BUILD_DIR] [DURATION] [RUNS]
#
# Runs `wrk -t2 -c64` RUNS times (3) for DURATION (4s) against each, taking
# turns so that both see the same machine, and prints the median requests per
# second and p99 latency of both, their ratio, the index load time and the
# server's resident memory. OTHER="name command" adds a third contender: the
# command is started with the port as its last argument and must answer the
# same lookup (used to try other HTTP engines).
set -euo pipefail
build="${1:-build}"
duration="${2:-4s}"
runs="${3:-3}"
server="$build/server/terrabo-server"
index="$build/server/gazetteer.idx"
query="/zentra/decode.php?address=Paris"
for tool in wrk nginx curl python3; do
  command -v "$tool" >/dev/null || { echo "run_wrk: $tool is not installed" >&2; exit 1; }
done
[ -x "$server" ] && [ -f "$index" ] || { echo "run_wrk: build terrabo-server and its index first" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for() { # port
  for _ in $(seq 200); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.05
  done
  echo "run_wrk: nothing listens on port $1" >&2
  exit 1
}

server_port="$(free_port)"
# Request log lines go to a file, as they would when run as a service.
"$server" --port "$server_port" --index "$index" 2>"$work/server.log" &
server_pid=$!
pids+=("$server_pid")
wait_for "$server_port"
answer="$(curl -s "http://127.0.0.1:$server_port$query")"

mkdir -p "$work/www/zentra" "$work/tmp"
chmod 755 "$work" "$work/www" "$work/www/zentra"  # nginx workers run as nobody
printf '%s' "$answer" >"$work/www/zentra/decode.php"
nginx_port="$(free_port)"
cat >"$work/nginx.conf" <<CONF
daemon off;
worker_processes auto;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 1024; }
http {
  access_log $work/nginx-access.log;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
  default_type text/plain;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/www;
  }
}
CONF
nginx -c "$work/nginx.conf" -p "$work" &
pids+=($!)
wait_for "$nginx_port"
got="$(curl -s "http://127.0.0.1:$nginx_port$query")"
[ "$got" = "$answer" ] || { echo "run_wrk: nginx answers \"$got\", the server \"$answer\"" >&2; cat "$work/nginx-error.log" >&2; exit 1; }

contenders=("nginx $nginx_port" "terrabo-server $server_port")
if [ -n "${OTHER:-}" ]; then
  other_name="${OTHER%% *}"
  other_port="$(free_port)"
  ${OTHER#* } "$other_port" 2>"$work/other.log" &
  pids+=($!)
  wait_for "$other_port"
  got="$(curl -s "http://127.0.0.1:$other_port$query")"
  [ "$got" = "$answer" ] || { echo "run_wrk: $other_name answers \"$got\"" >&2; exit 1; }
  contenders+=("$other_name $other_port")
fi

measure() { # name port run
  wrk -t2 -c64 -d"$duration" --latency "http://127.0.0.1:$2$query" >"$work/$1.$3.wrk"
  awk '/^Requests\/sec:/ {print $2}' "$work/$1.$3.wrk" >>"$work/$1.rps"
  awk '$1 == "99%" {v = $2; if (v ~ /us$/) v = v / 1000; else if (v ~ /ms$/) v = v + 0; else if (v ~ /s$/) v = v * 1000; print v}' \
    "$work/$1.$3.wrk" >>"$work/$1.p99"
  awk '/Non-2xx|Socket errors/ {print "  " FILENAME ": " $0}' "$work/$1.$3.wrk"
}

median() { sort -g "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

echo "wrk -t2 -c64 -d$duration on $query, $runs alternating runs ($(nproc) cores)"
for run in $(seq "$runs"); do
  for c in "${contenders[@]}"; do
    measure ${c% *} ${c#* } "$run"
  done
done
for c in "${contenders[@]}"; do
  name="${c% *}"
  printf '%-15s %12.0f req/s   p99 %7.2f ms   (median; runs: %s)\n' "$name" "$(median "$work/$name.rps")" \
    "$(median "$work/$name.p99")" "$(tr '\n' ' ' <"$work/$name.rps")"
done
for c in "${contenders[@]:1}"; do
  name="${c% *}"
  awk -v a="$(median "$work/$name.rps")" -v b="$(median "$work/nginx.rps")" -v n="$name" \
    'BEGIN { printf "ratio           %12.2f (%s / nginx)\n", a / b, n }'
done
grep -o 'in [0-9]* ms' "$work/server.log" | head -1 | sed 's/^/index load      /'
awk '/VmRSS/ {printf "memory          %12.1f MB resident now\n", $2 / 1024}
     /VmHWM/ {printf "peak memory     %12.1f MB resident\n", $2 / 1024}' "/proc/$server_pid/status"
