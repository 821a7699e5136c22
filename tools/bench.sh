#!/usr/bin/env bash
# Prints DRUX's figures beside those of a bare baseline program:
#   tools/bench.sh <build dir> [repeats [text]]
# repeats: runs of each measure, the median printed; text: only the measures that mention it.
# It needs the virtual desktop, so it starts itself again inside tests/harness/wine-env.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/harness/lib.sh"
build=$(cd "${1:?build dir}" && pwd); shift
bench="$build/tools/bench/drux_bench.exe"
[ -f "$bench" ] || { echo "bench: $bench is missing; build the target drux_bench first" >&2; exit 1; }
harness_enter "$build" -- "$0" "$build" "$@"
if [ "$DRUX_EMULATED" = 1 ]; then
  echo "bench: $build runs emulated here; emulated timings mean nothing (make bench picks the native build)" >&2
  exit 1
fi
exec "$DRUX_WINE" "$bench" "$@"
