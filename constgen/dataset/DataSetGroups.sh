#!/bin/bash
# Finds the groups of the default data set's toolchain headers and writes them into this folder:
# DefaultDataSetToolchain*.h (top-level and subfolder headers, the compiler's own), DefaultDataSetDdk*.h
# (the driver kit, after ntddk.h with ddk/ on the include path), DefaultDataSetGroups.cmake (the
# groups in the order the build merges them) and DefaultDataSetLeftOut.txt (every header of the
# toolchain that no group includes, with the reason). Run it again after a toolchain update; the
# build itself only reports headers that these lists do not know.
#
#   constgen/dataset/DataSetGroups.sh [--cc COMPILER] [--cc64 COMPILER] [--jobs N] [--work DIR]
#
# A header joins the groups when it compiles in C after the data set's prelude (the feature
# macros, the sockets headers and windows.h); a driver-kit header when it compiles after ntddk.h.
# The headers that compile are packed into as few groups as they allow: all of them are compiled
# together, by the 32- and the 64-bit compiler, each header that an error or a changed macro
# definition is traced to moves to the next group, until every group compiles without either.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cc=i686-w64-mingw32-gcc-posix
cc64=x86_64-w64-mingw32-gcc-posix
jobs=2
work=
while [ $# -gt 0 ]; do
    case $1 in
    --cc) cc=$2; shift 2 ;;
    --cc64) cc64=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    -h | --help) sed -n '2,16p' "$0"; exit 0 ;;
    *) echo "DataSetGroups.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
for compiler in "$cc" "$cc64"; do
    command -v "$compiler" >/dev/null || { echo "DataSetGroups.sh: no compiler $compiler" >&2; exit 1; }
