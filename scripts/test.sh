#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" -DTINTORA_TESTS=ON
export QT_QPA_PLATFORM=offscreen
cd "${TINTORA_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j"$(nproc)"
