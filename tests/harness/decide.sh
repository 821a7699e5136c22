#!/usr/bin/env bash
# The one place that decides how this machine runs the Windows builds. Everything else reads what
# it wrote: the Makefile (which build runs, and why), the toolchain files (each build's loader, for
# CTest), CMake (where the drivers come from) and the harness scripts (loader, prefix, emulation).
#   tests/harness/decide.sh [--product DIR] [--stand-in DIR] [--query] [--help]
# Writes DIR/harness.env for both builds (by default build/ and build-x64/), rewriting a file only
# when its content changes so that a build that reads it is not configured again for nothing, and
# prints the runnable build's directory. --query writes nothing and prints the runnable build's
# architecture (i686 or x86_64; tools/setup.sh asks it whether the emulator is needed).
#
# Wine's 32-bit loader starts where the kernel runs 32-bit Linux programs; then the product, the
# 32-bit build, runs natively and is the only suite. Some virtual machines' kernels refuse 32-bit
# programs: the runnable build is then the x86-64 stand-in under Wine's 64-bit loader, and the
# product is tested too, its loader emulated by qemu (tests/harness/wine-emu.sh), its end-to-end
# checks driven by the stand-in's drivers running natively beside it.
set -euo pipefail

usage() {
  sed -n '2,9s/^# \{0,1\}//p' "$0"
}

product=build
stand_in=build-x64
query=0
while [ $# -gt 0 ]; do
  case "$1" in
    --product) product=${2:?--product needs a directory}; shift ;;
    --product=*) product=${1#*=} ;;
    --stand-in) stand_in=${2:?--stand-in needs a directory}; shift ;;
    --stand-in=*) stand_in=${1#*=} ;;
    --query) query=1 ;;
    -h | --help) usage; exit 0 ;;
    *) echo "decide: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || [ -x "$wine32" ] || {
  echo "decide: Wine is not installed (neither $wine32 nor $wine64; run tools/setup.sh as root)" >&2
  exit 1
}

if "$wine32" --version >/dev/null 2>&1; then
  run_build=$product run_arch=i686 emulated=0 run_loader=$wine32
else
  [ -x "$wine64" ] || {
    echo "decide: Wine's 32-bit loader cannot start here and its 64-bit loader $wine64 is missing (package wine64)" >&2
    exit 1
  }
  run_build=$stand_in run_arch=x86_64 emulated=1 run_loader=$wine64
fi
[ "$query" = 1 ] && { echo "$run_arch"; exit 0; }
mkdir -p "$product"
product_dir=$(cd "$product" && pwd)
# The stand-in is made only where it runs, but a stand-in tree built anyway is told how it runs.
[ "$emulated" = 1 ] && mkdir -p "$stand_in"
stand_in_dir=$(cd "$stand_in" 2>/dev/null && pwd || echo "$PWD/$stand_in")

# KEY=value lines without quotes or spaces: make includes them, sh sources them, CMake parses them.
write() {  # directory, then its lines
  local dir=$1 file=$1/harness.env
  shift
  {
    echo "# Written by tests/harness/decide.sh: how this machine runs this build. Do not edit."
    echo "DRUX_RUN_BUILD=$run_build"
    echo "DRUX_RUN_ARCH=$run_arch"
    echo "DRUX_RUN_LOADER=$run_loader"
    echo "DRUX_PRODUCT_EMULATED=$emulated"
    printf '%s\n' "$@"
  } >"$file.new"
  if cmp -s "$file.new" "$file"; then rm -f "$file.new"; else mv -f "$file.new" "$file"; fi
}

if [ "$emulated" = 1 ]; then
  emu=$product_dir/wine-emu
  write "$product_dir" DRUX_ARCH=i686 DRUX_EMULATED=1 DRUX_WINE="$emu/bin/wine" \
    DRUX_WINE64="$emu/bin/wine64" WINEARCH=win64 DRUX_PREFIX="$product_dir/wineprefix-emu" \
    DRUX_EMULATED_BASE=0x10000 DRUX_DRIVER_BUILD="$stand_in_dir" DRUX_DRIVER_WINE="$emu/bin/wine64"
else
  write "$product_dir" DRUX_ARCH=i686 DRUX_EMULATED=0 DRUX_WINE="$wine32" DRUX_WINE64="$wine64" \
    WINEARCH=win32 DRUX_PREFIX="$product_dir/wineprefix" DRUX_EMULATED_BASE=0 \
    DRUX_DRIVER_BUILD="$product_dir" DRUX_DRIVER_WINE="$wine32"
fi
[ -d "$stand_in_dir" ] && write "$stand_in_dir" DRUX_ARCH=x86_64 DRUX_EMULATED=0 DRUX_WINE="$wine64" DRUX_WINE64="$wine64" \
  WINEARCH=win64 DRUX_PREFIX="$stand_in_dir/wineprefix" DRUX_EMULATED_BASE=0 \
  DRUX_DRIVER_BUILD="$stand_in_dir" DRUX_DRIVER_WINE="$wine64"
echo "$run_build"
