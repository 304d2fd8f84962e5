#!/usr/bin/env bash
# End to end: the real viewer on a virtual display under a window manager,
# with a D-Bus session and the accessibility bus, read and worked by a
# screen reader's client (a11y_tree.py): roles, names, states and actions of
# the main window, the setup dialog and the about box, each toolbar command
# pressed through its action, the colour grid walked cell by cell, the
# toolbar reached with F10. Escape then ends the program.
#   e2e_accessibility.sh PROGRAM SOURCE OUTDIR
set -euo pipefail
program=$1 source=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)

fail() {
  echo "e2e accessibility: $1"
  exit 1
}

# shellcheck source=tests/support/e2e_desktop.sh
source "$here/../../support/e2e_desktop.sh"
run_on_virtual_display "$out" "$0" "$@"

# A session bus of our own: the accessibility bus is started on it on demand.
if [[ ${LUMIVANE_E2E_SESSION:-} != 1 ]]; then
  command -v dbus-run-session >/dev/null || fail "dbus-run-session is missing (scripts/setup.sh)"
  export LUMIVANE_E2E_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || fail "python3-pyatspi is missing (scripts/setup.sh)"
command -v xclip >/dev/null || fail "xclip is missing (scripts/setup.sh)"

start_window_manager "$out"
use_fresh_store "$out"
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

"$program" "$source" 2>"$out/program.log" &
pid=$!
pids+=("$pid")
await_main_window
xdotool windowactivate --sync "$window" 2>/dev/null || true

/usr/bin/python3 "$here/a11y_tree.py" "$out" "$window" || fail "see above"

xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  fail "the program did not end after Escape"
fi
wait "$pid" || fail "the program ended with an error"
echo "e2e accessibility: passed"
