#!/usr/bin/env bash
# Builds the fuzz targets natively (clang, libFuzzer, ASan, UBSan) in build-fuzz/ and runs each
# from its seeds. A finding is saved under build-fuzz/findings/ and fails the run, as does a build
# that stops (a platform call the runtime makes and tools/fuzz/shim lacks, for one).
#   tools/fuzz.sh         `make fuzz`: FUZZ_SECONDS (default 60) per target; what a run finds
#                         new is kept in build-fuzz/corpus/ and seeds the next run
#   tools/fuzz.sh check   `make test`: FUZZ_CHECK_SECONDS (default 5) per target from the seeds
#                         alone, so that every run starts from the same inputs
set -uo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
mode=${1:-long}
case "$mode" in
  long) seconds=${FUZZ_SECONDS:-60} ;;
  check) seconds=${FUZZ_CHECK_SECONDS:-5} ;;
  *) echo "usage: tools/fuzz.sh [check]" >&2; exit 2 ;;
esac
for tool in clang++ cmake; do
  command -v $tool >/dev/null || { echo "fuzz: $tool is not installed (make setup)" >&2; exit 1; }
done

if [ ! -f $out/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S tools/fuzz -B $out -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
fi
cmake --build $out -j"${JOBS:-2}" || { echo "fuzz: the fuzz targets do not build" >&2; exit 1; }

# Seeds: the fixtures of each input kind.
mkdir -p $out/seeds/constgen $out/seeds/lines $out/seeds/commandline $out/findings
cp tools/fuzz/seeds/constgen/* $out/seeds/constgen/
for h in dlgs.h cderr.h winver.h reason.h; do
  [ -f /usr/share/mingw-w64/include/$h ] && cp /usr/share/mingw-w64/include/$h $out/seeds/constgen/
done
cp tools/fuzz/seeds/lines/* data/Constants.out $out/seeds/lines/
cp tools/fuzz/seeds/commandline/* $out/seeds/commandline/

status=0
run() {  # target, seed kind, maximum input length
  local target=$1 seeds=$2 maxlen=$3 corpus=$out/corpus/$1
  # The check's new inputs go to a scratch corpus, emptied every time.
  [ "$mode" = check ] && { corpus=$out/check/$target; rm -rf "$corpus"; }
  mkdir -p "$corpus"
  # -timeout: a single input slower than this is a finding (a hang); rss: the same for memory.
  if ! $out/$target "$corpus" $out/seeds/$seeds -max_total_time="$seconds" \
      -max_len="$maxlen" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=$out/findings/$target- 2>$out/$target.log; then
    status=1
    echo "$target: FINDING (see $out/$target.log and $out/findings/)"
    # The sanitizer's report, or the target's own words just before the signal it raised.
    grep -m1 -B1 -E '==[0-9]+==ERROR|deadly signal|ALARM|out-of-memory' $out/$target.log
  fi
  local runs rss
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' $out/$target.log)
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' $out/$target.log)
  echo "fuzz: $target: ${runs:-?} runs in ${seconds}s, peak ${rss:-?} MB"
}
run constgen_fuzz constgen 8192
run line_reader_fuzz lines 8192
run text_fuzz lines 4096
run command_line_fuzz commandline 4096
exit $status
