#!/usr/bin/env bash
# Renders the window icon's PNG sizes from its SVG
# (data/icons/hicolor/scalable/apps/lumivane.svg) into the
# icon theme layout that the install step copies. The PNGs are committed, so
# building never needs this; run it after changing the SVG (needs
# rsvg-convert).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons=$root/data/icons
for size in 16 32 48 256; do
  dir=$icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert -w "$size" -h "$size" "$icons/hicolor/scalable/apps/lumivane.svg" -o "$dir/lumivane.png"
done
echo "icons: rendered 16, 32, 48 and 256 pixels"
