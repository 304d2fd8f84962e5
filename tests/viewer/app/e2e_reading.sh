#!/usr/bin/env bash
# End to end: the reading commands on the real viewer under a virtual X
# display with openbox. Zoom by keys and Ctrl+wheel, line numbers from the
# popup menu (the gutter's pixels), the go-to dialog, and the settings store
# they are kept in. Screenshots stay in OUTDIR.
#   e2e_reading.sh PROGRAM SOURCE OUTDIR
set -euo pipefail
program=$1 source=$2 out=$3

fail() {
  echo "e2e-reading: $*"
  exit 1
}
# shellcheck source=tests/support/e2e_desktop.sh
source "$(dirname "$0")/../../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"
use_fresh_store "$out"
# Installed: the view's settings are stored only under the product key.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane]\n\n' >"$LUMIVANE_REGISTRY"
start_window_manager "$out"

# The stored REG_DWORD NAME under View, as a decimal number; empty when none.
stored() { # NAME
  local hex
  hex=$(sed -n '/^\[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\View\]/,/^\[/p' "$LUMIVANE_REGISTRY" 2>/dev/null |
    sed -n "s/^\"$1\"=dword:\([0-9a-fA-F]*\).*/\1/p" | head -n1)
  [[ -n $hex ]] && echo $((16#$hex))
  return 0
}
# Waits up to 5 s for the stored NAME to become VALUE.
expect_stored() { # NAME VALUE WHAT
  for _ in $(seq 50); do
    [[ $(stored "$1") == "$2" ]] && return 0
    sleep 0.1
  done
  fail "$3: $1 is '$(stored "$1")', not $2"
}
key() { xdotool key --clearmodifiers "$@"; }

start_viewer "$program" "$source"
xdotool windowactivate --sync "$window" 2>/dev/null || true
eval "$(xdotool getwindowgeometry --shell "$window")"
# A point inside the view, below the toolbar.
view_x=$((X + 200)) view_y=$((Y + 150))
sleep 1
xdotool mousemove "$view_x" "$view_y" click 1

# White pixels in a strip near the view's left edge: the text's margin is
# white, the gutter is not.
white_in_gutter_strip() {
  import -window root "$out/strip.png" 2>/dev/null
  convert "$out/strip.png" -crop "3x150+$((X + 18))+$((Y + 90))" -fill black +opaque white \
    -format "%[fx:round(mean*w*h)]" info:
}
(($(white_in_gutter_strip) > 200)) || fail "the text's margin is not white before line numbers"

# ---- zoom ----
key ctrl+equal ctrl+plus
expect_stored Zoom 125 "Ctrl+= and Ctrl++"
key ctrl+minus
expect_stored Zoom 110 "Ctrl+-"
xdotool keydown ctrl click 4 keyup ctrl
expect_stored Zoom 125 "Ctrl+wheel up"
xdotool keydown ctrl click 5 click 5 keyup ctrl
expect_stored Zoom 100 "Ctrl+wheel down"
key ctrl+equal ctrl+equal ctrl+equal ctrl+equal ctrl+equal
expect_stored Zoom 200 "five steps up"

# ---- line numbers from the popup menu, by keyboard ----
xdotool mousemove "$view_x" "$view_y" click 3
sleep 0.5
key Up Return # the last item
expect_stored LineNumbers 1 "popup Line numbers"
sleep 0.5
(($(white_in_gutter_strip) < 10)) || fail "no gutter after Line numbers"
# Grey numbers on the gutter.
import -window root "$out/zoom200-line-numbers.png"
grey=$(convert "$out/zoom200-line-numbers.png" -crop "40x200+$((X + 14))+$((Y + 60))" \
  -fuzz 15% -fill white +opaque "rgb(128,128,128)" -fill black -opaque "rgb(128,128,128)" \
  -negate -format "%[fx:round(mean*w*h)]" info:)
((grey > 30)) || fail "no grey numbers in the gutter ($grey)"
echo "e2e-reading: gutter shown at 200 %, $grey grey pixels"

# ---- go to line ----
key ctrl+g
dialog=$(await_window --name "Go to line")
[[ -n $dialog ]] || fail "Ctrl+G opened no dialog"
xdotool type --delay 50 "99"
key Return
sleep 0.5
import -window root "$out/goto-bad.png"
[[ -n $(xdotool search --onlyvisible --name "Go to line" 2>/dev/null) ]] ||
  fail "a bad line number closed the dialog"
key ctrl+a
xdotool type --delay 50 "40"
import -window root "$out/goto.png"
key Return
for _ in $(seq 30); do
  [[ -z $(xdotool search --onlyvisible --name "Go to line" 2>/dev/null) ]] && break
  sleep 0.1
done
[[ -z $(xdotool search --onlyvisible --name "Go to line" 2>/dev/null) ]] ||
  fail "a good line number left the dialog open"
import -window root "$out/after-goto.png"

# ---- back, and the settings for the next start ----
key ctrl+0
expect_stored Zoom 100 "Ctrl+0"
xdotool mousemove "$view_x" "$view_y" click 3
sleep 0.5
key Up Return
expect_stored LineNumbers 0 "popup Line numbers again"
sleep 0.5
(($(white_in_gutter_strip) > 200)) || fail "the gutter stayed after Line numbers off"
key Escape
echo "e2e-reading: keys, wheel, popup, go-to dialog and gutter work"
