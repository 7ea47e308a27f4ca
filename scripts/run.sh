#!/usr/bin/env bash
# Sets up, builds and starts Tintora; uses a virtual X server when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
app=${TINTORA_BUILD_DIR:-$root/build}/src/tintora
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$app"
fi
exec "$app"
