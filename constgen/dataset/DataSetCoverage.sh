#!/usr/bin/env bash
# What the default data set holds of what its groups' headers give (the build's target
# data_set_coverage runs it):
#   DataSetCoverage.sh EVERY DATA WORK
# EVERY is the records of every integer constant the compiler computes in the groups (each group
# asked for all its names, the first group's value kept), DATA the data set, WORK the folder of
# the groups' probes (groupN/values.out, for the count of values with each group apart).
# Prints the counts, the names EVERY has that DATA lacks, and any name of DATA that EVERY lacks or
# gives another value (there should be none).
set -euo pipefail
export LC_ALL=C
[ $# -eq 3 ] || { echo "usage: DataSetCoverage.sh EVERY DATA WORK" >&2; exit 2; }
every=$1 data=$2 work=$3
# Records are three lines: name, decimal, hex.
records() { awk 'NR % 3 == 1 { name = $0 } NR % 3 == 2 { print name "\t" $0 }' "$1" | tr -d '\r' | sort; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
records "$every" >"$tmp/every"
records "$data" >"$tmp/data"
values=0
for file in "$work"/group*/values.out; do
  values=$((values + $(wc -l <"$file") / 3))
done
cut -f1 "$tmp/every" >"$tmp/every.names"
cut -f1 "$tmp/data" >"$tmp/data.names"
comm -23 "$tmp/every.names" "$tmp/data.names" >"$tmp/missing"
comm -13 "$tmp/every.names" "$tmp/data.names" >"$tmp/extra"
join -t "$(printf '\t')" "$tmp/every" "$tmp/data" | awk -F '\t' '$2 != $3' >"$tmp/differ"
total=$(wc -l <"$tmp/every") held=$(wc -l <"$tmp/data")
common=$((held - $(wc -l <"$tmp/extra")))
echo "the groups give $total distinct integer constants ($values values counting each group apart)"
awk -v c="$common" -v t="$total" 'BEGIN { printf "the data set holds %d of them (%.2f %%)\n", c, t ? 100 * c / t : 0 }'
echo "left out ($(wc -l <"$tmp/missing")): $(head -20 "$tmp/missing" | tr '\n' ' ')$([ "$(wc -l <"$tmp/missing")" -gt 20 ] && echo ...)"
echo "in the data set but not computed in the groups ($(wc -l <"$tmp/extra")): $(head -20 "$tmp/extra" | tr '\n' ' ')"
echo "with another value than the groups' ($(wc -l <"$tmp/differ")): $(head -20 "$tmp/differ" | tr '\t\n' ' ;')"
