#!/usr/bin/env bash
# Runs a command inside this build's private Wine world:
#   tests/harness/wine-env.sh <build dir> [--emulated] [--display-from-env] [--no-desktop] -- command ...
# A private WINEPREFIX in the build tree (made on first use, with a 1024x768 virtual desktop),
# a private Xvfb display (unless --display-from-env and DISPLAY is set), a persistent wineserver
# and a desktop keeper. Everything started here is stopped here, by pid or by this prefix only.
# --no-desktop takes a second prefix without the virtual desktop: programs get windows of their
# own on the display, managed by its window manager (wineprefix-native, emulated
# wineprefix-emu-native).
# --emulated (the 32-bit build where the kernel refuses 32-bit programs): Wine's 32-bit loader runs
# under qemu's user-mode emulation from a private tree in the build (tests/harness/wine-emu.sh), in a win64
# prefix of its own where 64-bit programs run natively beside it; `wine` then names the emulated
# loader and DRUX_WINE64 the native one.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build dir}" && pwd); shift
emulated=0
use_env_display=0
no_desktop=0
while [ $# -gt 0 ]; do
  case "$1" in
    --emulated) emulated=1 ;;
    --display-from-env) use_env_display=1 ;;
    --no-desktop) no_desktop=1 ;;
    --) shift; break ;;
    --*) echo "wine-env: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done

export WINEPREFIX="$build/wineprefix"
[ "$no_desktop" = 1 ] && export WINEPREFIX="$build/wineprefix-native"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The build's toolchain file named its loader once (CTest runs the tests with the same one).
DRUX_WINE=$(sed -n 's/^DRUX_WINE_LOADER:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null)
if [ -z "$DRUX_WINE" ]; then
  echo "wine-env: $build is not a configured Windows build (no DRUX_WINE_LOADER in its CMakeCache.txt; build it again)" >&2
  exit 1
fi
case "$DRUX_WINE" in
  *64) WINEARCH=win64 ;;
  *) WINEARCH=win32 ;;
esac
if [ "$emulated" = 1 ]; then
  bash "$here/wine-emu.sh" "$build/wine-emu" || exit 1
  export PATH="$build/wine-emu/bin:$PATH"
  export WINEPREFIX="$build/wineprefix-emu"
  [ "$no_desktop" = 1 ] && export WINEPREFIX="$build/wineprefix-emu-native"
  DRUX_WINE="$build/wine-emu/bin/wine"
  export DRUX_WINE64="$build/wine-emu/bin/wine64"
  # Where an emulated program's memory sits for ReadProcessMemory/WriteProcessMemory.
  DRUX_EMULATED_BASE=$(cat "$build/wine-emu/guest-base")
  export DRUX_EMULATED_BASE
  WINEARCH=win64
fi
prefix_wine=$DRUX_WINE
[ "$emulated" = 1 ] && prefix_wine=$DRUX_WINE64
export DRUX_WINE WINEARCH
echo "wine-env: running $build with $DRUX_WINE ($WINEARCH)" >&2

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
  display=""
  for n in $(seq 91 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
  [ -n "$display" ] || { echo "wine-env: no free X display" >&2; exit 1; }
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 100); do
    xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "wine-env: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
fi

if [ ! -f "$WINEPREFIX/.drux-ready" ]; then
  rm -rf "$WINEPREFIX"
  echo "wine-env: creating the Wine prefix (once)..." >&2
  # A win64 prefix is made by the 64-bit loader (natively, where the 32-bit one is emulated).
  "$prefix_wine" wineboot -i >/dev/null 2>&1
  if [ "$no_desktop" = 0 ]; then
    "$prefix_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$prefix_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  fi
  wineserver -w
  if [ "$emulated" = 1 ] && [ "$("$DRUX_WINE" cmd /c echo emulated 2>&1 | tr -d '\r')" != emulated ]; then
    echo "wine-env: Wine's 32-bit loader does not run under qemu-i386-static here: a 32-bit" \
         "program in $WINEPREFIX did not answer (try: PATH=$build/wine-emu/bin:\$PATH" \
         "WINEPREFIX=$WINEPREFIX wine cmd /c echo emulated)" >&2
    exit 1
  fi
  touch "$WINEPREFIX/.drux-ready"
fi

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
"$DRUX_WINE" "$keeper" "$(printf 'Z:%s' "$ready" | tr / '\\')" >/dev/null 2>&1 &
keeper_pid=$!
for _ in $(seq 1 600); do
  [ -e "$ready" ] && break
  kill -0 "$keeper_pid" 2>/dev/null || break
  sleep 0.1
done
[ -e "$ready" ] || { echo "wine-env: the desktop keeper did not bring up the desktop in 60 s" >&2; exit 1; }

"$@"
