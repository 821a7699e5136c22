#!/usr/bin/env bash
# Runs a command inside a build's private Wine world:
#   tests/harness/wine-env.sh [options] <build dir> [options] -- command ...
#   tests/harness/wine-env.sh [options] <build dir> --prefix-only
#   --no-desktop        the build's second prefix, without the virtual desktop: programs get
#                       windows of their own on the display, managed by its window manager
#   --display-from-env  the caller's DISPLAY when it is set, instead of a private Xvfb
#   --prefix-only       make the prefix (if it is not made yet) and stop: no command, no desktop
#                       keeper, so it needs nothing of the build but harness.env
#   -h, --help          this text
# The loader, the prefix and whether the 32-bit loader is emulated come from the build's
# harness.env (tests/harness/decide.sh) and are exported as DRUX_WINE, DRUX_WINE64 (the native
# 64-bit loader beside an emulated one), DRUX_DRIVER_WINE (what runs the drivers), WINEPREFIX,
# WINEARCH and DRUX_EMULATED_BASE. A private WINEPREFIX in the build tree (made on first use, with a
# 1024x768 virtual desktop), a private Xvfb display, a persistent wineserver and a desktop keeper.
# Everything started here is stopped here, by pid or by this prefix only.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

build=""
use_env_display=0
no_desktop=0
prefix_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --display-from-env) use_env_display=1 ;;
    --no-desktop) no_desktop=1 ;;
    --prefix-only) prefix_only=1 ;;
    -h | --help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
    --) shift; break ;;
    -*) echo "wine-env: unknown option $1 (see --help)" >&2; exit 2 ;;
    *)
      [ -z "$build" ] || { echo "wine-env: one build directory only ($build, $1); the command follows --" >&2; exit 2; }
      build=$1 ;;
  esac
  shift
done
[ -n "$build" ] || { echo "wine-env: no build directory (see --help)" >&2; exit 2; }
[ $# -gt 0 ] || [ "$prefix_only" = 1 ] || { echo "wine-env: no command after -- (see --help)" >&2; exit 2; }
build=$(cd "$build" && pwd) || exit 1
harness_load "$build" || exit 1

[ "$no_desktop" = 1 ] && DRUX_PREFIX=$DRUX_PREFIX-native
export WINEPREFIX=$DRUX_PREFIX DRUX_HARNESS_PREFIX=$DRUX_PREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$DRUX_EMULATED" = 1 ]; then
  bash "$here/wine-emu.sh" "$build/wine-emu" "$DRUX_EMULATED_BASE" || exit 1
fi
for loader in "$DRUX_WINE" "$DRUX_DRIVER_WINE"; do
  [ -x "$loader" ] || { echo "wine-env: the loader $loader is missing (tools/setup.sh installs Wine)" >&2; exit 1; }
done
# The prefix's own loader: the native 64-bit one makes a win64 prefix where the 32-bit one is emulated.
prefix_wine=$DRUX_WINE
[ "$DRUX_EMULATED" = 1 ] && prefix_wine=$DRUX_WINE64
echo "wine-env: running $build with $DRUX_WINE ($WINEARCH$([ "$DRUX_EMULATED" = 1 ] && echo ", emulated"))" >&2

# --prefix-only on a prefix already made has nothing to do: no display, and no wineserver of the
# prefix (another harness may be using it) to stop on the way out.
[ "$prefix_only" = 1 ] && [ -f "$WINEPREFIX/.drux-ready" ] && exit 0

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$use_env_display" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  for tool in Xvfb xdpyinfo; do
    command -v $tool >/dev/null || { echo "wine-env: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
  done
  # Xvfb picks the first free display itself and writes its number once it accepts clients, so
  # harnesses started side by side (the native and the emulated suite) never race for one.
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$number_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  display=$(tr -dc '0-9' <"$number_file")
  rm -f "$number_file"
  [ -n "$display" ] || { echo "wine-env: Xvfb did not start (no display after 10 s)" >&2; exit 1; }
  export DISPLAY=":$display"
  xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 || { echo "wine-env: Xvfb on $DISPLAY does not answer" >&2; exit 1; }
fi

if [ ! -f "$WINEPREFIX/.drux-ready" ]; then
  rm -rf "$WINEPREFIX"
  echo "wine-env: creating the Wine prefix $WINEPREFIX (once)..." >&2
  if ! "$prefix_wine" wineboot -i >"$build/wineboot.log" 2>&1; then
    echo "wine-env: $prefix_wine cannot make a prefix (see $build/wineboot.log)" >&2
    exit 1
  fi
  if [ "$no_desktop" = 0 ]; then
    "$prefix_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$prefix_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  fi
  wineserver -w
  if [ "$DRUX_EMULATED" = 1 ] && [ "$("$DRUX_WINE" cmd /c echo emulated 2>&1 | tr -d '\r')" != emulated ]; then
    echo "wine-env: Wine's 32-bit loader does not run under qemu-i386-static here: a 32-bit" \
         "program in $WINEPREFIX did not answer (try: WINEPREFIX=$WINEPREFIX $DRUX_WINE cmd /c echo emulated)" >&2
    exit 1
  fi
  touch "$WINEPREFIX/.drux-ready"
fi
[ "$prefix_only" = 1 ] && exit 0

wineserver -p
# A long-lived program keeps the virtual desktop (and the mouse position) between programs.
# Without it the desktop process starts under the first program and inherits its output pipes,
# which keeps a caller such as ctest waiting after the program has ended.
keeper="$build/tests/harness/DesktopKeeper.exe"
if [ ! -f "$keeper" ]; then
  echo "wine-env: $keeper is not built; build the DesktopKeeper target" >&2
  exit 1
fi
# The command starts once the keeper has the desktop up: a program that comes first starts the
# desktop process itself, and that process keeps the program's output pipes open.
ready="$WINEPREFIX/.drux-keeper-ready"
rm -f "$ready"
"$DRUX_WINE" "$keeper" "$(harness_windows_path "$ready")" >/dev/null 2>&1 &
keeper_pid=$!
for _ in $(seq 1 600); do
  [ -e "$ready" ] && break
  kill -0 "$keeper_pid" 2>/dev/null || break
  sleep 0.1
done
[ -e "$ready" ] || { echo "wine-env: the desktop keeper did not bring up the desktop in 60 s" >&2; exit 1; }

"$@"
