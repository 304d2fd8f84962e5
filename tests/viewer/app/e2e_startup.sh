#!/usr/bin/env bash
# End to end: starts the real viewer with a Pascal file under a virtual X
# display, waits until the coloured document shows, takes a screenshot, closes
# the window with Escape and expects exit status 0.
#   e2e_startup.sh PROGRAM SOURCE OUTDIR
set -euo pipefail
program=$1 source=$2 out=$3

source "$(dirname "$0")/../../support/e2e_display.sh"
run_on_virtual_display "$out" "$0" "$@"

use_fresh_store "$out"
shot=$out/lumivane.png

# Pixels in the comment colour (navy): the converted, coloured text is showing.
navy_pixels() {
  import -window root "$shot" 2>/dev/null || { echo 0; return; }
  convert "$shot" -fuzz 12% -fill black +opaque "rgb(0,0,128)" \
    -fill white -opaque "rgb(0,0,128)" -format "%[fx:round(mean*w*h)]" info:
}

"$program" "$source" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name "Lumivane 98" 2>/dev/null | head -n1 || true)
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "e2e: no window appeared"; exit 1; }

filled=0
for _ in $(seq 100); do
  if (($(navy_pixels) > 20)); then
    filled=1
    break
  fi
  sleep 0.1
done
((filled)) || { echo "e2e: the view did not fill with coloured text"; exit 1; }
echo "e2e: coloured view shown, screenshot in $shot"

# Without a window manager the focus may arrive late on a busy machine: the
# key is sent again until the program ends, a few times at most.
for _ in 1 2 3; do
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null || true
  sleep 0.2
  xdotool key Escape
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break 2
    sleep 0.1
  done
done
if kill -0 "$pid" 2>/dev/null; then
  echo "e2e: the program did not end after Escape"
  exit 1
fi
trap - EXIT
set +e
wait "$pid"
status=$?
set -e
echo "e2e: exit status $status"
exit "$status"
