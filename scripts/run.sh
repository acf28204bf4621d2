#!/usr/bin/env bash
# Sets everything up, builds, starts the bundled server and then the app.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ ! -x build/app/terrabo ]; then
  echo "terrabo: the build is done, but the app is not there yet." >&2
  exit 0
fi
server_pid=
if [ -x build/server/terrabo-server ]; then
  build/server/terrabo-server >/tmp/terrabo-server.log 2>&1 &
  server_pid=$!
  trap 'kill "$server_pid" 2>/dev/null || true' EXIT
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "terrabo: no display found; starting under Xvfb (screenshots via --script)." >&2
  xvfb-run -a build/app/terrabo "$@"
else
  build/app/terrabo "$@"
fi
