#!/usr/bin/env bash
# Retakes the README's screenshots: scripted runs of the app against the
# bundled server on a free port. Usage: docs/screenshots/take.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
out=$(realpath docs/screenshots)
if [ -z "${DISPLAY:-}" ] && [ -z "${TERRABO_UNDER_XVFB:-}" ]; then
  export TERRABO_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=$(mktemp -d)
"$build/server/terrabo-server" --port 0 2>"$work/server.log" &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do grep -q 'listening on' "$work/server.log" && break; sleep 0.1; done
base=$(grep -o 'http://127.0.0.1:[0-9]*' "$work/server.log" | head -n 1)
[ -n "$base" ] || { echo "the server did not start" >&2; cat "$work/server.log" >&2; exit 1; }

run() { # SCRIPT_TEXT [APP OPTIONS...]
  local text=$1
  shift
  printf '%s\n' "$text" >"$work/run.script"
  rm -rf "$work/documents"
  "$build/app/terrabo" --script "$work/run.script" --documents "$work/documents" \
    --lookup-base "$base" --map-base "$base" --apps-url "$base/apps" --ads-base "$base" "$@" \
    >"$work/out.json" 2>"$work/err.log" || { cat "$work/out.json" "$work/err.log" >&2; exit 1; }
}

# A found place: turned to face the viewer, north up, at the nearest zoom.
found() { # NAME FILE
  printf 'frames 2\nbutton search\ntype %s\nreturn\nframes 110\nscreenshot %s' "$1" "$2"
}

run "$(printf 'frames 3\nscreenshot %s/start-320x480.png' "$out")"
for city in Paris Reykjavik Sydney Tokyo Anchorage "Cape Town"; do
  slug=$(echo "$city" | tr 'A-Z ' 'a-z-')
  run "$(found "$city" "$out/found-$slug.png")"
done
run "$(found Tokyo "$work/tokyo.png")
button flag
panel wait-loaded 30
frames 2
screenshot $out/map-panel.png"
run "$(printf 'frames 2\ntouch began 290 543\nframes 3\nscreenshot %s/zoom-out-held-320x568.png\ntouch ended 290 543' "$out")" --screen 320x568
echo "screenshots in $out"
