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
# shellcheck source=tests/viewer/app/e2e_load.sh
source "$(dirname "$0")/e2e_load.sh"
run_on_virtual_display "$out" "$0" "$@"

fail() { echo "e2e reload: $*"; exit 1; }

use_fresh_store "$out"
start_window_manager "$out"

file=$out/shown.pas
printf 'begin end.\n' >"$file"
start_viewer "$program" "$file"
sleep 1

shoot || fail "no screenshot of the window"
(($(pixels_in view "$comment_colour") < 20)) || fail "the small file shows a comment it does not have"

write_big_source "$file.new" "$megabytes"
mv "$file.new" "$file"
await_file_with_progress "$(date +%s%N)"
echo "e2e reload: ${megabytes} MB shown ${took} ms after it was saved"

end_with_escape
rm -f "$file"
echo "e2e reload: passed"
