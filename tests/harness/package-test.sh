#!/usr/bin/env bash
# Unpacks the Windows package into an empty folder and runs the package test program on it.
#   package-test.sh <cmake> <zip> <test program>
# Runs inside tests/harness/wine-env.sh (as CTest's entry app_package_test does): the display, the
# prefix and DRUX_DRIVER_WINE, the loader of the test program, come from there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
cmake=${1:?cmake}; zip=${2:?zip}; test=${3:?test program}
[ -n "${DRUX_HARNESS_PREFIX:-}" ] || { echo "package-test: run me inside tests/harness/wine-env.sh" >&2; exit 1; }
[ -f "$zip" ] || { echo "package-test: no package at $zip" >&2; exit 1; }
zip=$(realpath "$zip")
[ -f "$test" ] || { echo "package-test: no test program at $test (is its build made?)" >&2; exit 1; }

folder=$(mktemp -d "${TMPDIR:-/tmp}/drux package.XXXXXX")
trap 'rm -rf "$folder"' EXIT
(cd "$folder" && "$cmake" -E tar xf "$zip")

DRUX_PACKAGE_DIR=$(harness_windows_path "$folder") DRUX_PACKAGE_ZIP=$(harness_windows_path "$zip") \
  DRUX_EXE=$folder/DRUX.exe \
  "$DRUX_DRIVER_WINE" "$test"
