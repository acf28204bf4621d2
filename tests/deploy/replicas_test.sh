#!/usr/bin/env bash
# Starts three terrabo-server replicas and nginx balancing them, all on free
# loopback ports, sends load through nginx, kills one replica with SIGKILL
# in the middle of it, and checks that once nginx has noticed no request
# fails and the two left share the work.
#
#   replicas_test.sh SERVER INDEX PROXY_CONF
set -euo pipefail
server="$1"
index="$2"
proxy_conf="$3"
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"
query="/zentra/decode.php?address=Paris"

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; for f in "$work"/*.log; do echo "== $f" >&2; tail -5 "$f" >&2; done; exit 1; }

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for_port() { # port
  for _ in $(seq 200); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.05
  done
  fail "nothing listens on port $1"
}
# Successful lookups a replica has answered, from its own metrics.
answered() { # port
  curl -s --max-time 2 "http://127.0.0.1:$1/metrics" |
    awk -F'} ' '/^terrabo_http_requests_total\{route="\/zentra\/decode.php",status="200"\}/ {print $2}'
}
# Runs wrk through nginx and prints "requests failures".
load() { # seconds
  wrk -t1 -c8 -d"$1"s "http://127.0.0.1:$nginx_port$query" >"$work/wrk.out" || fail "wrk failed"
  awk '/requests in/ {n = $1}
       /Non-2xx/ {f += $NF}
       /Socket errors/ {gsub(",", ""); f += $4 + $6 + $8 + $10}
       END {print n + 0, f + 0}' "$work/wrk.out"
}

ports=()
for i in 1 2 3; do
  "$server" --port 0 --quiet --index "$index" 2>"$work/replica$i.log" &
  pids+=($!)
  replica_pids[$i]=$!
done
for i in 1 2 3; do
  for _ in $(seq 200); do
    grep -q "listening on" "$work/replica$i.log" && break
    kill -0 "${replica_pids[$i]}" 2>/dev/null || fail "replica $i did not start"
    sleep 0.05
  done
  port="$(sed -n 's#.*listening on http://127.0.0.1:\([0-9]*\).*#\1#p' "$work/replica$i.log")"
  [ -n "$port" ] || fail "replica $i did not say its port"
  ports[$i]=$port
done

nginx_port="$(free_port)"
mkdir -p "$work/tmp"
chmod 755 "$work"
cat >"$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/nginx-error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
  upstream terrabo {
    least_conn;
    server 127.0.0.1:${ports[1]} max_fails=1 fail_timeout=30s;
    server 127.0.0.1:${ports[2]} max_fails=1 fail_timeout=30s;
    server 127.0.0.1:${ports[3]} max_fails=1 fail_timeout=30s;
    keepalive 16;
  }
  server {
    listen 127.0.0.1:$nginx_port;
    location / {
      include $proxy_conf;
    }
  }
}
CONF
"$nginx_bin" -e "$work/nginx-error.log" -p "$work" -c "$work/nginx.conf" &
pids+=($!)
wait_for_port "$nginx_port"

expected="$(curl -s --max-time 5 "http://127.0.0.1:${ports[1]}$query")"
[ -n "$expected" ] || fail "no answer from replica 1"
got="$(curl -s --max-time 5 "http://127.0.0.1:$nginx_port$query")"
[ "$got" = "$expected" ] || fail "through nginx: \"$got\", expected \"$expected\""
[ "$(curl -s --max-time 5 "http://127.0.0.1:$nginx_port/healthz")" = "ok" ] || fail "/healthz through nginx"

read -r n f < <(load 2)
echo "three replicas: $n requests, $f failed"
[ "$n" -gt 0 ] && [ "$f" -eq 0 ] || fail "requests failed with all replicas up"

# Kill one replica under load.
wrk -t1 -c8 -d3s "http://127.0.0.1:$nginx_port$query" >"$work/wrk-kill.out" &
wrk_pid=$!
sleep 1
kill -KILL "${replica_pids[2]}"
wait "${replica_pids[2]}" 2>/dev/null || true
wait "$wrk_pid" || fail "wrk failed"
during="$(awk '/Non-2xx/ {f += $NF} /Socket errors/ {gsub(",", ""); f += $4 + $6 + $8 + $10} END {print f + 0}' "$work/wrk-kill.out")"
echo "replica 2 killed under load: $(awk '/requests in/ {print $1}' "$work/wrk-kill.out") requests, $during failed"

before1="$(answered "${ports[1]}")"
before3="$(answered "${ports[3]}")"
read -r n f < <(load 3)
echo "two replicas left: $n requests, $f failed"
[ "$n" -gt 0 ] || fail "no requests got through after the kill"
[ "$f" -eq 0 ] || fail "$f requests failed after nginx knew of the dead replica"
# The app's own way of asking: a POST per lookup, each on a new connection.
for _ in $(seq 20); do
  got="$(curl -s --max-time 5 -X POST "http://127.0.0.1:$nginx_port$query")"
  [ "$got" = "$expected" ] || fail "POST through nginx answered \"$got\""
done
after1="$(answered "${ports[1]}")"
after3="$(answered "${ports[3]}")"
echo "served since: replica 1 $((after1 - before1)), replica 3 $((after3 - before3))"
[ $((after1 - before1)) -gt 0 ] && [ $((after3 - before3)) -gt 0 ] || fail "the two left did not share the load"
echo "replicas behind nginx: no request failed once nginx knew"
