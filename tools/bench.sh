#!/usr/bin/env bash
# Prints DRUX's figures beside those of a bare baseline program:
#   tools/bench.sh <build dir> [repeats [text]]
# repeats: runs of each measure, the median printed; text: only the measures that mention it.
# Run inside tests/harness/wine-env.sh (as `make bench` does): it needs the virtual desktop.
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd); shift
bench="$build/tools/bench/drux_bench.exe"
[ -f "$bench" ] || { echo "bench: $bench is missing; build the target drux_bench first" >&2; exit 1; }
exec "${DRUX_WINE:-wine}" "$bench" "$@"
