#!/usr/bin/env bash
# Installs what building and testing DRUX needs on Debian 12, and nothing more.
# Quick when everything is present: it only asks dpkg.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# The MinGW-w64 compilers bring their binutils, windres (the resource compiler) among them.
packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64
          mingw-w64-x86-64-dev g++ cmake make
          xvfb x11-utils googletest fonts-wine imagemagick openbox xdotool
          clang-format clang libclang-rt-14-dev
          zlib1g-dev libsqlite3-dev x11proto-dev libcurl4-openssl-dev)  # real headers constgen's test reads
install() {
  [ $# -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: $*; run as root (or install them) first" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  [ -n "${updated:-}" ] || apt-get update -q
  updated=1
  apt-get install -y -q --no-install-recommends "$@"
}
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
install ${need[@]+"${need[@]}"}

# Where the kernel refuses 32-bit programs, the 32-bit build's tests run Wine's 32-bit loader under
# qemu's user-mode emulation, with a small preload library built by gcc -m32
# (tests/harness/wine-emu.sh). Wine is there by now to tell (tests/harness/decide.sh).
arch=$(bash "$(dirname "$0")/../tests/harness/decide.sh" --query)
need=()
if [ "$arch" = x86_64 ]; then
  for p in qemu-user-static gcc-multilib; do have "$p" || need+=("$p"); done
fi
install ${need[@]+"${need[@]}"}
