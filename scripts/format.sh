#!/usr/bin/env bash
# Formats the C++ sources with the repository's .clang-format.
#   format.sh          formats every tracked source in place
#   format.sh --check  changes nothing; lists the files that would change and
#                      exits non-zero when there are any (CI runs this)
# InsertBraces needs clang-format 15 or later; an older one would pass
# unbraced code, so only clang-format-15 is accepted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

formatter=${CLANG_FORMAT:-clang-format-15}
if ! command -v "$formatter" >/dev/null; then
  echo "format: $formatter not found (scripts/setup.sh installs it)" >&2
  exit 2
fi

mode=fix
case ${1:-} in
  --check) mode=check ;;
  "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

# .clang-format stays readable by clang-format 14 (editors, other tools), which
# refuses InsertBraces; the brace rule is added here, on the command line.
style="{$(grep -v '^[[:space:]]*\(#\|$\)' .clang-format | paste -sd, -), InsertBraces: true}"

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if ((${#files[@]} == 0)); then
  exit 0
fi

if [[ $mode == fix ]]; then
  "$formatter" --style="$style" -i -- "${files[@]}"
  exit 0
fi

unformatted=()
for f in "${files[@]}"; do
  if ! "$formatter" --style="$style" --dry-run --Werror -- "$f" >/dev/null 2>&1; then
    unformatted+=("$f")
  fi
done
if ((${#unformatted[@]} > 0)); then
  echo "format: these files differ from .clang-format (run scripts/format.sh):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
