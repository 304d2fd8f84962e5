#!/usr/bin/env bash
# pas2rtf's terminal output in a real terminal: tmux shows the source's text
# line for line, with the scheme's colours, bold and italics; stripped of its
# escapes the output is the source.
#   ansi_in_tmux.sh PAS2RTF SOURCE WORKDIR
# Exits 77 (skipped) when tmux is not installed.
set -euo pipefail
pas2rtf=$1 source=$2 work=$3
if ! command -v tmux >/dev/null; then
  echo "SKIPPED: tmux is not installed (scripts/setup.sh installs it)"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
export LUMIVANE_REGISTRY=$work/no-store.reg
"$pas2rtf" --format=ansi "$source" -o "$work/source.ans"
"$pas2rtf" --format=ansi --line-numbers "$source" -o "$work/numbered.ans"

# Stripped of its escapes, the output is the source (LF line ends).
sed 's/\x1b\[[0-9;]*m//g' "$work/source.ans" >"$work/stripped.txt"
tr -d '\r' <"$source" >"$work/source.txt"
if ! cmp -s "$work/stripped.txt" "$work/source.txt"; then
  echo "FAIL: the output without its escapes is not the source"
  diff "$work/source.txt" "$work/stripped.txt" | head -20
  exit 1
fi

lines=$(wc -l <"$work/source.txt")
socket="pas2rtf-test-$$"
cleanup() { tmux -L "$socket" kill-server 2>/dev/null || true; }
trap cleanup EXIT
# A pane tall and wide enough for the whole source; the shell's own output
# stays out of it.
tmux -L "$socket" -f /dev/null new-session -d -x 200 -y $((lines + 5)) \
  "cat '$work/source.ans'; touch '$work/shown'; sleep 60"
for _ in $(seq 100); do
  [[ -e $work/shown ]] && break
  sleep 0.1
done
sleep 0.3
tmux -L "$socket" capture-pane -p -t 0 | head -n "$lines" >"$work/screen.txt"
tmux -L "$socket" capture-pane -p -e -t 0 >"$work/screen.ans"
# tmux shows tabs as blanks and drops blanks at line ends.
expand "$work/source.txt" | sed 's/ *$//' >"$work/expected.txt"
sed 's/ *$//' "$work/screen.txt" >"$work/shown.txt"
if ! cmp -s "$work/expected.txt" "$work/shown.txt"; then
  echo "FAIL: tmux does not show the source"
  diff "$work/expected.txt" "$work/shown.txt" | head -20
  exit 1
fi
# The colours as tmux holds them: navy comments, red strings, fuchsia
# numbers, green assembler, bold keywords, italic comments.
for escape in '38;2;0;0;128' '38;2;255;0;0' '38;2;255;0;255' '38;2;0;128;0' '\[1m' '\[3m'; do
  if ! grep -q "$escape" "$work/screen.ans"; then
    echo "FAIL: tmux shows nothing with the escape $escape"
    exit 1
  fi
done

# Numbered: each line starts with its number, aligned, before the code.
tmux -L "$socket" kill-server
rm -f "$work/shown"
tmux -L "$socket" -f /dev/null new-session -d -x 200 -y $((lines + 5)) \
  "cat '$work/numbered.ans'; touch '$work/shown'; sleep 60"
for _ in $(seq 100); do
  [[ -e $work/shown ]] && break
  sleep 0.1
done
sleep 0.3
tmux -L "$socket" capture-pane -p -t 0 | head -n "$lines" | sed 's/ *$//' >"$work/numbered.txt"
width=${#lines}
awk -v w="$width" '{ printf "%*d  %s\n", w, NR, $0 }' "$work/source.txt" | expand |
  sed 's/ *$//' >"$work/numbered-expected.txt"
if ! cmp -s "$work/numbered-expected.txt" "$work/numbered.txt"; then
  echo "FAIL: tmux does not show the numbered source"
  diff "$work/numbered-expected.txt" "$work/numbered.txt" | head -20
  exit 1
fi
echo "OK: tmux shows the source, numbered and in the scheme's colours"
