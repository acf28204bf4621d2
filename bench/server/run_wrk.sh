#!/usr/bin/env bash
# Throughput and latency of a lookup on terrabo-server, side by side with
# nginx serving the same answer as a static file, on this machine.
#
#   bench/server/run_wrk.sh [BUILD_DIR] [DURATION]
#
# Prints requests per second and p99 latency of both, the ratio, the index
# load time and the server's peak resident memory.
set -euo pipefail
build="${1:-build}"
duration="${2:-10s}"
server="$build/server/terrabo-server"
index="$build/server/gazetteer.idx"
query="/zentra/decode.php?address=Paris"
for tool in wrk nginx; do
  command -v "$tool" >/dev/null || { echo "run_wrk: $tool is not installed" >&2; exit 1; }
done
[ -x "$server" ] && [ -f "$index" ] || { echo "run_wrk: build terrabo-server and its index first" >&2; exit 1; }

work="$(mktemp -d)"
server_pid=
nginx_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for() { # port
  for _ in $(seq 100); do
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
nginx_pid=$!
wait_for "$nginx_port"
got="$(curl -s "http://127.0.0.1:$nginx_port$query")"
[ "$got" = "$answer" ] || { echo "run_wrk: nginx answers \"$got\", the server \"$answer\"" >&2; cat "$work/nginx-error.log" >&2; exit 1; }

measure() { # name port
  wrk -t2 -c64 -d"$duration" --latency "http://127.0.0.1:$2$query" >"$work/$1.wrk"
  rps="$(awk '/^Requests\/sec:/ {print $2}' "$work/$1.wrk")"
  p99="$(awk '$1 == "99%" {print $2}' "$work/$1.wrk")"
  errors="$(awk '/Non-2xx|Socket errors/ {print}' "$work/$1.wrk")"
  printf '%-15s %12s req/s   p99 %8s  %s\n' "$1" "$rps" "$p99" "$errors"
  eval "${1//-/_}_rps=$rps"
}

echo "wrk -t2 -c64 -d$duration on $query ($(nproc) cores)"
measure nginx "$nginx_port"
measure terrabo-server "$server_port"
awk -v a="$terrabo_server_rps" -v b="$nginx_rps" 'BEGIN { printf "ratio           %12.2f (terrabo-server / nginx)\n", a / b }'
grep -o 'in [0-9]* ms' "$work/server.log" | head -1 | sed 's/^/index load      /'
awk '/VmHWM/ {printf "peak memory     %12.1f MB resident\n", $2 / 1024}' "/proc/$server_pid/status"
