#!/usr/bin/env bash
# App benchmarks: start-up to the first presented frame, frame and tick costs,
# memory, and the speed of scripted runs. Usage: bench/app/run.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
app=$build/app/terrabo
run() { if [ -z "${DISPLAY:-}" ]; then xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; else "$@"; fi; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== exec to first presented frame (10 runs)"
for i in $(seq 10); do
  TERRABO_EXIT_AFTER_FIRST_FRAME=1 run "$app" --documents "$work/d" 2>&1 >/dev/null | grep 'first frame' || true
done

echo "== frame costs"
run "$build/bench/app/app_bench"

echo "== a 10-command script, start to exit (5 runs)"
printf 'frames 1\nstate\nframes 10\nbutton zoomIn\nframes 1\nexpect world.cam.2 4.5\nswipe 60 240 200 240\nframes 1\nstate\nscreenshot %s/s.png\n' "$work" >"$work/ten.script"
for i in $(seq 5); do
  /usr/bin/env bash -c "TIMEFORMAT='%R s'; time ( $(declare -f run); run $app --script $work/ten.script --documents $work/d >/dev/null 2>&1 )"
done

echo "== frames 600 with drawing"
printf 'frames 600\n' >"$work/600.script"
/usr/bin/env bash -c "TIMEFORMAT='%R s for 600 frames (incl. start-up)'; time ( $(declare -f run); run $app --script $work/600.script --documents $work/d >/dev/null 2>&1 )"
