#!/usr/bin/env bash
# What re-expressing the source's text costs pas2rtf: whole-process time of
# the default (--encoding auto) against --raw (the engine's document as it
# is), on a 16 MB pure-ASCII source and a 16 MB source heavy with UTF-8 text.
#   bench/encoding_cost.sh [BUILD_DIR] [RUNS]
# The ASCII source is the Free Pascal compiler sources concatenated (as for
# compare_converters.sh), their few non-ASCII bytes made '?'; without them, a
# synthetic unit of the same size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-7}
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

# The median of RUNS whole-process times, in milliseconds.
median_ms() {
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s%N)
    "$pas2rtf" --force "$@" -o "$work/out.rtf"
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

printf '%-12s %10s %10s %8s\n' source "raw ms" "auto ms" added
for name in ascii utf8; do
  raw=$(median_ms --raw "$work/$name.pas")
  auto=$(median_ms "$work/$name.pas")
  printf '%-12s %10d %10d %7s%%\n' "$name" "$raw" "$auto" \
    "$(awk -v a="$auto" -v r="$raw" 'BEGIN { printf "%+.1f", (a - r) * 100 / r }')"
done
