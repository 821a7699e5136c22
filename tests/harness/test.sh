#!/usr/bin/env bash
# Runs every test the way `make test` does, in stages, and says what ran where:
#   tests/harness/test.sh [--product DIR] [--stand-in DIR] [--build-stand-in CMD] [--stage NAME]...
#   host      beside the rest: the fuzz check (tools/fuzz.sh check) and the CTest entries
#             labelled host, which run no Windows code (the data-set and constgen-on-Linux-headers
#             checks), from the product build, once
#   suite     the runnable build's CTest entries not labelled host, natively, in its Wine world
#   emulated  where the runnable build is the stand-in: the product's same entries with its
#             32-bit loader under qemu (entries labelled driven use the stand-in's drivers, and
#             run once it is built; the others start with the host stage), side by side with
#             the suite (each has its own display and prefix)
# All stages by default. The product build must be made and decided (tests/harness/decide.sh)
# first; the stand-in too, unless --build-stand-in names the command that makes it, which runs
# once the host stage (which needs only the product build) has started.
# Fails when any stage fails or finds no test; prints each stage's time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

product=build
stand_in=build-x64
build_stand_in=""
stages=()
while [ $# -gt 0 ]; do
  case "$1" in
    --product) product=${2:?--product needs a directory}; shift ;;
    --product=*) product=${1#*=} ;;
    --stand-in) stand_in=${2:?--stand-in needs a directory}; shift ;;
    --stand-in=*) stand_in=${1#*=} ;;
    --build-stand-in) build_stand_in=${2:?--build-stand-in needs a command}; shift ;;
    --build-stand-in=*) build_stand_in=${1#*=} ;;
    --stage) stages+=("${2:?--stage needs a name}"); shift ;;
    --stage=*) stages+=("${1#*=}") ;;
    -h | --help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
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
[ -f "$product/CTestTestfile.cmake" ] || { echo "test: $product is not built (make build)" >&2; exit 1; }
logs=$product/test-logs
mkdir -p "$logs"
failed=()
times=()

# The host stage needs no display and little besides a core; it runs while the suites wait on Wine.
host_pid=""
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
stop_host() { [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null; }
trap stop_host INT TERM

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
suite_pids=() suite_names=() suite_logs=()
suite() {  # build, what it is, log name, order (driven-first or driven-after-stand-in)
  local build=$1 what=$2 log=$logs/$3.log order=$4
  echo "test: $what: $build/, every CTest entry not labelled host (log: $log)"
  (
    start=$SECONDS status=0
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
stop_all() { stop_host; for pid in "${suite_pids[@]}"; do kill "$pid" 2>/dev/null; done; }
trap stop_all INT TERM

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
