#!/usr/bin/env bash
# Unpacks the Windows package into an empty folder and runs the package test program on it.
#   package-test.sh <cmake> <zip> <test program>
# Runs inside tools/wine-env.sh (DRUX_WINE, WINEPREFIX and the display come from there).
set -euo pipefail
cmake=${1:?cmake}; zip=${2:?zip}; test=${3:?test program}
[ -n "${DRUX_WINE:-}" ] || { echo "package-test: run me inside tools/wine-env.sh" >&2; exit 1; }
[ -f "$zip" ] || { echo "package-test: no package at $zip" >&2; exit 1; }
zip=$(realpath "$zip")

folder=$(mktemp -d "${TMPDIR:-/tmp}/drux package.XXXXXX")
trap 'rm -rf "$folder"' EXIT
(cd "$folder" && "$cmake" -E tar xf "$zip")

# Wine reaches the Linux root through drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
DRUX_PACKAGE_DIR=$(windows_path "$folder") DRUX_PACKAGE_ZIP=$(windows_path "$zip") DRUX_EXE=$(windows_path "$folder/DRUX.exe") \
  "$DRUX_WINE" "$test"
