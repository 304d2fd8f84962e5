#!/usr/bin/env bash
# What re-expressing the source's text costs pas2rtf: whole-process time of
# the default (--encoding auto) against --raw (the engine's document as it
# is), on a 16 MB pure-ASCII source and a 16 MB source heavy with UTF-8 text.
#   bench/encoding_cost.sh [BUILD_DIR] [RUNS]
# Run it on an idle machine: it prints the load average before and after.
# The ASCII source is the Free Pascal compiler sources concatenated (as for
# compare_converters.sh), their few non-ASCII bytes made '?'; without them, a
# synthetic unit of the same size.
# Each is timed writing to three places, since the UTF-8 escapes double the
# output and what more output costs depends on where it goes:
#   replace  an output file that a run of the same mode wrote before, as a
#            repeated conversion does (the headline figure);
#   new      an output file that does not exist yet;
#   stdout   standard output to /dev/null: the conversion and its escaping
#            alone, nothing written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-21}
pas2rtf=$build/bin/pas2rtf
compiler=/usr/share/fpcsrc/3.2.2/compiler
size=$((16 << 20))

if [[ ! -x $pas2rtf ]]; then
  echo "no $pas2rtf: build first (scripts/build.sh $build)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LUMIVANE_REGISTRY=$work/user.reg

if [[ -d $compiler ]]; then
  find "$compiler" -name '*.pas' -type f | LC_ALL=C sort | xargs cat |
    LC_ALL=C tr '\200-\377' '?' | head -c "$size" >"$work/ascii.pas"
else
  python3 - "$work/ascii.pas" "$size" <<'PY'
import sys
unit = "procedure P(a: Integer); { comment } begin s := 'text'; x := a + 42; end;\n"
open(sys.argv[1], "w").write((unit * (int(sys.argv[2]) // len(unit) + 1))[: int(sys.argv[2])])
PY
fi
# Comments and strings in Greek, CJK, accented Latin and emoji, code in ASCII.
python3 - "$work/utf8.pas" "$size" <<'PY'
import sys
lines = [
    "{ Καλημέρα κόσμε — ελληνικά σχόλια με τόνους }\n",
    "  s := '你好，世界。这是一个中文字符串';\n",
    "  t := 'café crème brûlée à la carte 😀🚀';  // naïve façade\n",
    "  x := x + 1;\n",
]
unit = "".join(lines)
data = (unit * (int(sys.argv[2]) // len(unit.encode()) + 1)).encode()[: int(sys.argv[2])]
data = data.decode("utf-8", "ignore").encode()  # whole characters only
open(sys.argv[1], "wb").write(data)
PY

# Whole-process time of one run in tenths of a millisecond.
run_time() {
  local mode=$1 source=$2 destination=$3 start end
  local args=(--force)
  [[ $mode == raw ]] && args+=(--raw)
  local output=$work/out-$mode.rtf
  if [[ $destination == new ]]; then
    output=$work/new-$mode.rtf
    rm -f "$output"
    sync -f "$work"
  fi
  start=$(date +%s%N)
  if [[ $destination == stdout ]]; then
    "$pas2rtf" "${args[@]}" "$source" >/dev/null
  else
    "$pas2rtf" "${args[@]}" "$source" -o "$output"
  fi
  end=$(date +%s%N)
  echo $(((end - start) / 100000))
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t / 10 }'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
# Times are medians; "added" is the median of what each auto run added to
# the raw run just before it.
printf '%-8s %-9s %8s %8s %8s\n' source output "raw ms" "auto ms" added
for name in ascii utf8; do
  for destination in replace new stdout; do
    # Raw and auto in turns, and what auto adds taken pair by pair: a
    # virtual machine's speed can drift over minutes, and a pair runs at one.
    raws=() autos=() added=()
    for ((i = 0; i < runs; i++)); do
      raw=$(run_time raw "$work/$name.pas" "$destination")
      auto=$(run_time auto "$work/$name.pas" "$destination")
      raws+=("$raw") autos+=("$auto")
      added+=("$(awk -v a="$auto" -v r="$raw" 'BEGIN { printf "%.2f", (a - r) * 100 / r }')")
    done
    printf '%-8s %-9s %8s %8s %7s%%\n' "$name" "$destination" "$(ms "$(median "${raws[@]}")")" \
      "$(ms "$(median "${autos[@]}")")" "$(median "${added[@]}" | awk '{ printf "%+.1f", $1 }')"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
