#!/usr/bin/env bash
# Starts DRUX.exe under Wine in a directory holding a Constants.out.
#   tools/run.sh <build dir> [file]
# With a file, DRUX opens that file instead; Constants-x64.out alone names the x86-64 values beside
# the default data set. With a DISPLAY it runs there in a window of its own, managed by the
# desktop's window manager, until the program ends. Without one it runs on a private Xvfb display,
# saves a screenshot of the screen once the load is over, ends the program and prints the
# screenshot's path.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/harness/lib.sh"
build=$(cd "${1:?build dir}" && pwd)
rundir="$build/run"
mkdir -p "$rundir"
# The default data set and its x86-64 values beside it, as in the Windows package.
for name in Constants.out Constants-x64.out; do
  if [ -f "$build/data/$name" ]; then
    cp "$build/data/$name" "$rundir/$name"
  else
    cp "$here/../data/$name" "$rundir/$name"
  fi
done

arguments=()
if [ -n "${2:-}" ]; then
  file=$2
  # FILE=Constants-x64.out: the copy beside the default data set.
  if [ ! -e "$file" ] && [ "$file" = "$(basename -- "$file")" ] && [ -f "$rundir/$file" ]; then
    file="$rundir/$file"
  fi
  # The path goes as one argument, spaces and all.
  arguments=("$(harness_windows_path "$(realpath -m -- "$file")")")
fi

if [ -n "${DISPLAY:-}" ]; then
  cd "$rundir"
  exec bash "$here/../tests/harness/wine-env.sh" "$build" --display-from-env --no-desktop -- \
    bash -c 'cd "$1" && shift && "$DRUX_WINE" "$@"' _ "$rundir" "$build/DRUX.exe" ${arguments[@]+"${arguments[@]}"}
fi

shot="$build/screenshot.png"
bash "$here/../tests/harness/wine-env.sh" "$build" -- bash -c '
  set -u
  cd "$1"
  "$DRUX_WINE" "$2" ${4:+"$4"} >/dev/null 2>&1 &
  previous=""
  same=0
  # The load is over once the window shows (the bare desktop is one colour) and the screen has
  # stopped changing for a second: rows and the scroll bar change while the file loads.
  for _ in $(seq 1 120); do
    sleep 0.5
    import -window root "$3.tmp.png" 2>/dev/null || continue
    colours=$(identify -format %k "$3.tmp.png" 2>/dev/null || echo 0)
    [ "$colours" -gt 10 ] || continue
    sum=$(md5sum < "$3.tmp.png")
    if [ "$sum" = "$previous" ]; then same=$((same + 1)); else same=0; fi
    previous=$sum
    [ "$same" -ge 2 ] && break
  done
  mv "$3.tmp.png" "$3"
' _ "$rundir" "$build/DRUX.exe" "$shot" ${arguments[@]+"${arguments[@]}"}
echo "$shot"
