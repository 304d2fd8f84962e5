#!/usr/bin/env bash
# Installs what is missing, checks formatting, builds, and runs every test:
#   1. the full build (viewer included; GUI tests run offscreen or under their own Xvfb),
#   2. the non-GUI code again with address and undefined-behaviour sanitizers,
#   3. the fuzzers for a bounded time: the RTF reader for FUZZ_SECONDS (default 60;
#      0 skips the fuzzers), the engine and the settings store for half as long each.
# Ends with one summary line over both test runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

# A formatting slip is reported at once but does not hide the test results.
echo "== formatting"
formatted=yes
"$root/scripts/format.sh" --check || formatted=no

log=$(mktemp)
trap 'rm -f "$log"' EXIT

run_ctest() {
  ctest --test-dir "$1" --output-on-failure -j"$(nproc)" 2>&1 | tee -a "$log"
  return "${PIPESTATUS[0]}"
}

echo "== build and test: $root/build"
"$root/scripts/build.sh" "$root/build"
run_ctest "$root/build"

echo "== sanitizer build and test: $root/build-asan"
"$root/scripts/build.sh" "$root/build-asan" -DLUMIVANE_GUI=OFF -DLUMIVANE_SANITIZE=ON -DLUMIVANE_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest "$root/build-asan"

# A packager's build (Release, without GoogleTest or benchmarks) must keep
# building, and its .deb must install and remove cleanly. Installing changes
# the system, so only CI asks for that (LUMIVANE_PACKAGE_TEST=1).
echo "== packager build and .deb"
if [[ ${LUMIVANE_PACKAGE_TEST:-0} == 1 ]]; then
  "$root/scripts/package.sh" --install-test
else
  "$root/scripts/package.sh"
fi

fuzz_seconds=${FUZZ_SECONDS:-60}
if [[ -x "$root/scripts/fuzz.sh" && $fuzz_seconds != 0 ]]; then
  echo "== fuzzing the RTF reader for $fuzz_seconds s"
  "$root/scripts/fuzz.sh" rtf_reader "$fuzz_seconds"
  for target in engine store; do
    echo "== fuzzing the $target for $(( (fuzz_seconds + 1) / 2 )) s"
    "$root/scripts/fuzz.sh" "$target" $(( (fuzz_seconds + 1) / 2 ))
  done
fi

# ctest prints "N% tests passed, F tests failed out of T" once per run.
read -r passed failed < <(awk '/tests passed, .* tests failed out of/ {
    t += $NF; f += $4 } END { print t - f, f }' "$log")
echo
echo "all: $passed passed, $failed failed"
if [[ $formatted == no ]]; then
  echo "formatting: some files differ from .clang-format (see above)"
  exit 1
fi
