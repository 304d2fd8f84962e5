#!/usr/bin/env bash
# The install step puts the viewer, its menu entry and its file types in place:
# installs the build into a scratch prefix, builds the MIME database there and
# checks that every source extension maps to a type the menu entry opens.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" --component viewer >/dev/null
fail() { echo "install: $*"; exit 1; }

[[ -x $prefix/bin/lumivane ]] || fail "bin/lumivane missing"
desktop=$prefix/share/applications/lumivane.desktop
[[ -f $desktop ]] || fail "desktop entry missing"
grep -qx 'Name=Lumivane 98' "$desktop" || fail "desktop entry: name"
grep -qx 'Exec=lumivane %f' "$desktop" || fail "desktop entry: command"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry: type"
grep -qx 'Icon=lumivane' "$desktop" || fail "desktop entry: icon"
for size in 16x16 32x32 48x48 256x256; do
  [[ -s $prefix/share/icons/hicolor/$size/apps/lumivane.png ]] || fail "icon $size missing"
done
[[ -s $prefix/share/icons/hicolor/scalable/apps/lumivane.svg ]] || fail "scalable icon missing"
types=$(sed -n 's/^MimeType=//p' "$desktop")

mime=$prefix/share/mime
[[ -f $mime/packages/lumivane-mime.xml ]] || fail "MIME package missing"
update-mime-database "$mime" >/dev/null 2>&1 || fail "the MIME package does not build"

# Each extension, through the database just built, to a type of the entry.
for ext in pas '~pa' dpr '~dp' int inc; do
  type=$(awk -F: -v glob="*.$ext" '$3 == glob { print $2; exit }' "$mime/globs2")
  [[ -n $type ]] || fail "no type for *.$ext"
  [[ ";$types" == *";$type;"* ]] || fail "*.$ext is $type, which the entry does not open"
done
[[ ";$types" == *";application/rtf;"* ]] || fail "RTF files are not offered"
echo "install: program, desktop entry, icons and six source types in place"
