#!/usr/bin/env bash
# End-to-end runs of the real program under a virtual X server: pick a file in a
# small skin folder, move the hue gauge (or type a negative brightness),
# "Save Bitmap", "Quit"; then check the saved file on disk and the program's
# exit status.
# Usage: e2e.sh PATH/TO/tintora [screenshot.png]
set -euo pipefail
app=$(readlink -f "$1")
shot=${2:-}
work=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home"
skin="$HOME/skin"
mkdir -p "$skin"
# The window lists the folder of its own executable at start.
cp "$app" "$skin/tintora"
/usr/bin/python3 - "$skin" <<'PY'
import sys
from PIL import Image
skin = sys.argv[1]
img = Image.new("RGB", (40, 30), (200, 120, 40))
for x in range(10):
    for y in range(10):
        img.putpixel((x, y), (255, 0, 255))
img.save(skin + "/Back.bmp")
PY
cp "$skin/Back.bmp" "$work/original.bmp"

run() {
  "$skin/tintora" &
  pid=$!
  for _ in $(seq 1 100); do
    wid=$(xdotool search --name "Tintora v1.1 - Skin Recolorizer" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "window did not appear"; exit 1; }
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  ox=$X; oy=$Y
  click() { xdotool mousemove $((ox + $1)) $((oy + $2)); sleep 0.2; xdotool click 1; sleep 0.5; }
  # First row of the file list: group box (3, 3) + list (6, 201) + row centre.
  click 60 215
  "$1"
  [ -n "$shot" ] && import -window root "$shot" || true
  before=$(md5sum < "$skin/Back.bmp")
  click $((3 + 63 + 20)) $((3 + 441 + 8))   # Save Bitmap
  # A loaded machine may take a while: wait for the file to change before quitting.
  for _ in $(seq 1 100); do [ "$(md5sum < "$skin/Back.bmp")" != "$before" ] && break; sleep 0.1; done
  click $((3 + 9 + 15)) $((3 + 441 + 8))    # Quit
  for _ in $(seq 1 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "program did not exit"; exit 1; fi
  wait "$pid"
}

move_hue() {
  # Drag the hue handle from its left end by 62 pixels: the middle of 0..360.
  xdotool mousemove $((ox + 276 + 27 + 1 + 8)) $((oy + 3 + 32 + 6)); sleep 0.2
  xdotool mousedown 1; sleep 0.2
  for step in 10 20 30 40 50 62; do xdotool mousemove $((ox + 276 + 27 + 1 + 8 + step)) $((oy + 3 + 32 + 6)); sleep 0.05; done
  xdotool mouseup 1; sleep 0.5
}

type_brightness() {
  # Into the brightness box, key by key over its selected text: -40.
  click $((276 + 306 + 10)) $((3 + 15 + 7))
  xdotool key ctrl+a; sleep 0.2
  xdotool type --delay 150 -- "-40"; sleep 0.5
}

export QT_QPA_PLATFORM=xcb
run move_hue
/usr/bin/python3 - "$skin/Back.bmp" "$work/original.bmp" <<'PY'
import sys
from PIL import Image
saved, original = Image.open(sys.argv[1]).convert("RGB"), Image.open(sys.argv[2]).convert("RGB")
assert saved.size == original.size, "size changed"
key = saved.getpixel((2, 2))
assert key == (255, 0, 255), "key colour touched: %r" % (key,)
r, g, b = saved.getpixel((30, 20))
assert max(r, g, b) == 200, "value not kept: %r" % ((r, g, b),)
assert (r, g, b) != (200, 120, 40), "not recoloured"
assert b > r, "hue about 180 expected, got %r" % ((r, g, b),)
print("e2e: saved pixels recoloured, key colour kept:", (r, g, b))
PY

# A brightness-only save keeps the colours: hue and saturation at rest mean no colourise.
cp "$work/original.bmp" "$skin/Back.bmp"
shot=""
run type_brightness
/usr/bin/python3 - "$skin/Back.bmp" <<'PY'
import sys
from PIL import Image
saved = Image.open(sys.argv[1]).convert("RGB")
assert saved.getpixel((2, 2)) == (255, 0, 255), "key colour touched"
pixel = saved.getpixel((30, 20))
assert pixel == (160, 80, 0), "brightness -40 alone expected (160, 80, 0), got %r" % (pixel,)
print("e2e: typed brightness -40 saved with the colours kept:", pixel)
PY
