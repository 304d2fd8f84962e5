#!/usr/bin/env bash
# Builds the programs as a packager would (Release, no tests, no benchmarks,
# warnings as errors so CI sees what a newer compiler would) and makes the .deb.
#   scripts/package.sh [--install-test]
# --install-test installs the package with apt on this machine, checks what it
# put in place and that removing it leaves nothing behind. It changes the
# system, so only CI and a throw-away machine should run it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build-release
"$root/scripts/setup.sh" --package

cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
  -DLUMIVANE_BENCH=OFF -DLUMIVANE_WERROR=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/lumivane_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends

[[ ${1:-} == --install-test ]] || exit 0

fail() { echo "package test: $*"; exit 1; }
before=$(mktemp)
after=$(mktemp)
trap 'rm -f "$before" "$after"' EXIT
snapshot() { find /usr/share/applications /usr/share/mime/packages /usr/share/icons/hicolor \
  /usr/share/metainfo /usr/share/man/man1 /usr/share/doc /usr/bin -xdev 2>/dev/null | sort; }

apt-get remove -y -qq lumivane >/dev/null 2>&1 || true
snapshot >"$before"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

for f in /usr/bin/lumivane /usr/bin/pas2rtf /usr/bin/lumivane-reg \
  /usr/share/applications/lumivane.desktop /usr/share/mime/packages/lumivane-mime.xml \
  /usr/share/metainfo/org.lumivane.lumivane.metainfo.xml /usr/share/doc/lumivane/LICENSE \
  /usr/share/man/man1/lumivane.1.gz /usr/share/man/man1/pas2rtf.1.gz \
  /usr/share/man/man1/lumivane-reg.1.gz /usr/share/icons/hicolor/scalable/apps/lumivane.svg; do
  [[ -e $f ]] || fail "$f not installed"
done
grep -qx 'Icon=lumivane' /usr/share/applications/lumivane.desktop || fail "menu entry has no icon of ours"
# The package system's triggers register the file types with the menu entry.
grep -q '^text/x-pascal=.*lumivane.desktop' /usr/share/applications/mimeinfo.cache ||
  fail "\"Open with\" does not offer the program for Pascal files"
# Each extension, through the system's MIME database, to a type the entry opens.
types=$(sed -n 's/^MimeType=//p' /usr/share/applications/lumivane.desktop)
for ext in pas '~pa' dpr '~dp' int inc; do
  type=$(awk -F: -v glob="*.$ext" '$3 == glob { print $2; exit }' /usr/share/mime/globs2)
  [[ -n $type && ";$types" == *";$type;"* ]] || fail "*.$ext ($type) is not offered to the program"
done
zcat /usr/share/man/man1/pas2rtf.1.gz | grep -q 'convert Pascal source' || fail "pas2rtf man page"
lumivane --version | grep -q 'Lumivane 98' || fail "lumivane --version"
echo 'program p; begin end.' | pas2rtf - | grep -q '^{\\rtf1' || fail "pas2rtf from standard input"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lumivane >/dev/null
snapshot >"$after"
left=$(comm -13 "$before" "$after")
[[ -z $left ]] || fail "left behind after removal: $left"
echo "package test: installed, checked and removed cleanly"
