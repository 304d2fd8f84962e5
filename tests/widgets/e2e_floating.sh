#!/usr/bin/env bash
# End to end: a floating toolbar under a virtual X display with a real window
# manager (openbox). Clicking its caption or a separator, resizing it by an
# edge and closing it never take the activation from the form, whose caption
# stays active; its buttons stay painted when the wrapped window repaints; it
# hides while another client is active and comes back where it was; its close
# button hides it and reports the close.
#   e2e_floating.sh PROBE OUTDIR
set -euo pipefail
probe=$1 out=$2

source "$(dirname "$0")/../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() {
  import -window root "$out/failed.png" 2>/dev/null || true
  echo "e2e floating: $*"
  exit 1
}

start_window_manager "$out"

start_probe() { # ARGS...
  "$probe" "$@" >"$out/probe.out" 2>"$out/probe.err" &
  pid=$!
  pids+=("$pid")
}
start_probe

find_window() { # NAME: the first visible window of that exact name
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true
}
await() { # TEST...: up to 3 s
  local i
  for i in $(seq 30); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
form=""
bar=""
found() {
  form=$(find_window "Floating probe")
  bar=$(find_window "Lumivane98")
  [[ -n $form && -n $bar ]]
}
await found || fail "the form or its floating toolbar did not appear"
sleep 0.5
xdotool windowactivate --sync "$form" 2>/dev/null || true

form_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$form" ]]; }
bar_shown() { [[ -n $(find_window "Lumivane98") ]]; }
bar_hidden() { ! bar_shown; }
bar_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$bar")"
  bx=$X by=$Y bw=$WIDTH bh=$HEIGHT
}
# "R G B" of one screen pixel.
pixel() {
  import -window root "$out/screen.png"
  pixel_in "$out/screen.png" "$1" "$2"
}
form_caption_active() { # navy, not grey, right of the title
  eval "$(xdotool getwindowgeometry --shell "$form")"
  local r g b
  read -r r g b <<<"$(pixel $((X + WIDTH / 2)) $((Y + 12)))"
  ((b > r + 40))
}
click() { # X Y, at a hand's pace
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool mousedown 1 && sleep 0.1 && xdotool mouseup 1
  sleep 0.6
}
check_form_kept() { # WHAT
  form_active || fail "$1 made $(xdotool getactivewindow) active instead of the form $form"
  form_caption_active || fail "$1 turned the form's caption inactive"
  echo "e2e floating: $1 left the form active"
}

is_red() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2")"
  ((r > 200 && g < 60 && b < 60))
}
row_buttons_shown() { # the first button of the second and third rows
  is_red $((bx + 8 + 11)) $((by + 4 + 15 + 30 + 11)) &&
    is_red $((bx + 8 + 11)) $((by + 4 + 15 + 58 + 11))
}
check_rows_painted() {
  await row_buttons_shown || fail "the wrapped rows' buttons are not painted"
  xdotool mousemove $((bx + bw - 4 - 7)) $((by + 4 + 7))
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
  xdotool mousemove $((bx + bw + 60)) $((by + 4 + 7))
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
  bar_shown || fail "releasing away from the close button closed the toolbar"
  row_buttons_shown || fail "a repaint of the toolbar lost the wrapped rows' buttons"
  grep -qx closed "$out/probe.out" && fail "a release away from the close button reported a close"
  echo "e2e floating: wrapped rows stay painted, a release away from the close button does nothing"
}

await form_active || fail "the form did not become active"
await form_caption_active || fail "the form's caption is not active at the start"
bar_geometry
[[ $bw == 206 && $bh == 48 ]] || fail "the floating toolbar is ${bw}x$bh, not 206x48"
import -window root "$out/floating.png"

click $((bx + 40)) $((by + 10))
check_form_kept "a click on the toolbar's caption"
click $((bx + 4 + 4 + 22 + 3)) $((by + 4 + 15 + 12))
check_form_kept "a click on a separator"

# The right edge dragged 112 pixels left: three rows, 86 + 8 wide.
xdotool mousemove $((bx + bw - 2)) $((by + 30))
sleep 0.2
xdotool mousedown 1
sleep 0.2
for step in 1 2 3 4; do
  xdotool mousemove $((bx + bw - 2 - 28 * step)) $((by + 30))
  sleep 0.1
done
sleep 0.2
import -window root "$out/resizing.png"
xdotool mouseup 1
sleep 0.6
x0=$bx y0=$by
bar_geometry
[[ $bw == 94 && $bh == 104 && $bx == "$x0" && $by == "$y0" ]] ||
  fail "resizing by the right edge gave ${bw}x$bh+$bx+$by, not 94x104+$x0+$y0"
check_form_kept "resizing"

# The wrapped rows keep their buttons, also when the close button repaints
# the window (held, then released away from it).
check_rows_painted

# Another client active: the toolbar hides, and comes back where it was.
activate_another_client
await bar_hidden || fail "the toolbar stayed shown while another client was active"
eval "$(xdotool getwindowgeometry --shell "$form")"
click $((X + 150)) $((Y + 12))
await bar_shown || fail "the toolbar did not come back with the application"
bar=$(find_window "Lumivane98")
bar_geometry
[[ $bw == 94 && $bh == 104 && $bx == "$x0" && $by == "$y0" ]] ||
  fail "the toolbar came back at ${bw}x$bh+$bx+$by, not 94x104+$x0+$y0"
echo "e2e floating: hidden while another client was active, back where it was"

# The close button: hidden, reported, the form still active.
click $((bx + bw - 4 - 7)) $((by + 4 + 7))
await bar_hidden || fail "the close button did not hide the toolbar"
grep -qx closed "$out/probe.out" || fail "the close was not reported"
check_form_kept "the close button"

