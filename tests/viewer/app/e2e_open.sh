#!/usr/bin/env bash
# End to end: the real viewer under a virtual X display with openbox opens a
# large generated Pascal file through Ctrl+O and its dialog. While the file
# loads the window goes on painting: its progress shows in the status bar
# before the file shows in the view, coloured. Escape then ends the program.
#   e2e_open.sh PROGRAM OUTDIR [MEGABYTES]
set -euo pipefail
program=$1 out=$2 megabytes=${3:-60}

# shellcheck source=tests/support/e2e_desktop.sh
source "$(dirname "$0")/../../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() { echo "e2e open: $*"; exit 1; }

use_fresh_store "$out"
start_window_manager "$out"

# A comment first (navy once shown), then short lines of code.
big=$out/big.pas
{
  printf '{ a comment first }\n'
  head -c $((megabytes * 1024 * 1024)) < <(yes "x := 'abc' + 12; { note } if a then b := c;")
} >"$big"

"$program" &
pid=$!
pids+=("$pid")
window=$(await_window --name "Lumivane 98")
[[ -n $window ]] || fail "no window appeared"
sleep 0.5

# Navy pixels (the comment colour, and the progress bar's) in a part of the
# window's last screenshot: the view (below the caption and the toolbar,
# above the scroll bar and the status bar) or the status bar's right half.
# The window's part of the screen.
shoot() {
  # shellcheck disable=SC2034  # SCREEN: set by the eval, not used
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/window.png" 2>/dev/null
}
# Pixels of COLOUR in the view (below the caption and the toolbar, above the
# scroll bar and the status bar) or in the status bar's right half, of the
# last screenshot.
pixels_in() { # view|status COLOUR
  local crop
  case $1 in
    view) crop='%[fx:w-40]x%[fx:h-110]+8+56' ;;
    status) crop='%[fx:w/2]x16+%[fx:w/2]+%[fx:h-18]' ;;
  esac
  convert "$out/window.png" -crop "$(identify -format "$crop" "$out/window.png")" +repage \
    -fuzz 12% -fill black +opaque "$2" -fill white -opaque "$2" \
    -format "%[fx:round(mean*w*h)]" info:
}
comment="rgb(0,0,128)" # navy
progress="rgb(48,140,198)" # the progress bar's chunks
shoot || fail "no screenshot of the window"
(($(pixels_in view "$comment") < 20)) || fail "the view is not empty before the open"

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key ctrl+o
dialog=$(await_window --name "^Open$")
[[ -n $dialog ]] || fail "the open dialog did not appear"
xdotool windowactivate --sync "$dialog" 2>/dev/null || true
xdotool type --delay 2 "$big"
sleep 0.5
# The first Return may only take the name the dialog's completion offers.
for _ in 1 2 3; do
  xdotool key Return
  sleep 0.5
  xdotool search --onlyvisible --name "^Open$" >/dev/null 2>&1 || break
done
xdotool search --onlyvisible --name "^Open$" >/dev/null 2>&1 && fail "the open dialog did not take the name"
opened=$(date +%s%N)

painted_progress=0 shown=0
for _ in $(seq 300); do
  shoot || continue
  if (($(pixels_in view "$comment") > 20)); then
    shown=1
    break
  fi
  (($(pixels_in status "$progress") > 20)) && painted_progress=1
  sleep 0.1
done
took=$((($(date +%s%N) - opened) / 1000000))
((shown)) || fail "the file was not shown after ${took} ms"
echo "e2e open: ${megabytes} MB shown ${took} ms after the dialog closed"
((painted_progress)) || fail "no progress was painted while the file opened"

xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Escape"
wait "$pid" || fail "the program ended with status $?"
rm -f "$big"
echo "e2e open: passed"
