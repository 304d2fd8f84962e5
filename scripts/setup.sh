#!/usr/bin/env bash
# Installs every Debian package Lumivane 98 needs to build, test and run.
# Idempotent: only missing packages are installed. This is the one place
# where packages are named.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
  # formatting (InsertBraces needs 15 or later)
  clang-format-15
  # libraries
  qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
  # a real RTF reader for the round-trip test (ctest -L libreoffice)
  libreoffice-writer-nogui
  # fonts the documents name ("Courier New" -> Liberation Mono)
  fonts-liberation
  # headless display for the GUI tests and screenshots
  xvfb xauth xdotool x11-utils imagemagick qt6-qpa-plugins
  # validators of the menu entry, file types and AppStream data
  desktop-file-utils appstream shared-mime-info
  # a real window manager for the frame, move, size and activation tests
  openbox
  # the accessibility bus and a screen reader's view of it, the clipboard read back
  at-spi2-core python3-pyatspi dbus-x11 dbus-daemon xclip
  # outside readers of what pas2rtf and the viewer write: web pages, PDF and
  # terminal output
  chromium tidy poppler-utils tmux python3
)

# Only for building and checking the .deb (scripts/setup.sh --package).
if [[ ${1:-} == --package ]]; then
  packages+=(dpkg-dev file desktop-file-utils)
fi

# Only for the benchmarks (scripts/setup.sh --bench): real Pascal to convert and
# the converters we compare against.
if [[ ${1:-} == --bench ]]; then
  packages+=(fpc-source-3.2.2 highlight python3-pygments time)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
