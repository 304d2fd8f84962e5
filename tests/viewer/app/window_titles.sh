#!/usr/bin/env bash
# Window titles as the desktop reads them: starts the real viewer under a
# virtual X display, opens each of its secondary windows (keys, toolbar) and
# reads _NET_WM_NAME and WM_NAME of every window it shows. Each title must be
# the program's own text, nothing appended; the task list still learns the
# program's name from the main window's title and its WM_CLASS.
#   window_titles.sh PROGRAM SOURCE OUTDIR
set -euo pipefail
program=$1 source=$2 out=$3

source "$(dirname "$0")/../../support/e2e_display.sh"
run_on_virtual_display "$out" "$0" "$@"

use_fresh_store "$out"
failures=0
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

fail() {
  echo "titles: $*"
  failures=$((failures + 1))
}
missed() { failures=$((failures + 1)); }

# The text of a string property of WINDOW, without xprop's quoting.
property() {
  xprop -id "$1" "$2" 2>/dev/null | sed -n 's/^[^=]*= "\(.*\)"$/\1/p' | sed 's/\\"/"/g'
}

# Waits until a visible window of PID has the title TITLE in both properties
# and prints its id; on a timeout names the titles that were there (on
# standard error: it runs in a command substitution) and fails.
expect_window() {
  local pid=$1 title=$2 window name
  for _ in $(seq 100); do
    for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
      name=$(property "$window" _NET_WM_NAME)
      if [[ $name == "$title" && $(property "$window" WM_NAME) == "$title" ]]; then
        echo "$window"
        return 0
      fi
    done
    sleep 0.1
  done
  local seen=""
  for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
    seen+=" [$(property "$window" _NET_WM_NAME)]"
  done
  echo "titles: no window titled \"$title\"; visible:${seen:- none}" >&2
  return 1
}

press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  xdotool key --clearmodifiers "$2"
}

"$program" "$source" &
pid=$!
pids+=("$pid")

main=$(expect_window "$pid" "qd's - Lumivane 98") || exit 1
wm_class=$(xprop -id "$main" WM_CLASS | sed 's/^[^=]*= //')
[[ $wm_class == '"lumivane", "Lumivane 98"' ]] || fail "main window WM_CLASS is $wm_class"

press "$main" ctrl+f
if find=$(expect_window "$pid" "Find"); then
  xdotool windowfocus --sync "$find" 2>/dev/null || true
  xdotool type --delay 20 "zzqqxxnotthere"
  press "$find" Return
  if info=$(expect_window "$pid" "Information"); then
    press "$info" Return
  else
    missed
  fi
  press "$find" Escape
else
  missed
fi

press "$main" ctrl+o
if open=$(expect_window "$pid" "Open"); then
  press "$open" Escape
else
  missed
fi

press "$main" ctrl+s
if save=$(expect_window "$pid" "Save as"); then
  press "$save" Escape
else
  missed
fi

# Setup and About from their toolbar buttons: the toolbar sits under the
# window's own caption bar, its buttons 22 pixels wide from the designed lefts
# 151 and 179. Setup has no key that closes it: its Cancel button does.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}
click "$main" 162 31
if setup=$(expect_window "$pid" "Setup"); then
  click "$setup" 293 68
else
  missed
fi
click "$main" 190 31
if about=$(expect_window "$pid" "About"); then
  press "$about" Escape
else
  missed
fi

# The error box: a start-up file that does not exist.
"$program" "$out/missing.pas" &
pids+=("$!")
if error=$(expect_window "$!" "Lumivane 98"); then
  import -window "$error" "$out/error-box.png" 2>/dev/null || true
else
  missed
fi

if ((failures)); then
  exit 1
fi
echo "titles: every window carries its own title"
