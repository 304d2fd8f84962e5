#!/usr/bin/env bash
# The open command on the files that froze the window when it converted on
# the GUI thread: 200 MB on one line and 50 MB of empty lines. Prints the
# longest event-loop stall while each opens (target: 100 ms at the most).
#   bench/app/open_stall.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
probe=$(find "$build" -name lumivane_open_stall_probe -type f -perm -u+x | head -n1)
[[ -n $probe ]] || { echo "open stall: build lumivane_open_stall_probe first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

{
  printf '{ a comment first } '
  head -c $((200 * 1024 * 1024)) < <(yes "x := 'abc' + 12; { note } if a then b := c;" | tr -d '\n')
} >"$work/oneline.pas"
head -c $((50 * 1024 * 1024)) < <(yes '') >"$work/empty.pas"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LUMIVANE_REGISTRY=$work/user.reg
for f in "$work/oneline.pas" "$work/empty.pas"; do
  "$probe" "$f"
done
