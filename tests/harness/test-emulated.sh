#!/usr/bin/env bash
# The tests of the 32-bit build (the product) where Wine's 32-bit loader can only run under qemu's
# user-mode emulation:   tests/harness/test-emulated.sh <32-bit build> <x86-64 build>
# In one win64 prefix (tests/harness/wine-env.sh --emulated): every 32-bit test program, and the
# end-to-end checks on the 32-bit DRUX.exe, the one the package holds, driven by the x86-64
# build's drivers running natively beside it. In a second one without the virtual desktop
# (--emulated --no-desktop): the 32-bit DRUX.exe under a real window manager, read by the x86-64
# probe. Every CTest entry of the 32-bit build is accounted for here; one that is not is named as
# not run emulated.
#
# The drivers are x86-64 programs because qemu 7.2 keeps one set of set_thread_area
# thread-storage slots per process, not per thread: a 32-bit process with several threads that
# takes signals can end up with two threads sharing one slot, which breaks Wine's connection to
# its server ("wine client error ... partial write", "Bad file descriptor") or hangs it. The
# 32-bit end-to-end driver is such a process; every 32-bit test program has one thread.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?32-bit build}" && pwd)
driver=$(cd "${2:?x86-64 build}" && pwd)

if [ -z "${DRUX_WINE64:-}" ]; then
  exec bash "$here/wine-env.sh" "$build" --emulated -- bash "$0" "$build" "$driver"
fi

programs=(runtime_test text_test file_test window_test sizing_test drawing_test list_sort_test widget_test
          constgen_test requester_test window_test_freed_memory)
# Run here on the 32-bit DRUX.exe with x86-64 drivers, below.
driven=(app_e2e_test app_package_test app_window_manager_test)
# End-to-end checks of the x86-64 driver that run on the emulated DRUX.exe.
e2e_filter='*'
# Checks of the build's generated data sets and of constgen on Linux headers: no Windows code,
# the same generated files as the x86-64 build's, whose suite runs them.
host_checks='^(data_|constgen_matches_compiler_)'

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
zip=$(ls "$build"/dist/DRUX-*-win32.zip 2>/dev/null | head -n 1)
failed=()

# What CTest holds for the 32-bit build and is neither run nor driven here.
left=()
host=()
while read -r name; do
  if [[ "$name" =~ $host_checks ]]; then host+=("$name"); continue; fi
  case " ${programs[*]} ${driven[*]} " in *" $name "*) continue ;; esac
  left+=("$name")
done < <(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: *//p')
echo "test-emulated: not run emulated: ${left[*]:-none}"
echo "test-emulated: the 32-bit DRUX.exe emulated, driven by x86-64 programs run natively" \
     "(instead of 32-bit drivers): ${driven[*]}"
echo "test-emulated: 32-bit test programs, emulated: ${programs[*]}"
echo "test-emulated: no Windows code, run by the x86-64 build's suite on the same files: ${host[*]:-none}"
regex="^($(IFS='|'; echo "${programs[*]}"))\$"
ctest --test-dir "$build" -R "$regex" --output-on-failure -j1 || failed+=("32-bit test programs")

echo "test-emulated: the package's 32-bit DRUX.exe (emulated), driven natively by $driver/tests/app/app_package_test.exe"
if [ -z "$zip" ]; then
  echo "test-emulated: no package in $build/dist" >&2
  failed+=(package)
else
  DRUX_WINE=$DRUX_WINE64 bash "$here/package-test.sh" cmake "$zip" \
    "$driver/tests/app/app_package_test.exe" || failed+=(package)
fi

echo "test-emulated: the 32-bit DRUX.exe (emulated), driven natively by $driver/tests/app/app_e2e_test.exe ($e2e_filter)"
DRUX_EXE=$(windows_path "$build/DRUX.exe") "$DRUX_WINE64" "$driver/tests/app/app_e2e_test.exe" \
  --gtest_filter="$e2e_filter" || failed+=(end-to-end)

echo "test-emulated: the 32-bit DRUX.exe (emulated) under a window manager, read by $driver/tests/app/window_probe.exe"
bash "$here/window-manager-test.sh" --emulated "$build" "$build/DRUX.exe" \
  "$driver/tests/app/window_probe.exe" || failed+=(window-manager)

if [ ${#failed[@]} -gt 0 ]; then
  echo "test-emulated: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "test-emulated: all passed"
