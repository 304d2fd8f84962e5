#!/usr/bin/env bash
# End to end: the real viewer under a virtual X display with openbox shows a
# small Pascal file; another process then saves a large one over it, as
# editors do (a new file renamed over the old). The window reloads it by
# itself, goes on painting while it loads (its progress shows in the status
# bar before the file shows in the view, coloured), and Escape then ends the
# program with status 0.
#   e2e_reload.sh PROGRAM OUTDIR [MEGABYTES]
set -euo pipefail
program=$1 out=$2 megabytes=${3:-60}

# shellcheck source=tests/support/e2e_desktop.sh
source "$(dirname "$0")/../../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() { echo "e2e reload: $*"; exit 1; }

use_fresh_store "$out"
start_window_manager "$out"

file=$out/shown.pas
printf 'begin end.\n' >"$file"
"$program" "$file" &
pid=$!
pids+=("$pid")
window=$(await_window --name "Lumivane 98")
[[ -n $window ]] || fail "no window appeared"
sleep 1

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
(($(pixels_in view "$comment") < 20)) || fail "the small file shows a comment it does not have"

# A comment first (navy once shown), then short lines of code.
{
  printf '{ a comment first }\n'
  head -c $((megabytes * 1024 * 1024)) < <(yes "x := 'abc' + 12; { note } if a then b := c;")
} >"$file.new"
mv "$file.new" "$file"
saved=$(date +%s%N)

painted_progress=0 shown=0
for _ in $(seq 400); do
  shoot || continue
  if (($(pixels_in view "$comment") > 20)); then
    shown=1
    break
  fi
  (($(pixels_in status "$progress") > 20)) && painted_progress=1
  sleep 0.1
done
took=$((($(date +%s%N) - saved) / 1000000))
((shown)) || fail "the saved file was not shown after ${took} ms"
echo "e2e reload: ${megabytes} MB shown ${took} ms after it was saved"
((painted_progress)) || fail "no progress was painted while the file loaded"

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Escape"
wait "$pid" || fail "the program ended with status $?"
rm -f "$file"
echo "e2e reload: passed"
