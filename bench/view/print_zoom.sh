#!/usr/bin/env bash
# PDF export of 1 MB and 16 MB of Pascal (time, peak memory, longest stall of
# the event loop), then zoom steps and the gutter toggle on 50 MB (time to the
# next frame). Pascal from the packaged compiler sources, else the sample
# repeated.
#   bench/view/print_zoom.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
root=$(cd "$(dirname "$0")/../.." && pwd)
pdf=$(find "$build" -name lumivane_pdf_probe -type f -perm -u+x | head -n1)
zoom=$(find "$build" -name lumivane_zoom_probe -type f -perm -u+x | head -n1)
[[ -n $pdf && -n $zoom ]] || { echo "print_zoom: build lumivane_pdf_probe and lumivane_zoom_probe"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Concatenates source files until the output reaches SIZE bytes.
make_input() { # OUT SIZE
  local out=$1 size=$2
  : >"$out"
  while (($(stat -c %s "$out") < size)); do
    if [[ -d /usr/share/fpcsrc ]]; then
      while IFS= read -r -d '' f; do
        cat "$f" >>"$out"
        (($(stat -c %s "$out") >= size)) && break
      done < <(find /usr/share/fpcsrc -name '*.pas' -print0 | sort -z)
    else
      cat "$root/samples/Sample.pas" >>"$out"
    fi
  done
}

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LUMIVANE_REGISTRY=$work/user.reg
make_input "$work/one.pas" $((1024 * 1024))
make_input "$work/sixteen.pas" $((16 * 1024 * 1024))
"$pdf" "$work/one.pas" "$work/one.pdf"
echo "  $(pdfinfo "$work/one.pdf" 2>/dev/null | grep Pages || true), $(stat -c %s "$work/one.pdf") bytes"
"$pdf" "$work/sixteen.pas" "$work/sixteen.pdf"
echo "  $(pdfinfo "$work/sixteen.pdf" 2>/dev/null | grep Pages || true), $(stat -c %s "$work/sixteen.pdf") bytes"
rm -f "$work/sixteen.pdf" "$work/sixteen.pas"
make_input "$work/fifty.pas" $((50 * 1024 * 1024))
"$zoom" "$work/fifty.pas"
