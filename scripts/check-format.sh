#!/usr/bin/env bash
# Fails when a C++ source of the tree is not formatted as .clang-format says;
# `bash scripts/check-format.sh --fix` formats them in place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/tintora-format.$$; then
  head -n 40 /tmp/tintora-format.$$
  rm -f /tmp/tintora-format.$$
  echo "Unformatted sources: run bash scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/tintora-format.$$
echo "Formatting: all ${#files[@]} sources match .clang-format"
