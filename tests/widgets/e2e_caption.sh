#!/usr/bin/env bash
# End to end: the real viewer under a virtual X display with a real window
# manager (openbox). The window wears our frame and no desktop frame;
# dragging the caption moves it, dragging the bottom-right corner sizes it,
# a double click on the caption maximises and restores it, also when the
# program takes the first press late,
# another client taking the focus turns the caption inactive and a click on
# ours turns it back; the close button ends the program with status 0.
#   e2e_caption.sh PROGRAM OUTDIR
set -euo pipefail
program=$1 out=$2

# shellcheck source=tests/support/e2e_desktop.sh
source "$(dirname "$0")/../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() { echo "e2e caption: $*"; exit 1; }

use_fresh_store "$out"
start_window_manager "$out"

start_viewer "$program"
sleep 0.5

geometry() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}
# "R G B" of one screen pixel.
pixel() {
  import -window root "$out/screen.png"
  pixel_in "$out/screen.png" "$1" "$2"
}
# The caption just left of the buttons: the gradient's right-hand colour.
caption_pixel() {
  geometry
  pixel $((wx + ww - 4 - 56 - 3)) $((wy + 13))
}
# Waits up to 3 s for the caption to show the look TEST checks.
await_caption() { # TEST
  local i
  for i in $(seq 15); do
    colour=$(caption_pixel)
    "$1" "$colour" && return 0
    sleep 0.2
  done
  return 1
}
is_active_colour() { # blue clearly above red: the active caption
  read -r r g b <<<"$1"
  ((b > r + 40))
}
is_inactive_colour() { # a grey
  read -r r g b <<<"$1"
  ((r - g < 12 && g - r < 12 && b - g < 12 && g - b < 12))
}
near() { # A B: within 3 pixels
  (($1 - $2 <= 3 && $2 - $1 <= 3))
}
drag() { # X0 Y0 X1 Y1, in steps as a hand would
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  local i
  for i in 1 2 3 4 5; do
    xdotool mousemove $(($1 + ($3 - $1) * i / 5)) $(($2 + ($4 - $2) * i / 5))
    sleep 0.1
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}

# No frame of the window manager's around ours (once it manages the window).
extents=""
for _ in $(seq 50); do
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null || true)
  [[ $extents == *=* ]] && break
  sleep 0.1
done
[[ $extents == *"= 0, 0, 0, 0"* ]] || fail "a desktop frame is drawn around the window: $extents"
xdotool windowactivate --sync "$window" 2>/dev/null || true
await_caption is_active_colour ||
  fail "the caption of the active window is not in the active colour ($colour)"
cp "$out/screen.png" "$out/caption-active.png"

# Dragging the caption moves the window by the pointer's way.
geometry
x0=$wx y0=$wy w0=$ww h0=$wh
drag $((x0 + 300)) $((y0 + 10)) $((x0 + 400)) $((y0 + 60))
geometry
near "$wx" $((x0 + 100)) && near "$wy" $((y0 + 50)) ||
  fail "dragging the caption by 100,50 moved the window from $x0,$y0 to $wx,$wy"
[[ $ww == "$w0" && $wh == "$h0" ]] || fail "moving changed the size to ${ww}x$wh"
echo "e2e caption: moved from $x0,$y0 to $wx,$wy"

# Dragging the bottom-right corner sizes it; the top-left corner stays.
x0=$wx y0=$wy w0=$ww h0=$wh
drag $((x0 + w0 - 2)) $((y0 + h0 - 2)) $((x0 + w0 - 2 + 80)) $((y0 + h0 - 2 + 60))
geometry
near "$ww" $((w0 + 80)) && near "$wh" $((h0 + 60)) ||
  fail "dragging the corner by 80,60 sized ${w0}x$h0 to ${ww}x$wh"
near "$wx" "$x0" && near "$wy" "$y0" || fail "sizing moved the window to $wx,$wy"
echo "e2e caption: sized from ${w0}x$h0 to ${ww}x$wh"

# A double click on the caption maximises the window, another restores it.
double_click() { # at a hand's pace: a click the window system answers
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool mousedown 1 && sleep 0.1 && xdotool mouseup 1
  sleep 0.1
  xdotool mousedown 1 && sleep 0.08 && xdotool mouseup 1
  sleep 0.8
}
x0=$wx y0=$wy w0=$ww h0=$wh
double_click $((x0 + 250)) $((y0 + 12))
geometry
[[ $ww -ge 1000 && $wh -ge 700 ]] || fail "a double click on the caption did not maximise (${ww}x$wh)"
double_click $((wx + 250)) $((wy + 12))
geometry
near "$wx" "$x0" && near "$wy" "$y0" && near "$ww" "$w0" && near "$wh" "$h0" ||
  fail "a second double click did not restore ${w0}x$h0+$x0+$y0 (${ww}x$wh+$wx+$wy)"
echo "e2e caption: double click maximised and restored"

# A double click whose first press the program takes only after its release,
# as when it is busy for a moment (held still here while the first click
# happens): a press alone must not hand the pointer to the window manager,
# or the second click goes to it and the window stays as it was.
late_double_click() { # X Y
  xdotool mousemove "$1" "$2"
  sleep 0.3
  kill -STOP "$pid"
  xdotool mousedown 1 sleep 0.1 mouseup 1
  sleep 0.03
  kill -CONT "$pid"
  sleep 0.12
  xdotool mousedown 1 sleep 0.08 mouseup 1
  sleep 0.8
}
geometry
x0=$wx y0=$wy w0=$ww h0=$wh
late_double_click $((x0 + 250)) $((y0 + 12))
geometry
[[ $ww -ge 1000 && $wh -ge 700 ]] ||
  fail "a double click taken late did not maximise (${ww}x$wh+$wx+$wy)"
late_double_click $((wx + 250)) $((wy + 12))
geometry
near "$wx" "$x0" && near "$wy" "$y0" && near "$ww" "$w0" && near "$wh" "$h0" ||
  fail "a second double click taken late did not restore ${w0}x$h0+$x0+$y0 (${ww}x$wh+$wx+$wy)"
echo "e2e caption: double clicks taken late maximised and restored"

# Another client takes the focus: our caption turns inactive.
activate_another_client
await_caption is_inactive_colour ||
  fail "the caption stayed active when another window was ($colour)"
cp "$out/screen.png" "$out/caption-inactive.png"

# A click on our caption brings the active look back.
geometry
xdotool mousemove $((wx + 250)) $((wy + 12))
sleep 0.2
xdotool mousedown 1 && sleep 0.1 && xdotool mouseup 1
await_caption is_active_colour ||
  fail "clicking the caption did not make it active again ($colour)"
echo "e2e caption: inactive while the other client had the focus, active again after a click"

# The close button ends the program.
geometry
xdotool mousemove $((wx + ww - 4 - 2 - 8)) $((wy + 13)) click 1
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the close button"
set +e
wait "$pid"
status=$?
set -e
echo "e2e caption: exit status $status"
exit "$status"
