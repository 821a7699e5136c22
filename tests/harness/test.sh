#!/usr/bin/env bash
# Runs every test the way `make test` does, in stages, and says what ran where:
#   tests/harness/test.sh [--product DIR] [--stand-in DIR] [--build-product CMD]
#                         [--build-stand-in CMD] [--stage NAME]...
#   host      beside the rest: the fuzz check (tools/fuzz.sh check) and the CTest entries
#             labelled host, which run no Windows code (the data-set and constgen-on-Linux-headers
#             checks), from the product build, once
#   suite     the runnable build's CTest entries not labelled host, natively, in its Wine world
#   emulated  where the runnable build is the stand-in: the product's same entries with its
#             32-bit loader under qemu (entries labelled driven use the stand-in's drivers, and
#             run once it is built; the others start with the host stage), side by side with
#             the suite (each has its own display and prefix)
# All stages by default. The builds must be decided (tests/harness/decide.sh) first. The product
# build must be made too, unless --build-product names the command that makes it, which runs
# while the suites' Wine prefixes are made (they need nothing of the builds); the stand-in too,
# unless --build-stand-in names the command that makes it, which runs once the host stage (which
# needs only the product build) has started.
# Fails when any stage fails or finds no test; prints each stage's time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

product=build
stand_in=build-x64
build_product=""
build_stand_in=""
stages=()
while [ $# -gt 0 ]; do
  case "$1" in
    --product) product=${2:?--product needs a directory}; shift ;;
    --product=*) product=${1#*=} ;;
    --stand-in) stand_in=${2:?--stand-in needs a directory}; shift ;;
    --stand-in=*) stand_in=${1#*=} ;;
    --build-product) build_product=${2:?--build-product needs a command}; shift ;;
    --build-product=*) build_product=${1#*=} ;;
    --build-stand-in) build_stand_in=${2:?--build-stand-in needs a command}; shift ;;
    --build-stand-in=*) build_stand_in=${1#*=} ;;
    --stage) stages+=("${2:?--stage needs a name}"); shift ;;
    --stage=*) stages+=("${1#*=}") ;;
    -h | --help) sed -n '2,19s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "test: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
[ ${#stages[@]} -gt 0 ] || stages=(host suite emulated)
for stage in "${stages[@]}"; do
  case "$stage" in host | suite | emulated) ;; *) echo "test: no stage $stage (see --help)" >&2; exit 2 ;; esac
done
wants() { case " ${stages[*]} " in *" $1 "*) return 0 ;; esac; return 1; }

harness_load "$product" || exit 1
run_build=$DRUX_RUN_BUILD
product_emulated=$DRUX_PRODUCT_EMULATED
logs=$product/test-logs
mkdir -p "$logs"
failed=()
times=()
# What test.sh starts in the background, stopped by pid on an interrupt (stop_all).
declare -A prefix_pids=()
host_pid=""
suite_pids=() suite_names=() suite_logs=()

