#!/usr/bin/env bash
# DRUX under a real X window manager: openbox on a private Xvfb, a Wine prefix without the virtual
# desktop, real X input with xdotool (input injected inside Wine never reaches the window manager).
# Checks the caption-less window, the drag by the background, the popup menu's "Find", the find
# with Ctrl+F and F3, and Esc.
#   window-manager-test.sh <build dir> <DRUX.exe> <window_probe.exe>
# It starts its own Xvfb, wineserver and openbox (in the build's prefix without the virtual
# desktop, through tests/harness/wine-env.sh --no-desktop) and stops exactly those, by pid or by
# its own prefix. DRUX.exe runs with the build's loader (emulated where the harness decided so),
# the probe with DRUX_DRIVER_WINE (where DRUX.exe is emulated, an x86-64 probe run natively).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"

build=${1:?build dir}
for tool in openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "window-manager-test: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done
# DRUX starts in a folder of its own, so both programs are named by absolute paths.
absolute() { printf '%s/%s' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")"; }
drux=$(absolute "${2:?DRUX.exe}")
probe=$(absolute "${3:?probe}")
[ -f "$probe" ] || { echo "window-manager-test: no probe at $probe (is its build made?)" >&2; exit 1; }
harness_enter "$build" --no-desktop -- "$0" "$build" "$drux" "$probe"
probe_wine=$DRUX_DRIVER_WINE

wm_pid=""
drux_pid=""
rundir=$(mktemp -d "${TMPDIR:-/tmp}/drux-wm.XXXXXX")
cleanup() {
  if [ -n "$drux_pid" ] && kill -0 "$drux_pid" 2>/dev/null; then kill "$drux_pid" 2>/dev/null; wait "$drux_pid" 2>/dev/null; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; fi
  rm -rf "$rundir"
}
trap cleanup EXIT

state=""
probe_read() {
  state=$("$probe_wine" "$probe" 2>/dev/null | tr -d '\r')
  local pair
  p_found=0
  for pair in ${state%% field=*}; do printf -v "p_${pair%%=*}" '%s' "${pair#*=}"; done
  p_field=""
  case "$state" in *" field="*) p_field=${state#* field=} ;; esac
}
# Re-reads the state until the condition (a shell expression over p_*) holds; 20 s at most.
wait_for() {
  local what=$1 condition=$2
  for _ in $(seq 1 100); do
    probe_read
    if [ "$p_found" = 1 ] && eval "$condition"; then return 0; fi
    sleep 0.2
  done
  echo "FAILED: $what; last state: $state" >&2
  exit 1
}

# The window manager first, so that DRUX's window is managed from its first map.
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || { echo "FAILED: openbox did not start" >&2; exit 1; }

# 40 constants; "LVM_" is in rows 10 and 30.
{
  for i in $(seq 0 39); do
    if [ "$i" = 10 ] || [ "$i" = 30 ]; then name="LVM_ITEM_$i"; else name="CONST_$i"; fi
    printf '%s\r\n%d\r\n0x%X\r\n' "$name" "$i" "$i"
  done
} > "$rundir/Constants.out"

# The window opens centred on the pointer.
xdotool mousemove 500 400
(cd "$rundir" && exec "$DRUX_WINE" "$drux") >/dev/null 2>&1 &
drux_pid=$!

wait_for "the window shows all 40 rows" '[ "$p_rows" = 40 ]'
# WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME: no caption of Wine's own; and no
# title bar from the window manager either (its frame's top is no taller than a border).
[ "$p_style" = 16400000 ] || { echo "FAILED: style $p_style, expected 16400000" >&2; exit 1; }
xwindow=""
for _ in $(seq 1 50); do
  xwindow=$(xdotool search --onlyvisible --name '^DRUX$' 2>/dev/null | head -1)
  [ -n "$xwindow" ] && break
  sleep 0.1
done
[ -n "$xwindow" ] || { echo "FAILED: no X window named DRUX" >&2; exit 1; }
extents=$(xprop -id "$xwindow" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')
if [ -n "$extents" ]; then
  top=$(echo "$extents" | cut -d, -f3 | tr -d ' ')
  [ "$top" -le 8 ] || { echo "FAILED: the window manager gives DRUX a title bar (frame extents $extents)" >&2; exit 1; }
fi

# The popup menu is made after the load: a right press that opens it marks the end of the load.
left=$p_left; top=$p_top
for attempt in $(seq 1 25); do
  xdotool mousemove $((left + 12)) $((top + 12)) click 3
  probe_read
  for _ in 1 2 3 4 5; do [ "$p_menu" = 1 ] && break; sleep 0.1; probe_read; done
  [ "$p_menu" = 1 ] && break
done
[ "$p_menu" = 1 ] || { echo "FAILED: no popup menu on a right press; last state: $state" >&2; exit 1; }
xdotool key Escape
wait_for "the popup menu closes on Esc" '[ "$p_menu" = 0 ]'

# Drag by the background: a press 12 pixels inside the outer corner lies on the background image.
xdotool mousemove $((left + 12)) $((top + 12)) mousedown 1 sleep 0.2
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove $((left + 12 + 60 * step / 8)) $((top + 12 + 40 * step / 8)) sleep 0.05
done
xdotool sleep 0.1 mouseup 1
wait_for "the drag moves the window by (60, 40) from ($left, $top)" \
  "[ \"\$p_left\" = $((left + 60)) ] && [ \"\$p_top\" = $((top + 40)) ]"
left=$p_left; top=$p_top

# The popup menu's "Find": the first line, just below the menu's top-left corner.
xdotool mousemove $((left + 12)) $((top + 12)) click 3
wait_for "a right press opens the popup menu" '[ "$p_menu" = 1 ]'
xdotool mousemove $((p_menuleft + 20)) $((p_menutop + 9)) sleep 0.1 click 1
wait_for "\"Find\" opens the input requester, ready for typing" '[ "$p_prompt" = 1 ] && [ "$p_promptready" = 1 ]'
xdotool type --delay 20 'LVM_'
wait_for "the field shows the typed text" '[ "$p_field" = "LVM_" ]'
xdotool key Return
wait_for "the find selects row 10" '[ "$p_prompt" = 0 ] && [ "$p_selected" = 10 ]'

# F3 goes on to the next hit; Ctrl+F asks again with the remembered text and wraps to the top.
wait_for "the main window is in front again after the find" '[ "$p_foreground" = 1 ]'
xdotool key F3
wait_for "F3 selects row 30" '[ "$p_selected" = 30 ]'
xdotool key ctrl+f
wait_for "Ctrl+F opens the requester with the remembered text" \
  '[ "$p_prompt" = 1 ] && [ "$p_promptready" = 1 ] && [ "$p_field" = "LVM_" ]'
xdotool key Return
wait_for "the find wraps to row 10" '[ "$p_prompt" = 0 ] && [ "$p_selected" = 10 ]'

# Esc ends DRUX with exit code 0.
wait_for "the main window is in front again" '[ "$p_foreground" = 1 ]'
xdotool key Escape
for _ in $(seq 1 100); do kill -0 "$drux_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$drux_pid" 2>/dev/null; then echo "FAILED: DRUX still runs after Esc" >&2; exit 1; fi
wait "$drux_pid"; code=$?
drux_pid=""
[ "$code" = 0 ] || { echo "FAILED: exit code $code" >&2; exit 1; }
echo "window manager checks passed"