done
if [ -z "$work" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The compiler's own headers come first in its search list, the MinGW-w64 ones last.
mapfile -t search < <("$cc" -E -v -xc /dev/null 2>&1 |
    sed -n '/<...> search starts here/,/End of search/p' | sed -n 's/^ //p')
inc=
for dir in "${search[@]}"; do
    # The line markers name the files that links lead to.
    [ -f "$dir/windows.h" ] && inc=$(dirname "$(realpath "$dir/windows.h")")
done
gccinc=$(realpath "${search[0]}")
[ -n "$inc" ] || { echo "DataSetGroups.sh: $cc finds no windows.h" >&2; exit 1; }

# Headers that must not give values for a 32- or 64-bit x86 Windows program, whatever compiles.
declare -A reason=(
    [ia64reg.h]="another architecture: Itanium register numbers"
    [kxia64.h]="another architecture: Itanium kernel definitions"
    [kxarm.h]="another architecture: ARM assembly macros"
    [kxarm64.h]="another architecture: ARM64 assembly macros"
    [ksarm.h]="another architecture: ARM assembly offsets"
    [ksarm64.h]="another architecture: ARM64 assembly offsets"
    [issper16.h]="16-bit Windows: gives SEC_E_* codes their 16-bit values (SEC_E_INVALID_HANDLE 0x1301, not 0x80090301)"
    [ddk/armddk.h]="another architecture: ARM driver-kit definitions"
)

# Every header name a program can include: the folders' own, and the compiler's.
{
    (cd "$inc" && find . -name '*.h' -not -path './ddk/*' -not -path './wrl/*' \
        -not -path './sdks/*' | sed 's|^\./||')
    (cd "$gccinc" && find . -maxdepth 1 -name '*.h' | sed 's|^\./||')
} | LC_ALL=C sort -u >"$work/all.txt"
(cd "$inc" && find ddk -name '*.h') | LC_ALL=C sort >"$work/ddk-all.txt"

# The toolchain headers that preprocessed output on stdin reached, named as the include folders
# name them.
reached_headers() {
    sed -n 's/^# [0-9]* "\(.*\)".*/\1/p' | LC_ALL=C sort -u | while read -r file; do
        [ -f "$file" ] || continue
        file=$(realpath "$file")
        case $file in
        "$inc"/*) echo "${file#"$inc"/}" ;;
        "$gccinc"/*) echo "${file#"$gccinc"/}" ;;
        esac
    done
}

# The headers the hand-made groups reach.
hand=(DefaultDataSet.h DefaultDataSetWinHttp.h DefaultDataSetMedia.h DefaultDataSetD3D8.h)
for group in "${hand[@]}"; do
    "$cc" -E "$here/$group"
done | reached_headers | LC_ALL=C sort -u >"$work/reached.txt"
LC_ALL=C comm -23 "$work/all.txt" "$work/reached.txt" >"$work/candidates.txt"

# Prefixes compiled once each (precompiled headers).
printf '#define DRUX_DATA_SET_PRELUDE_ONLY\n#include "%s/DefaultDataSet.h"\n' "$here" \
    >"$work/prelude.h"
printf '#include <ntddk.h>\n' >"$work/ntddk.h"
# Only the 32-bit compiler takes them: the 64-bit one reads the prefix's text, as the build
# does, so a group is also tried exactly as it is compiled.
ddkflags="-I $inc/ddk"
mkdir -p "$work/prelude.h.gch" "$work/ntddk.h.gch"
"$cc" -x c-header "$work/prelude.h" -o "$work/prelude.h.gch/${cc##*/}"
# shellcheck disable=SC2086
"$cc" $ddkflags -x c-header "$work/ntddk.h" -o "$work/ntddk.h.gch/${cc##*/}"

# try PREFIX FLAGS HEADER: empty output when HEADER compiles after PREFIX, else the first error.
try() {
    local prefix=$1 flags=$2 header=$3 file
    file=$work/try/$(echo "$header" | tr '/' '+').c
    printf '#include "%s"\n#include <%s>\n' "$prefix" "$header" >"$file"
    # shellcheck disable=SC2086
    "$cc" $flags -fsyntax-only -w -fmax-errors=1 "$file" 2>&1 |
        grep -m1 -E 'error' || true
}
export -f try
export cc work
mkdir -p "$work/try"

# judge LIST PREFIX FLAGS OUT: HEADER<TAB>first error, one line per header of LIST. A rerun with
# the same --work keeps what an earlier run judged.
judge() {
    [ -s "$4" ] && return
    xargs -P "$jobs" -I{} bash -c 'printf "%s\t%s\n" "{}" "$(try "$0" "$1" "{}")"' "$2" "$3" \
        <"$1" | LC_ALL=C sort >"$4"
}

: >"$work/excluded.txt"
for name in "${!reason[@]}"; do
    printf '%s\t%s\n' "$name" "${reason[$name]}" >>"$work/excluded.txt"
done
grep -v -x -F -f <(cut -f1 "$work/excluded.txt") "$work/candidates.txt" >"$work/tried.txt" || true
grep -v -x -F -f <(cut -f1 "$work/excluded.txt") "$work/ddk-all.txt" >"$work/ddk-tried.txt" || true

judge "$work/tried.txt" "$work/prelude.h" "" "$work/after-prelude.txt"
awk -F'\t' '$2 != "" {print $1}' "$work/after-prelude.txt" >"$work/failed.txt"
judge "$work/ddk-tried.txt" "$work/ntddk.h" "$ddkflags" "$work/after-ntddk.txt"

# C++-only headers: the first error in C is a C++ construct (a class, a namespace, a template, a
# reference, a scope operator) or the header's own #error says so. Compiling each one as C++
# after windows.h would tell for certain but takes minutes per header on a busy machine.
awk -F'\t' '$2 != ""' "$work/after-prelude.txt" >"$work/failing.txt"
while IFS=$'\t' read -r header error; do
    error=${error#"$work"/try/}
    error=${error//$inc\//}
    error=${error//$gccinc\//}
    if [[ $error =~ class|namespace|template|\'\<\'|\'::\'|\'\&\'|C\+\+|cplusplus ]]; then
        printf '%s\tC++ only: %s\n' "$header" "$error"
    else
        printf '%s\tdoes not compile in C: %s\n' "$header" "$error"
    fi
done <"$work/failing.txt" >"$work/cxx.txt"
cat "$work/cxx.txt" >>"$work/excluded.txt"
awk -F'\t' '$2 != "" {print $1 "\tdoes not compile after ntddk.h: " $2}' \
    "$work/after-ntddk.txt" | sed "s|$inc/||g; s|$work/try/||g" >>"$work/excluded.txt"

# pack PREFIX FLAGS LIST STEM FOLDER: writes STEM1.list, STEM2.list, ... with the headers of LIST
# in groups that compile after PREFIX with no macro of one member changed by another, and
# STEM.unplaced with a header that fails even alone (its name with FOLDER before it, as the
# header list names it).
pack() {
    local prefix=$1 flags=$2 list=$3 stem=$4 folder=$5 index=1 pending
    pending=$(cat "$list")
    : >"$stem.unplaced"
    while [ -n "$pending" ]; do
        local members=$pending moved=
        # Every round moves at least one member out, so the loop ends.
        while [ -n "$members" ]; do
            local file=$stem.c
            printf '#include "%s"\n' "$prefix" >"$file"
            printf '#include <%s>\n' $members >>"$file"
            # The 64-bit compiler makes Constants-x64.out of the same groups. The errors are
            # capped: GCC looks for a spelling to suggest for each unknown name, which costs
            # minutes when one clash sets off thousands (the Direct3D 7 headers after DXGI's);
            # the members behind the cap are judged in the next round.
            local compiler
            for compiler in "$cc" "$cc64"; do
                # shellcheck disable=SC2086
                "$compiler" $flags -fsyntax-only -fmax-errors=50 -fno-diagnostics-show-caret \
                    -ftrack-macro-expansion=0 "$file" >"$stem-${compiler##*/}.err" 2>&1 &
            done
            wait
            # The member line that each error or redefinition of a member's macro came through.
            # GCC prints the chain of includes only when it changes, and a note in another
            # member's file changes it: a file's diagnostics without a chain of their own belong
            # to the chain last printed for that file or through it (back in dvbsiparser.h
            # after the header it includes, GCC prints none). Deep in a long group GCC runs out of
            # source locations and drops the column ("wabdefs.h:671: error: ...").
            local bad
            bad=$(cat "$stem"-*.err | awk -v inc="$inc/" '
                function place(text) { sub(/:[0-9]+(:[0-9]+)?: .*/, "", text); return text }
                function cline(text) { sub(/.*\.c:/, "", text); sub(/[:,].*/, "", text)
                                       return text }
                FNR == NR { prelude[inc $0] = 1; next }
                /^In file included from / || /^ +from / {
                    entry = $0
                    sub(/^(In file included)? *from /, "", entry)
                    sub(/:[0-9]+(:[0-9]+)?[:,]$/, "", entry)
                    if ($0 ~ /\.c:[0-9]+[:,]$/) {
                        chain = cline($0)
                        for (entry in within) via[entry] = chain
                        split("", within)
                    } else within[entry] = 1
                    next }
                !/^[^ ].*:[0-9]+(:[0-9]+)?: / { next }
                {
                    file = place($0)
                    if (chain != "") { via[file] = chain; chain = "" }
                    line = file ~ /\.c$/ ? cline($0) : via[file]
                }
                / (fatal )?error: / { if (line != "") print line; next }
                / warning: "[^"]*" redefined/ { pending = line; next }
                / note: this is the location of the previous definition/ {
                    if (pending != "" && !(file in prelude)) print pending
                    pending = ""; next }
                ' "$work/reached.txt" - | LC_ALL=C sort -un)
            # The prelude's own files may be redefined: the merge keeps their first value.
            if [ -n "$bad" ]; then
                bad=$(for line in $bad; do sed -n "${line}p" "$file"; done |
                    sed -n 's/#include <\(.*\)>/\1/p')
            fi
            [ -z "$bad" ] && break
            local kept
            kept=$(printf '%s\n' $members | grep -v -x -F -f <(printf '%s\n' $bad) || true)
            if [ -z "$kept" ]; then
                # All of them failed: the first (which compiles alone after the prefix, as
                # tried before) stays unless it is the only one, which then fails alone.
                set -- $members
                if [ $# -eq 1 ]; then
                    printf '%s%s\tfails in a group of its own with %s or %s\n' "$folder" "$1" \
                        "${cc##*/}" "${cc64##*/}" >>"$stem.unplaced"
                    members=
                    break
                fi
                kept=$1
                bad=$(printf '%s\n' $members | sed 1d)
            fi
            moved="$moved $bad"
            members=$kept
        done
        [ -n "$members" ] && printf '%s\n' $members >"$stem$index.list" &&
            index=$((index + 1))
        pending=$(printf '%s\n' $moved | sed '/^$/d')
    done
}

awk -F'\t' '$2 == "" {print $1}' "$work/after-prelude.txt" >"$work/top.txt"
# ntddk.h opens the first driver-kit group, whose values decide the driver kit's names.
{ echo ntddk.h; awk -F'\t' '$2 == "" && $1 != "ddk/ntddk.h" {sub(/^ddk\//, "", $1); print $1}' \
    "$work/after-ntddk.txt"; } >"$work/ddk.txt"
# Slices of a hundred are packed side by side, each into groups of its own: a compile of all of
# them would take long over the errors that follow each clash, and a slice's groups are as few.
# A rerun with the same --work keeps the slices packed before (remove them to pack again).
[ -e "$work/slice00" ] || split -l 100 -d -a 2 "$work/top.txt" "$work/slice"
rm -f "$work"/top*.list
running=0
for slice in "$work"/ddk "$work"/slice[0-9][0-9]; do
    [ -e "$slice-1.list" ] || [ -e "$slice"1.list ] && continue
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
    case $slice in
    */ddk) pack "$work/ntddk.h" "$ddkflags" "$work/ddk.txt" "$work/ddk" ddk/ & ;;
    *) pack "$work/prelude.h" "" "$slice" "$slice-" "" & ;;
    esac
    running=$((running + 1))
done
wait
cat "$work"/*.unplaced >>"$work/excluded.txt" 2>/dev/null || true
index=1
for list in "$work"/slice*-*.list; do
    cp "$list" "$work/top$index.list"
    index=$((index + 1))
done

# write_group FILE PREFIX_LINES LIST DESCRIPTION
write_group() {
    {
        echo "/* A group of the default data set, written by DataSetGroups.sh beside this file (run it" \
            "again rather than editing): $4. */" | fold -s -w 96 | sed 's/ *$//; 2,$s/^/   /'
        echo "/* Made by DataSetGroups.sh */"
        printf '%s\n' "$2"
        sed 's/.*/#include <&>/' "$3"
    } >"$1"
}
rm -f "$here"/DefaultDataSetToolchain*.h "$here"/DefaultDataSetDdk*.h
groups=()
index=1
for list in "$work"/ddk*.list; do
    [ -e "$list" ] || continue
    name=DefaultDataSetDdk$index.h
    if [ $index -eq 1 ]; then
        prefix='/* Include directory: ddk */
/* Its values decide: a later group that gives one of its names another value is reported. */'
        what="the driver kit after ntddk.h, whose values the driver kit's names keep"
    else
        prefix='/* Include directory: ddk */
#include <ntddk.h>'
        what="driver-kit headers after ntddk.h that clash with an earlier group's"
    fi
    write_group "$here/$name" "$prefix" "$list" "$what"
    groups+=("$name")
    index=$((index + 1))
done
index=1
# gives_nothing HEADER: true when HEADER defines no object-like macro outside "__" and no
# enumerator itself and reaches no header that the hand-made groups do not: a group of its own
# would give no value (icodecapi.h: an interface the Media group's strmif.h declares too).
gives_nothing() {
    local header=$1 path
    path=$inc/$1
    [ -f "$path" ] || path=$gccinc/$1
    grep -q -E '^[[:space:]]*#[[:space:]]*define[[:space:]]+[A-Za-z_][A-Za-z0-9_]*([[:space:]]|$)' \
        <(grep -v -E '^[[:space:]]*#[[:space:]]*define[[:space:]]+__' "$path") && return 1
    grep -q -w enum "$path" && return 1
    printf '#include "%s"\n#include <%s>\n' "$work/prelude.h" "$header" >"$work/alone.c"
    "$cc" -E "$work/alone.c" 2>/dev/null | reached_headers | LC_ALL=C sort -u |
        LC_ALL=C comm -23 - "$work/reached.txt" | grep -q -v -x -F "$header" && return 1
    return 0
}
for list in "$work"/top*.list; do
    [ -e "$list" ] || continue
    if [ "$(wc -l <"$list")" -eq 1 ] && gives_nothing "$(cat "$list")"; then
        printf '%s\tin no group: it defines no integer constant (only "__" names and function-like macros) and includes only headers of the other groups\n' \
            "$(cat "$list")" >>"$work/excluded.txt"
        continue
    fi
    name=DefaultDataSetToolchain$index.h
    what="headers of the toolchain that compile in C after windows.h, from $(head -1 "$list")"
    what="$what to $(tail -1 "$list") and clashing with none of each other"
    prefix='#define DRUX_DATA_SET_PRELUDE_ONLY
#include "DefaultDataSet.h"'
    write_group "$here/$name" "$prefix" "$list" "$what"
    groups+=("$name")
    index=$((index + 1))
done
{
    echo "# The groups that DataSetGroups.sh made, in the order the build merges them after the"
    echo "# hand-made ones. Written by DataSetGroups.sh."
    echo "set(DRUX_DATA_SET_MADE_GROUPS"
    printf '    %s\n' "${groups[@]}"
    echo ")"
} >"$here/DefaultDataSetGroups.cmake"
# What the groups reach through the headers they include (the parts of immintrin.h, of gdiplus.h).
for name in "${groups[@]}"; do
    flags=
    case $name in DefaultDataSetDdk*) flags="-I $inc/ddk" ;; esac
    # shellcheck disable=SC2086
    "$cc" $flags -E "$here/$name" 2>/dev/null
done | reached_headers >>"$work/reached.txt"
LC_ALL=C sort -u -o "$work/reached.txt" "$work/reached.txt"
{
    echo "# Every header of the toolchain that DataSetGroups.sh saw, and why a header is in no group of"
    echo "# the default data set (tab-separated). Written by DataSetGroups.sh; the build reports a"
    echo "# header of the toolchain that is not listed here."
    awk -F'\t' '
        FILENAME == ARGV[1] { if (!($1 in why)) why[$1] = $2; next }
        FILENAME == ARGV[2] { reached[$0] = 1; next }
        { print $0 "\t" ($0 in reached ? "in" : $0 in why ? why[$0] \
                         : "in no group, though it compiles alone") }
    ' "$work/excluded.txt" "$work/reached.txt" "$work/all.txt" "$work/ddk-all.txt"
} >"$here/DefaultDataSetHeaders.txt"
echo "DataSetGroups.sh: ${#groups[@]} groups; $(grep -c $'\tin$' "$here/DefaultDataSetHeaders.txt") headers in, $(grep -vc $'\tin$' "$here/DefaultDataSetHeaders.txt") out"
