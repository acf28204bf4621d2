#!/usr/bin/env bash
# The start view: the globe fills the centre, the star field the edges, and the
# bottom bar with its buttons lies over the 3D scene.
set -euo pipefail
app=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'frames 3\nscreenshot %s/frame.png\n' "$work" >"$work/run.script"
# A port nothing listens on: the banner must not come from whatever serves the built-in address.
closed="http://127.0.0.1:$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
"$app" --script "$work/run.script" --documents "$work/documents" --lookup-base "$closed" \
  --map-base "$closed" --apps-url "$closed/apps" --ads-base "$closed" >/dev/null 2>"$work/err.log"

# Mean colour of a small box, as "r g b" from 0 to 255.
mean() {
  convert "$work/frame.png" -crop "$3x$3+$1+$2" +repage -resize 1x1\! -depth 8 \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}
# Brightest pixel of a box, 0 to 255.
peak() {
  convert "$work/frame.png" -crop "$3x$3+$1+$2" +repage -colorspace Gray -depth 8 -format '%[fx:int(255*maxima)]' info:
}
fail() { echo "$1"; exit 1; }

read -r r g b <<<"$(mean 150 230 20)"
[ "$b" -gt 35 ] || fail "the globe is not lit at the centre: $r $g $b"
[ "$b" -ge "$r" ] || fail "the centre is not the blue of the ocean-facing globe: $r $g $b"

for box in "2 60" "280 60" "2 380" "280 380"; do
  read -r x y <<<"$box"
  read -r r g b <<<"$(mean "$x" "$y" 36)"
  [ $((r + g + b)) -lt 120 ] || fail "the backdrop at $x,$y is not dark: $r $g $b"
  [ "$(peak "$x" "$y" 36)" -gt 90 ] || fail "no star near $x,$y"
done
echo "globe lit at the centre, dark starry backdrop at the edges"
