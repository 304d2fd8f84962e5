#!/usr/bin/env bash
# What pas2rtf's other formats and batch runs cost:
#   1. whole-process time of --format=html and --format=ansi against the RTF
#      conversion on 16 MB of Pascal (the Free Pascal compiler sources
#      concatenated, as for compare_converters.sh), each writing an output
#      file that a run before it wrote; then pygmentize -f html and
#      highlight -O html on the same file;
#   2. -r over every Pascal file of the Free Pascal sources with -j1 and -j2,
#      and highlight -d converting the same files.
#   bench/output_formats.sh [BUILD_DIR] [RUNS]
# The machine's load is printed before and after: times taken on a busy
# machine are not the program's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-11}
pas2rtf=$build/bin/pas2rtf
sources=/usr/share/fpcsrc/3.2.2
size=$((16 << 20))

if [[ ! -x $pas2rtf ]]; then
  echo "no $pas2rtf: build first (scripts/build.sh $build)" >&2
  exit 1
fi
if [[ ! -d $sources/compiler ]]; then
  echo "no $sources: run scripts/setup.sh --bench" >&2
  exit 1
fi
pygmentize=/usr/bin/pygmentize
[[ -x $pygmentize ]] || pygmentize=$(command -v pygmentize || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LUMIVANE_REGISTRY=$work/user.reg

find "$sources/compiler" -name '*.pas' -type f | LC_ALL=C sort | xargs cat |
  LC_ALL=C tr '\200-\377' '?' | head -c "$size" >"$work/big.pas"

# Whole-process wall time of a command in milliseconds.
wall_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== 16 MB, median of $runs runs (ms), formats in turns"
declare -A times
for format in rtf html ansi; do
  "$pas2rtf" --format=$format "$work/big.pas" -o "$work/out.$format"
done
for ((i = 0; i < runs; i++)); do
  for format in rtf html ansi; do
    times[$format]+="$(wall_ms "$pas2rtf" --format=$format "$work/big.pas" -o "$work/out.$format") "
  done
done
# shellcheck disable=SC2086
rtf=$(median ${times[rtf]})
# shellcheck disable=SC2086
html=$(median ${times[html]})
# shellcheck disable=SC2086
ansi=$(median ${times[ansi]})
printf '%-28s %8s ms\n' "rtf" "$rtf"
printf '%-28s %8s ms  %s x rtf (target: within 3)\n' "html" "$html" "$(ratio "$html" "$rtf")"
printf '%-28s %8s ms  %s x rtf (target: within 2)\n' "ansi" "$ansi" "$(ratio "$ansi" "$rtf")"
if [[ -n $pygmentize ]]; then
  pyg=$(wall_ms "$pygmentize" -l pascal -f html -O full -o "$work/pyg.html" "$work/big.pas")
  printf '%-28s %8s ms  html %s x faster (target: 20)\n' "pygmentize -f html" "$pyg" \
    "$(ratio "$pyg" "$html")"
fi
if command -v highlight >/dev/null; then
  hl=$(wall_ms highlight -S pas -O html -i "$work/big.pas" -o "$work/hl.html")
  printf '%-28s %8s ms  html %s x faster (target: 20)\n' "highlight -O html" "$hl" \
    "$(ratio "$hl" "$html")"
fi

echo "== every Pascal file of $sources, -r -d (ms)"
list=$work/files.txt
find "$sources" -type f \( -iname '*.pas' -o -iname '*.pp' -o -iname '*.inc' -o -iname '*.dpr' \
  -o -iname '*.lpr' -o -iname '*.p' -o -iname '*.int' \) >"$list"
echo "files: $(wc -l <"$list")"
tree() {
  rm -rf "$work/tree"
  mkdir "$work/tree"
  wall_ms "$pas2rtf" -r --force "$1" -d "$work/tree" "$sources"
}
j1=() j2=()
for ((i = 0; i < 3; i++)); do
  j1+=("$(tree -j1)")
  j2+=("$(tree -j2)")
done
one=$(median "${j1[@]}")
two=$(median "${j2[@]}")
printf '%-28s %8s ms\n' "pas2rtf -r -j1" "$one"
printf '%-28s %8s ms  %s x faster than -j1 (target: 1.6)\n' "pas2rtf -r -j2" "$two" \
  "$(ratio "$one" "$two")"
if command -v highlight >/dev/null; then
  mkdir -p "$work/hl"
  start=$(date +%s%N)
  # highlight names no Pascal syntax for .inc and .pp files by itself.
  xargs -a "$list" -d '\n' highlight -S pas -O rtf -d "$work/hl" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  hl=$(((end - start) / 1000000))
  printf '%-28s %8s ms  -j2 %s x faster (target: 30)\n' "highlight -d (rtf)" "$hl" \
    "$(ratio "$hl" "$two")"
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
