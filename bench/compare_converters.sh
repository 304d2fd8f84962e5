#!/usr/bin/env bash
# Times pas2rtf against highlight and pygmentize on the same Pascal file and
# prints each time, the ratios, and pas2rtf's peak memory against the input.
#   bench/compare_converters.sh [BUILD_DIR] [FILE]
# FILE defaults to every .pas file below the Free Pascal compiler sources,
# concatenated (about 16 MB). bench/setup.sh installs the sources and the
# other converters.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
pas2rtf=$build/bin/pas2rtf
compiler=/usr/share/fpcsrc/3.2.2/compiler

if [[ ! -x $pas2rtf ]]; then
  echo "no $pas2rtf: build first (scripts/build.sh $build)" >&2
  exit 1
fi
for tool in highlight /usr/bin/time; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: run bench/setup.sh" >&2
    exit 1
  fi
done
# Debian's own pygmentize, not one that a Python environment may put first.
pygmentize=/usr/bin/pygmentize
[[ -x $pygmentize ]] || pygmentize=$(command -v pygmentize || true)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The default colours, and the user's own settings left alone.
export LUMIVANE_REGISTRY=$work/user.reg

if [[ -n ${2:-} ]]; then
  input=$2
else
  if [[ ! -d $compiler ]]; then
    echo "no $compiler: run bench/setup.sh" >&2
    exit 1
  fi
  input=$work/compiler.pas
  find "$compiler" -name '*.pas' -print0 | sort -z | xargs -0 cat > "$input"
fi
size=$(stat -c %s "$input")

# run NAME COMMAND...: wall and processor (user + system) seconds, and peak
# resident memory in KiB. Every converter writes a new file.
run() {
  local name=$1 start end
  shift
  rm -f "$work/$name.rtf"
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S %M' -o "$work/$name.time" "$@" > /dev/null 2> "$work/$name.err" || {
    echo "$name failed:" >&2
    cat "$work/$name.err" >&2
    exit 1
  }
  end=$(date +%s%N)
  wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')
  read -r user sys peak < <(tail -n 1 "$work/$name.time")
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
}

# pas2rtf is quick enough to be timed at its best of five.
best_wall=
for _ in 1 2 3 4 5; do
  run pas2rtf "$pas2rtf" -o "$work/pas2rtf.rtf" "$input"
  if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
    best_wall=$wall
    best_cpu=$cpu
    pas2rtf_peak=$peak
  fi
done
results="pas2rtf $best_wall $best_cpu"

run highlight highlight -O rtf -S pas -i "$input" -o "$work/highlight.rtf"
results+=" highlight $wall $cpu"

if [[ -n $pygmentize ]]; then
  run pygmentize "$pygmentize" -l delphi -f rtf -o "$work/pygmentize.rtf" "$input"
  results+=" pygmentize $wall $cpu"
fi

echo "$results" | awk -v size="$size" -v peak="$pas2rtf_peak" \
    -v out="$(stat -c %s "$work/pas2rtf.rtf")" '{
  mb = size / 1e6
  printf "input: %.1f MB of Pascal (%d bytes)\n\n", mb, size
  printf "%-11s %9s %8s %12s %10s\n", "converter", "wall s", "MB/s", "wall ratio", "cpu s"
  for (i = 1; i <= NF; i += 3) {
    printf "%-11s %9.3f %8.1f %11.0fx %10.2f\n", $i, $(i + 1), mb / $(i + 1), $(i + 1) / $2, $(i + 2)
  }
  printf "\n(ratio = converter wall time / pas2rtf wall time, pas2rtf best of five;\n"
  printf " cpu s = user + system seconds at 10 ms resolution)\n"
  printf "pas2rtf output: %.1f MB; peak memory: %.1f MB = %.2f x the input\n",
         out / 1e6, peak * 1024 / 1e6, peak * 1024 / size
}'
