#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh" -DTINTORA_TESTS=ON -DTINTORA_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${TINTORA_BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)"

# Smoke runs of the libFuzzer targets (clang, address and undefined-behaviour sanitizers).
fuzz=${TINTORA_FUZZ_BUILD_DIR:-$root/build-fuzz}
cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTINTORA_FUZZ=ON -DTINTORA_FUZZ_SECONDS=30 >/dev/null
cmake --build "$fuzz" -j"$(nproc)"
ctest --test-dir "$fuzz" --output-on-failure -j"$(nproc)"
