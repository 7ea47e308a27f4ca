#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/check-format.sh"
bash "$root/scripts/build.sh" -DTINTORA_TESTS=ON -DTINTORA_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${TINTORA_BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)"

# The whole unit-test suite again under the address and undefined-behaviour
# sanitizers (clang), leaks included.
asan=${TINTORA_ASAN_BUILD_DIR:-$root/build-asan}
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTINTORA_TESTS=ON -DTINTORA_WERROR=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
cmake --build "$asan" -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$asan" --output-on-failure -j"$(nproc)" -E e2e

# Smoke runs of the libFuzzer targets (clang, address and undefined-behaviour sanitizers).
fuzz=${TINTORA_FUZZ_BUILD_DIR:-$root/build-fuzz}
cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTINTORA_FUZZ=ON -DTINTORA_FUZZ_SECONDS=30 >/dev/null
cmake --build "$fuzz" -j"$(nproc)"
ctest --test-dir "$fuzz" --output-on-failure -j"$(nproc)"
