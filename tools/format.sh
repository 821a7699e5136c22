#!/usr/bin/env bash
# The tracked C and C++ sources against .clang-format:
#   tools/format.sh check   lists what differs and fails (CI runs this)
#   tools/format.sh fix     rewrites the files in place
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format: clang-format is not installed (make setup)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
case "${1:-check}" in
  check) clang-format --dry-run -Werror "${files[@]}" ;;
  fix) clang-format -i "${files[@]}" ;;
  *) echo "usage: tools/format.sh check|fix" >&2; exit 2 ;;
esac
