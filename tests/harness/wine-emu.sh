#!/usr/bin/env bash
# Makes a private tree that runs Wine's 32-bit loader under qemu's user-mode emulation, for machines
# whose kernel refuses 32-bit Linux programs:   tests/harness/wine-emu.sh <tree> <guest base>
# Prints nothing on success; the tree then holds
#   bin/wine    Wine's 32-bit loader under qemu-i386-static (what `wine` means once bin/ leads PATH)
#   bin/wine64  Wine's 64-bit loader, natively
# and both run programs of either kind in one win64 prefix. Nothing outside the tree changes (no
# binfmt registration, nothing under /usr or /etc).
#
# Wine finds its libraries, its data and the loader for a program of the other kind relative to the
# real path of the running loader (under qemu: the path qemu was given), so both loaders are copies
# in lib/wine beside links to the library and data folders. Wine starts every process through
# "<loader folder>/wine-preloader <loader> ..." (wine64-preloader for 64-bit programs) before trying
# the loader itself; here those two names are the scripts that start the loaders: the 32-bit one
# under qemu with its preload library, the 64-bit one natively without it.
set -euo pipefail

tree=${1:?tree}
guest_base=${2:?guest base}
fail() { echo "wine-emu: $*" >&2; exit 1; }

qemu=$(command -v qemu-i386-static || true)
[ -n "$qemu" ] || fail "qemu-i386-static is missing (Debian package qemu-user-static; run tools/setup.sh as root)"
command -v gcc >/dev/null || fail "gcc is missing"
[ -x /usr/lib/wine/wine ] || fail "Wine's 32-bit loader /usr/lib/wine/wine is missing (package wine32:i386)"
[ -x /usr/lib/wine/wine64 ] || fail "Wine's 64-bit loader /usr/lib/wine/wine64 is missing (package wine64)"
[ -d /usr/lib/i386-linux-gnu/wine/i386-unix ] || fail "Wine's 32-bit libraries are missing (package wine32:i386)"

mkdir -p "$tree"
tree=$(cd "$tree" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$tree/bin" "$tree/lib/wine" "$tree/lib/i386-linux-gnu" "$tree/lib/x86_64-linux-gnu" "$tree/share"

cp -f /usr/lib/wine/wine /usr/lib/wine/wine64 "$tree/lib/wine/"
ln -sfn /usr/lib/wine/wineserver64 "$tree/lib/wine/wineserver"
for kind in i386-linux-gnu x86_64-linux-gnu; do ln -sfn "/usr/lib/$kind/wine" "$tree/lib/$kind/wine"; done
ln -sfn /usr/share/wine "$tree/share/wine"

# One preload for every program Wine starts here: "$LIB" makes the loader of each kind take its own
# build (gcc -m32 needs Debian's gcc-multilib).
for kind in "i386-linux-gnu -m32" "x86_64-linux-gnu -m64"; do
  set -- $kind
  [ "$tree/lib/$1/noreplace.so" -nt "$here/emu/NoReplaceMap.c" ] && continue
  if ! gcc "$2" -O2 -Wall -Wextra -Werror -shared -fPIC -o "$tree/lib/$1/noreplace.so.new" \
       "$here/emu/NoReplaceMap.c" 2>"$tree/lib/$1/noreplace.log"; then
    cat "$tree/lib/$1/noreplace.log" >&2
    fail "cannot build the preload library for $1 (gcc $2; for -m32: package gcc-multilib)"
  fi
  mv -f "$tree/lib/$1/noreplace.so.new" "$tree/lib/$1/noreplace.so"
done

script() {
  { echo '#!/bin/sh'; echo "# Made by tests/harness/wine-emu.sh: $2"; echo "$3"; } >"$tree/$1.new"
  chmod +x "$tree/$1.new"
  mv -f "$tree/$1.new" "$tree/$1"
}
# qemu places the emulated address space at a host offset (its guest base), while Wine's server
# reads and writes another process's memory (ReadProcessMemory, WriteProcessMemory) at the
# addresses the program sees. The base is fixed (tests/harness/decide.sh: the lowest address every
# Linux allows by default) so that a native driver can add it to such addresses.
# WINELOADERNOEXEC keeps the 32-bit loader from starting itself again through a preloader.
script lib/wine/wine-preloader "starts Wine's 32-bit loader (\$1) under qemu's user-mode emulation." \
  "export WINELOADERNOEXEC=1 QEMU_GUEST_BASE=$guest_base LD_PRELOAD=\"$tree/\\\$LIB/noreplace.so\"
exec \"$qemu\" \"\$@\""
script lib/wine/wine64-preloader "starts Wine's 64-bit loader (\$1) natively." 'exec "$@"'
script bin/wine "runs a program with Wine's 32-bit loader, emulated." \
  "exec \"$tree/lib/wine/wine-preloader\" \"$tree/lib/wine/wine\" \"\$@\""
script bin/wine64 "runs a program with Wine's 64-bit loader, natively." \
  "exec \"$tree/lib/wine/wine64-preloader\" \"$tree/lib/wine/wine64\" \"\$@\""
