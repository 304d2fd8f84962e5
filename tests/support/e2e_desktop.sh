# shellcheck shell=bash
# Sourced by the end-to-end scripts that need a real window manager: starts
# openbox on the virtual display and stops everything started at exit.
#   source e2e_desktop.sh; start_window_manager OUTDIR
# The caller defines fail MESSAGE. Processes added to the array pids are
# killed when the script exits. Everything of e2e_display.sh comes with it.

# shellcheck source=tests/support/e2e_display.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_display.sh"

pids=()
# shellcheck disable=SC2154  # p is the loop's own variable, in single quotes
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

window_manager_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The display may take a moment to accept clients: the window manager is
# started again until it runs.
start_window_manager() { # OUTDIR
  command -v openbox >/dev/null || fail "openbox is not installed (scripts/setup.sh)"
  local wm
  for _ in 1 2 3 4 5; do
    openbox --sm-disable >>"$1/openbox.log" 2>&1 &
    wm=$!
    for _ in $(seq 30); do
      window_manager_running && break
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    window_manager_running && break
    sleep 0.5
  done
  window_manager_running || fail "openbox did not start"
  pids+=("$wm")
}

# The first visible window xdotool finds with ARGS (e.g. --name NAME), waited
# for up to 10 s; empty when none appears.
await_window() { # ARGS...
  local found=""
  for _ in $(seq 100); do
    found=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1 || true)
    [[ -n $found ]] && break
    sleep 0.1
  done
  echo "$found"
}

# Waits for the viewer's main window; sets window to it.
await_main_window() {
  window=$(await_window --name "Lumivane 98")
  [[ -n $window ]] || fail "no window appeared"
}

# Starts COMMAND (the viewer and its arguments), killed at exit, and waits
# for its main window. Sets pid to the program and window to its window.
start_viewer() { # COMMAND...
  "$@" &
  pid=$!
  pids+=("$pid")
  await_main_window
}

# Another client takes the activation: a small xmessage window, which is
# killed at exit. Sets other to its window.
activate_another_client() {
  xmessage -geometry +5+5 "Another window" &
  pids+=($!)
  other=$(await_window --class xmessage)
  [[ -n $other ]] || fail "the second client did not appear"
  xdotool windowactivate --sync "$other" 2>/dev/null || xdotool windowactivate "$other"
}
