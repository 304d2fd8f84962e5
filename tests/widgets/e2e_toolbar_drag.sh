#!/usr/bin/env bash
# End to end: the real viewer under a virtual X display with a real window
# manager (openbox). The toolbar is dragged by its handle from the top dock to
# the left dock (its buttons stack, its separators lie across), then out over
# the view, where it becomes a window of its own where it was dropped; held
# with Ctrl it floats next to the top dock, where a click on its caption
# without a move leaves it; a double click on that window's caption puts it
# back at the front of the top dock. The main window stays the active window
# throughout.
#   e2e_toolbar_drag.sh PROGRAM OUTDIR
set -euo pipefail
program=$1 out=$2

# shellcheck source=tests/support/e2e_desktop.sh
source "$(dirname "$0")/../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() {
  echo "e2e toolbar drag: $*"
  exit 1
}

use_fresh_store "$out"
start_window_manager "$out"

start_viewer "$program"
sleep 0.5
xdotool windowactivate --sync "$window" 2>/dev/null || true
sleep 0.3

# "R G B" of one screen pixel of the last screenshot.
shot() { import -window root "$out/screen.png"; }
pixel() { pixel_in "$out/screen.png" "$1" "$2"; }
is_white() { [[ $1 == "255 255 255" ]]; }
is_dark() { # a shadow grey, clearly darker than the button face
  read -r r g b <<<"$1"
  ((r < 150 && g < 150 && b < 150 && r > 40))
}
drag() { # X0 Y0 X1 Y1, in steps as a hand would
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  local i
  for i in 1 2 3 4 5 6; do
    xdotool mousemove $(($1 + ($3 - $1) * i / 6)) $(($2 + ($4 - $2) * i / 6))
    sleep 0.1
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.6
}
# Runs the check CHECK (a function of ours) on fresh screenshots until it
# holds, for up to 3 s: a busy machine may take its time to repaint.
await() { # CHECK
  local i
  for i in $(seq 15); do
    shot
    "$1" && return 0
    sleep 0.2
  done
  return 1
}
assert_main_active() {
  local active
  active=$(xdotool getactivewindow 2>/dev/null || true)
  [[ $active == "$window" ]] || fail "$1: the active window is $active, not the main window $window"
}
floating_window() {
  xdotool search --onlyvisible --name '^Lumivane98$' 2>/dev/null | head -n1 || true
}

eval "$(xdotool getwindowgeometry --shell "$window")"
# The client area: inside the 4-pixel frame, below the 19-pixel caption. The
# top dock holds the 203 × 26 toolbar there; its handle is at (5, 13), and the
# etched separator after its second button draws a shadow line at x 63 and a
# highlight line at x 64.
cx=$((X + 4)) cy=$((Y + 23))
docked_at_top() {
  is_dark "$(pixel $((cx + 63)) $((cy + 13)))" && is_white "$(pixel $((cx + 64)) $((cy + 13)))"
}
await docked_at_top || fail "the toolbar is not docked at the top at the start"

# To the left dock, let go just left of the client area. Held at (5, 13) the
# toolbar stands 26 × 203 there with its top 102 above the pointer; the top
# dock (26) empties as it leaves, so it ends up 128 above the pointer.
release_y=$((cy + 160))
drag $((cx + 5)) $((cy + 13)) $((cx - 5)) "$release_y"
top=$((release_y - 128))
# The handle's bars lie across, the etched separator is a shadow line over a
# highlight line across the toolbar, and the top dock is empty.
docked_on_left() {
  is_white "$(pixel $((cx + 12)) $((top + 4)))" && is_dark "$(pixel $((cx + 12)) $((top + 6)))" &&
    is_dark "$(pixel $((cx + 13)) $((top + 63)))" &&
    is_white "$(pixel $((cx + 13)) $((top + 64)))" &&
    is_white "$(pixel $((cx + 100)) $((cy + 10)))"
}
await docked_on_left || fail "the toolbar does not stand on the left dock from y $top"
cp "$out/screen.png" "$out/drag-left.png"
[[ -z $(floating_window) ]] || fail "a floating window appeared for the left dock"
assert_main_active "after docking on the left"
echo "e2e toolbar drag: on the left dock from y $top"

# Out over the view. Held at (13, 6) of 26 × 203, floating it is 206 × 48 and
# the pointer lands 103 in and 1 down.
x1=$((cx + 13 + 300)) y1=$((top + 6 + 200))
drag $((cx + 13)) $((top + 6)) "$x1" "$y1"
float=""
for _ in $(seq 30); do
  float=$(floating_window)
  [[ -n $float ]] && break
  sleep 0.1
done
[[ -n $float ]] || fail "no floating window appeared"
placed_where_dropped() {
  eval "$(xdotool getwindowgeometry --shell "$float")"
  fx=$X fy=$Y fw=$WIDTH fh=$HEIGHT
  [[ $fx == $((x1 - 103)) && $fy == $((y1 - 1)) && $fw == 206 && $fh == 48 ]]
}
await placed_where_dropped ||
  fail "the floating window is ${fw}x$fh+$fx+$fy, not 206x48+$((x1 - 103))+$((y1 - 1))"
left_dock_empty() { is_white "$(pixel $((cx + 13)) $((top + 63)))"; }
await left_dock_empty || fail "the left dock still shows the toolbar"
cp "$out/screen.png" "$out/drag-floating.png"
assert_main_active "after floating the toolbar"
echo "e2e toolbar drag: floating at $fx,$fy"

# Let go with Ctrl held, it floats just under the top dock: its caption is
# where the least move would dock it. Held at (60, 10) of 206 × 48.
xdotool keydown ctrl
drag $((fx + 60)) $((fy + 10)) $((cx + 250)) $((cy + 1))
xdotool keyup ctrl
fx=$((cx + 190)) fy=$((cy - 9))
near_the_dock() {
  eval "$(xdotool getwindowgeometry --shell "$float")"
  [[ $X == "$fx" && $Y == "$fy" && $WIDTH == 206 && $HEIGHT == 48 ]]
}
await near_the_dock || fail "Ctrl held, the toolbar is ${WIDTH}x$HEIGHT+$X+$Y, not 206x48+$fx+$fy"
# A press and release on its caption without a move changes nothing: where
# a drag goes is decided as the pointer moves.
xdotool mousemove $((fx + 60)) $((fy + 10))
sleep 0.3
xdotool mousedown 1 sleep 0.1 mouseup 1
sleep 0.8
[[ -n $(floating_window) ]] || fail "a click on the caption near the top dock docked the toolbar"
near_the_dock || fail "a click on the caption moved the toolbar to ${WIDTH}x$HEIGHT+$X+$Y"
echo "e2e toolbar drag: a click on the caption near the dock left it floating at $fx,$fy"

# A double click on its caption docks it at the front of row 0 of the top dock.
xdotool mousemove $((fx + 60)) $((fy + 10))
sleep 0.3
xdotool click --repeat 2 --delay 80 1
for _ in $(seq 30); do
  [[ -z $(floating_window) ]] && break
  sleep 0.1
done
[[ -z $(floating_window) ]] || fail "the floating window is still there after a double click"
await docked_at_top || fail "the double click did not dock the toolbar at the front of the top dock"
cp "$out/screen.png" "$out/drag-docked-again.png"
assert_main_active "after docking by double click"
echo "e2e toolbar drag: docked at the top again, main window active"
