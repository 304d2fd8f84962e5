#!/usr/bin/env bash
# The viewer started on samples/Sample.pas repeated to 2, 4, 8, 16, 50 and
# 100 MB, under Xvfb: time until the coloured document is painted, the
# longest event-loop stall, CPU time and peak memory of the whole process.
#   bench/view/size_table.sh BUILD_DIR [SIZES_MB...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?build directory}
shift
sizes=("$@")
((${#sizes[@]})) || sizes=(2 4 8 16 50 100)
probe=$(find "$build" -name lumivane_stall_probe -type f -perm -u+x | head -n1)
[[ -n $probe ]] || { echo "size_table: build lumivane_stall_probe first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LUMIVANE_REGISTRY=$work/user.reg

printf 'load before the runs: %s\n\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '| file | lines | first painted | longest stall | CPU (user+sys) | peak memory | resident after |\n'
printf '|---|---|---|---|---|---|---|\n'
for mb in "${sizes[@]}"; do
  file=$work/sample-$mb.pas
  : >"$file"
  # Doubling keeps the build of 100 MB quick.
  cat "$root/samples/Sample.pas" >"$file"
  while (($(stat -c %s "$file") < mb * 1024 * 1024)); do
    cat "$file" "$file" >"$file.tmp" && mv "$file.tmp" "$file"
  done
  truncate -s $((mb * 1024 * 1024)) "$file"
  lines=$(wc -l <"$file")
  out=$(xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/time -v "$probe" "$file" 2>&1)
  painted=$(sed -n 's/.*first painted: \(-\?[0-9]*\) ms.*/\1/p' <<<"$out")
  stall=$(sed -n 's/longest event-loop stall: \([0-9]*\) ms.*/\1/p' <<<"$out")
  user=$(sed -n 's/.*User time (seconds): //p' <<<"$out")
  sys=$(sed -n 's/.*System time (seconds): //p' <<<"$out")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' <<<"$out")
  after=$(sed -n 's/resident after the load: \(-\?[0-9]*\) MB/\1/p' <<<"$out")
  printf '| %s MB | %s k | %s ms | %s ms | %.1f s | %s MB | %s MB |\n' "$mb" $((lines / 1000)) \
    "$painted" "$stall" "$(echo "$user + $sys" | bc)" $((rss / 1024)) "$after"
done