# A build's Wine prefixes (the one with the virtual desktop, then the window-manager check's
# without it) are made in the background while the product compiles: most of making one is
# writing its 700 MB, and under emulation its 32-bit set-up takes a minute. A suite waits for its
# build's (prefix_wait); where making them failed, the suite's wine-env.sh tries again and says why.
prefixes_make() {  # build
  local name
  name=$(basename "$1")
  rm -f "$logs/prefixes-$name.done"
  (
    bash "$here/wine-env.sh" "$1" --prefix-only && bash "$here/wine-env.sh" "$1" --no-desktop --prefix-only
    echo $? >"$logs/prefixes-$name.done"
  ) >"$logs/prefixes-$name.log" 2>&1 &
  prefix_pids[$1]=$!
}
prefix_wait() {  # build (in a suite's own process: the job is test.sh's child, so it is polled)
  local name pid=${prefix_pids[$1]:-}
  name=$(basename "$1")
  [ -n "$pid" ] || return 0
  while [ ! -f "$logs/prefixes-$name.done" ] && kill -0 "$pid" 2>/dev/null; do sleep 1; done
  [ "$(cat "$logs/prefixes-$name.done" 2>/dev/null)" = 0 ] && return 0
  echo "test: making the Wine prefixes of $1 failed; the suite makes them itself:"
  cat "$logs/prefixes-$name.log"
}
stop_prefixes() {  # [build ...]: those builds' jobs, else all
  local build pid builds=("$@")
  [ $# -gt 0 ] || builds=("${!prefix_pids[@]}")
  for build in ${builds[@]+"${builds[@]}"}; do
    pid=${prefix_pids[$build]:-}
    [ -n "$pid" ] || continue
    pkill -TERM -P "$pid" 2>/dev/null
    kill "$pid" 2>/dev/null
  done
}
stop_host() { [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null; }
stop_all() { stop_prefixes; stop_host; for pid in ${suite_pids[@]+"${suite_pids[@]}"}; do kill "$pid" 2>/dev/null; done; }
trap stop_all INT TERM
if wants suite && [ "$run_build" = "$product" ]; then
  prefixes_make "$product"
else
  wants emulated && [ "$product_emulated" = 1 ] && prefixes_make "$product"
  wants suite && [ "$run_build" != "$product" ] && prefixes_make "$run_build"
fi

if [ -n "$build_product" ]; then
  echo "test: building the product $product/ ($build_product)$([ ${#prefix_pids[@]} -gt 0 ] && echo " beside the Wine prefixes")"
  start=$SECONDS
  if ! bash -c "$build_product"; then
    echo "test: FAILED: the product $product/ did not build" >&2
    stop_prefixes
    exit 1
  fi
  times+=("building $product/ $((SECONDS - start)) s")
fi
[ -f "$product/CTestTestfile.cmake" ] || { echo "test: $product is not built (make build)" >&2; stop_prefixes; exit 1; }

# The host stage needs no display and little besides a core; it runs while the suites wait on Wine.
if wants host; then
  echo "test: host stage in the background (log: $logs/host.log): the fuzz check, and beside it:" \
       "$(ctest --test-dir "$product" -N -L host | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')"
  # The fuzz check beside the entries: each is a single-threaded compile after another.
  (
    start=$SECONDS status=0
    bash "$here/../../tools/fuzz.sh" check >"$logs/fuzz.log" 2>&1 &
    fuzz_pid=$!
    ctest --test-dir "$product" -L host --no-tests=error --output-on-failure -j1 || status=1
    wait "$fuzz_pid" || status=1
    cat "$logs/fuzz.log"
    echo "test: host stage took $((SECONDS - start)) s"
    exit $status
  ) >"$logs/host.log" 2>&1 &
  host_pid=$!
fi

# A suite runs in the background with its output in a log, printed whole when it ends, so that the
# suite and the emulated suite can run side by side and their logs still read one at a time.
# Two entries at a time: an entry that uses the desktop holds its resource lock (declared with the
# entry, cmake/DruxTest.cmake), so what runs beside it opens no window or has a display of its own.
# The driven entries go first where they can (they mostly wait on DRUX and the display); the
# emulated suite starts once the product is built and runs its driven entries, whose drivers are
# the stand-in's programs, once the stand-in is built (test.sh writes $stand_in_ready, holding
# "built" or "failed"; the wait ends with test.sh too).
stand_in_ready=$logs/stand-in.ready
rm -f "$stand_in_ready"
suite() {  # build, what it is, log name, order (driven-first or driven-after-stand-in)
  local build=$1 what=$2 log=$logs/$3.log order=$4
  echo "test: $what: $build/, every CTest entry not labelled host (log: $log)"
  (
    start=$SECONDS status=0
    prefix_wait "$build"
    bash "$here/wine-env.sh" "$build" -- bash -c '
      run() { ctest --test-dir "$1" "$2" "$3" --no-tests=error --output-on-failure -j2; }
      if [ "$2" = driven-first ]; then
        run "$1" -L driven; first=$?
        run "$1" -LE "host|driven" && exit $first
        exit 1
      fi
      run "$1" -LE "host|driven"; first=$?
      until [ -s "$3" ]; do kill -0 "$4" 2>/dev/null || exit 1; sleep 1; done
      [ "$(cat "$3")" = built ] || { echo "test: the stand-in did not build: no driven entries run" >&2; exit 1; }
      run "$1" -L driven && exit $first' \
      run "$build" "$order" "$stand_in_ready" $$ || status=1
    echo "test: $what took $((SECONDS - start)) s"
    exit $status
  ) >"$log" 2>&1 &
  suite_pids+=($!) suite_names+=("$what") suite_logs+=("$log")
}
if wants emulated; then
  if [ "$product_emulated" = 1 ]; then
    not_run=$(ctest --test-dir "$product" -N -L host | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')
    driven=$(ctest --test-dir "$product" -N -L driven | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')
    echo "test: not run emulated: ${not_run:-none} (labelled host: no Windows code, run once by the host stage)"
    echo "test: the 32-bit DRUX.exe emulated, driven by $stand_in/'s x86-64 programs run natively: ${driven:-none}"
    suite "$product" "emulated (the 32-bit product under qemu-i386-static)" emulated driven-after-stand-in
  else
    echo "test: no emulated stage: $product/, the product, ran natively as the suite"
  fi
fi

# Without the stand-in the emulated suite ends after the entries it could run; what was started is
# waited for and its logs printed before the failure.
give_up() {
  echo failed >"$stand_in_ready"
  stop_prefixes "$run_build"
  for i in "${!suite_pids[@]}"; do wait "${suite_pids[$i]}"; cat "${suite_logs[$i]}"; done
  [ -n "$host_pid" ] && { wait "$host_pid"; cat "$logs/host.log"; }
  echo "test: FAILED: the stand-in" >&2
  exit 1
}

# The stand-in compiles while the host stage checks the product build's data set.
if [ "$run_build" != "$product" ] && [ -n "$build_stand_in" ]; then
  echo "test: building the stand-in $run_build/ ($build_stand_in) beside the host stage"
  start=$SECONDS
  if ! bash -c "$build_stand_in"; then
    echo "test: the stand-in $run_build/ did not build" >&2
    give_up
  fi
  times+=("building $run_build/ $((SECONDS - start)) s")
fi
if [ ! -f "$run_build/CTestTestfile.cmake" ]; then
  echo "test: $run_build is not built (make build-run)" >&2
  give_up
fi
echo built >"$stand_in_ready"

if wants suite; then
  loader=$(harness_load "$run_build" && echo "$DRUX_WINE")
  suite "$run_build" "suite (natively, $loader)" suite driven-first
fi

for i in "${!suite_pids[@]}"; do
  wait "${suite_pids[$i]}" || failed+=("${suite_names[$i]}")
  cat "${suite_logs[$i]}"
  times+=("$(sed -n 's/^test: \(.*\) took \([0-9]* s\)$/\1 \2/p' "${suite_logs[$i]}" | tail -1)")
done

for pid in "${prefix_pids[@]}"; do wait "$pid"; done
if [ -n "$host_pid" ]; then
  wait "$host_pid" || failed+=(host)
  cat "$logs/host.log"
  times+=("$(sed -n 's/^test: host stage took /host (beside the rest) /p' "$logs/host.log")")
fi
for line in "${times[@]}"; do echo "test: time: $line"; done
if [ ${#failed[@]} -gt 0 ]; then
  echo "test: FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "test: all passed"
