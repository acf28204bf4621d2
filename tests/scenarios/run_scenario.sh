#!/usr/bin/env bash
# Runs one scenario with a fresh documents folder and checks its exit status.
# A script states a status other than 0 with a line "# exit: N"; extra options
# for the app with "# options: ...", and "# server" starts a terrabo-server for it.
set -uo pipefail
app=$1
script=$2
expected=$(sed -n 's/^# exit: *\([0-9]*\).*/\1/p' "$script" | head -n 1)
expected=${expected:-0}
options=$(sed -n 's/^# options: *//p' "$script" | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null' EXIT
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
# Never the built-in addresses: whatever serves there is not ours. A port that
# nothing listens on refuses at once.
closed="http://127.0.0.1:$(free_port)"
options="--lookup-base $closed --map-base $closed --apps-url $closed/apps --ads-base $closed $options"
if grep -q '^# server' "$script"; then
  port=$(free_port)
  "$TERRABO_SERVER" --port "$port" >"$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break; sleep 0.1; done
  base="http://127.0.0.1:$port"
  options="$options --lookup-base $base --map-base $base --apps-url $base/apps --ads-base $base"
fi
if grep -q '^# lookup-stub' "$script"; then
  python3 "$(dirname "$0")/lookup_stub.py" "$work/port" &
  server_pid=$!
  for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  stub="http://127.0.0.1:$(cat "$work/port")"
  options="$options --lookup-base $stub --map-base $stub --apps-url $stub/apps"
fi
if grep -q '^# history' "$script"; then
  # A history file given inline: the lines after "# history" up to a blank line.
  mkdir -p "$work/documents"
  sed -n '/^# history/,/^$/p' "$script" | sed '1d;$d' | sed 's/^# \{0,1\}//' >"$work/documents/name.plist"
fi
cd "$(dirname "$script")"
# Options may quote words with blanks ("iPad Simulator").
eval "set -- $options"
"$app" --script "$script" --documents "$work/documents" "$@" >"$work/out.json" 2>"$work/err.log"
status=$?
if [ "$status" -ne "$expected" ]; then
  echo "exit status $status, expected $expected"
  echo "--- stdout"; cat "$work/out.json"
  echo "--- stderr (last 40 lines)"; tail -n 40 "$work/err.log"
  exit 1
fi
cat "$work/out.json"
