#!/usr/bin/env bash
# The desktop data we install passes the validators a distribution runs:
# the menu entry, the AppStream metadata, the MIME package and the man pages.
#   validate_data.sh SOURCE_DIR
set -euo pipefail
data=$1/data
failed=0
check() { # NAME COMMAND...: runs COMMAND, fails on a non-zero status or any output line
  local name=$1; shift
  if ! command -v "$1" >/dev/null; then
    echo "validate: $1 not installed, $name skipped"
    return
  fi
  local out
  if ! out=$("$@" 2>&1) || [[ -n $out && $name == desktop ]]; then
    echo "validate: $name failed:"; echo "$out"; failed=1
  else
    echo "validate: $name ok"
  fi
}
check desktop desktop-file-validate "$data/lumivane.desktop"
check appstream appstreamcli validate --no-net --pedantic "$data/org.lumivane.lumivane.metainfo.xml"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/mime/packages"
cp "$data/lumivane-mime.xml" "$scratch/mime/packages/"
check mime update-mime-database "$scratch/mime"
for page in "$data"/man/*.1; do
  check "man page $(basename "$page")" sh -c "LC_ALL=C.UTF-8 MANROFFSEQ='' man --warnings -l '$page' 2>&1 >/dev/null | (! grep .)"
done
exit $failed
