#!/usr/bin/env bash
# Runs every test the way `make test` does, in stages, and says what ran where:
#   tests/harness/test.sh [--product DIR] [--stand-in DIR] [--stage NAME]... [--help]
#   host      beside the rest: the fuzz check (tools/fuzz.sh check) and the CTest entries
#             labelled host, which run no Windows code (the data-set and constgen-on-Linux-headers
#             checks), from the product build, once
#   suite     the runnable build's CTest entries not labelled host, natively, in its Wine world
#   emulated  where the runnable build is the stand-in: the product's same entries with its
#             32-bit loader under qemu (entries labelled driven use the stand-in's drivers)
# All stages by default. The builds must be made and decided (tests/harness/decide.sh) first.
# Fails when any stage fails or finds no test; prints each stage's time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

product=build
stand_in=build-x64
stages=()
while [ $# -gt 0 ]; do
  case "$1" in
    --product) product=${2:?--product needs a directory}; shift ;;
    --product=*) product=${1#*=} ;;
    --stand-in) stand_in=${2:?--stand-in needs a directory}; shift ;;
    --stand-in=*) stand_in=${1#*=} ;;
    --stage) stages+=("${2:?--stage needs a name}"); shift ;;
    --stage=*) stages+=("${1#*=}") ;;
    -h | --help) sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 0 ;;
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
for dir in "$product" "$run_build"; do
  [ -f "$dir/CTestTestfile.cmake" ] || { echo "test: $dir is not built (make build-run)" >&2; exit 1; }
done
logs=$product/test-logs
mkdir -p "$logs"
failed=()
times=()

# The host stage needs no display and little besides a core; it runs while the suites wait on Wine.
host_pid=""
if wants host; then
  echo "test: host stage in the background (log: $logs/host.log): the fuzz check, then:" \
       "$(ctest --test-dir "$product" -N -L host | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')"
  (
    start=$SECONDS status=0
    bash "$here/../../tools/fuzz.sh" check || status=1
    ctest --test-dir "$product" -L host --no-tests=error --output-on-failure -j1 || status=1
    echo "test: host stage took $((SECONDS - start)) s"
    exit $status
  ) >"$logs/host.log" 2>&1 &
  host_pid=$!
fi
stop_host() { [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null; }
trap stop_host INT TERM

suite() {  # build, what it is
  local build=$1 what=$2 start=$SECONDS
  echo "test: $what: $build/, every CTest entry not labelled host"
  if ! bash "$here/wine-env.sh" "$build" -- \
      ctest --test-dir "$build" -LE host --no-tests=error --output-on-failure -j1; then
    failed+=("$what")
  fi
  times+=("$what $((SECONDS - start)) s")
}

if wants suite; then
  loader=$(harness_load "$run_build" && echo "$DRUX_WINE")
  suite "$run_build" "suite (natively, $loader)"
fi

if wants emulated; then
  if [ "$product_emulated" = 1 ]; then
    [ -f "$stand_in/CTestTestfile.cmake" ] || { echo "test: the stand-in $stand_in is not built" >&2; failed+=(emulated); }
    not_run=$(ctest --test-dir "$product" -N -L host | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')
    driven=$(ctest --test-dir "$product" -N -L driven | sed -n 's/^ *Test *#[0-9]*: *//p' | tr '\n' ' ')
    echo "test: not run emulated: ${not_run:-none} (labelled host: no Windows code, run once by the host stage)"
    echo "test: the 32-bit DRUX.exe emulated, driven by $stand_in/'s x86-64 programs run natively: ${driven:-none}"
    suite "$product" "emulated (the 32-bit product under qemu-i386-static)"
  else
    echo "test: no emulated stage: $product/, the product, ran natively as the suite"
  fi
fi

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
