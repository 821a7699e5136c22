#!/usr/bin/env bash
# `make fuzz`: builds the fuzz targets natively (clang, libFuzzer, ASan, UBSan) in build-fuzz/ and
# runs each for a bounded time (FUZZ_SECONDS, default 60) from a seed corpus of the fixtures plus
# what earlier runs kept. A finding is saved under build-fuzz/findings/ and fails the run.
set -uo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
seconds=${FUZZ_SECONDS:-60}

# Only fuzzing needs clang's runtime libraries, so they are installed here, not by setup.sh.
need=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "fuzz: missing packages: ${need[*]}; run as root (or install them) first" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q --no-install-recommends "${need[@]}" || exit 1
fi

if [ ! -f $out/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S tools/fuzz -B $out -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
fi
cmake --build $out -j"${JOBS:-2}" || exit 1

# Seeds: the fixtures of each input kind.
mkdir -p $out/seeds/constgen $out/seeds/lines $out/findings
cp tools/fuzz/seeds/constgen/* $out/seeds/constgen/
for h in dlgs.h cderr.h winver.h reason.h; do
  [ -f /usr/share/mingw-w64/include/$h ] && cp /usr/share/mingw-w64/include/$h $out/seeds/constgen/
done
cp tools/fuzz/seeds/lines/* data/Constants.out $out/seeds/lines/

status=0
run() {  # target, seed kind, maximum input length
  local target=$1 seeds=$2 maxlen=$3
  mkdir -p $out/corpus/$target
  echo "== $target: ${seconds}s"
  # -timeout: a single input slower than this is a finding (a hang); rss: the same for memory.
  if ! $out/$target $out/corpus/$target $out/seeds/$seeds -max_total_time="$seconds" \
      -max_len="$maxlen" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=$out/findings/$target- 2>$out/$target.log; then
    status=1
    echo "$target: FINDING (see $out/$target.log and $out/findings/)"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' $out/$target.log || true
}
run constgen_fuzz constgen 8192
run line_reader_fuzz lines 8192
run text_fuzz lines 4096
exit $status
