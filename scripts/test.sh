#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   1. the full build (viewer included; GUI tests run offscreen or under their own Xvfb),
#   2. the non-GUI code again with address and undefined-behaviour sanitizers,
#   3. the RTF reader's fuzzer for a bounded time, when clang can build it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

echo "== build and test: $root/build"
"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"

echo "== sanitizer build and test: $root/build-asan"
"$root/scripts/build.sh" "$root/build-asan" -DLUMIVANE_GUI=OFF -DLUMIVANE_SANITIZE=ON -DLUMIVANE_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"

if [[ -x "$root/scripts/fuzz.sh" ]]; then
  echo "== fuzzing"
  "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-60}"
fi
