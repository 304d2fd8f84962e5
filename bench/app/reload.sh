#!/usr/bin/env bash
# A 1 MB Pascal source (from the packaged compiler sources) on show while
# another program saves it again and again: how long after each save the new
# text is painted (target: within 1 s).
#   bench/app/reload.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
probe=$(find "$build" -name lumivane_reload_probe -type f -perm -u+x | head -n1)
[[ -n $probe ]] || { echo "reload: build lumivane_reload_probe first"; exit 1; }
src=/usr/share/fpcsrc
[[ -d $src ]] || { echo "reload: $src missing; run scripts/setup.sh --bench"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

: >"$work/one.pas"
while IFS= read -r -d '' f; do
  cat "$f" >>"$work/one.pas"
  (($(stat -c %s "$work/one.pas") >= 1024 * 1024)) && break
done < <(find "$src" -name '*.pas' -print0 | sort -z)

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LUMIVANE_REGISTRY=$work/user.reg
"$probe" "$work/one.pas" 5
