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
# shellcheck source=tests/viewer/app/e2e_load.sh
source "$(dirname "$0")/e2e_load.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() { echo "e2e open: $*"; exit 1; }

use_fresh_store "$out"
start_window_manager "$out"

big=$out/big.pas
write_big_source "$big" "$megabytes"

start_viewer "$program"
sleep 0.5

shoot || fail "no screenshot of the window"
(($(pixels_in view "$comment_colour") < 20)) || fail "the view is not empty before the open"

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
await_file_with_progress "$(date +%s%N)"
echo "e2e open: ${megabytes} MB shown ${took} ms after the dialog closed"
# One Ctrl+O, one dialog: it must not come back once the file shows.
sleep 1
xdotool search --onlyvisible --name "^Open$" >/dev/null 2>&1 && fail "the open dialog came back"

end_with_escape
rm -f "$big"
echo "e2e open: passed"
