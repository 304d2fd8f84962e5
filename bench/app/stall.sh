#!/usr/bin/env bash
# Builds Pascal inputs of 1 MB and 16 MB from the packaged compiler sources and
# runs the stall probe on each, headless.
#   bench/app/stall.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
probe=$(find "$build" -name lumivane_stall_probe -type f -perm -u+x | head -n1)
[[ -n $probe ]] || { echo "stall: build lumivane_stall_probe first"; exit 1; }
src=/usr/share/fpcsrc
[[ -d $src ]] || { echo "stall: $src missing; run scripts/setup.sh --bench"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Concatenates source files until the output reaches SIZE bytes.
make_input() {
  local out=$1 size=$2
  : >"$out"
  while IFS= read -r -d '' f; do
    cat "$f" >>"$out"
    (($(stat -c %s "$out") >= size)) && break
  done < <(find "$src" -name '*.pas' -print0 | sort -z)
}

make_input "$work/one.pas" $((1024 * 1024))
make_input "$work/sixteen.pas" $((16 * 1024 * 1024))
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LUMIVANE_REGISTRY=$work/user.reg
for f in "$work/one.pas" "$work/sixteen.pas"; do
  "$probe" "$f"
done
