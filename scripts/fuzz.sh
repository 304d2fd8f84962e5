#!/usr/bin/env bash
# Builds the RTF reader's libFuzzer target with clang and runs it from the seed
# corpus for SECONDS (default 60). A crash, a leak or a slow input fails.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=${FUZZ_BUILD_DIR:-$root/build-fuzz}
cxx=$(command -v clang++ || command -v clang++-14)
mkdir -p "$dir/corpus"

# Only the Qt-free document code (viewer/text/) goes into the fuzzer, with the
# platform pieces it calls.
sources=("$root"/viewer/text/*.cpp "$root/platform/MemoryPages.cpp" "$root/fuzz/RtfReaderFuzz.cpp")
echo "fuzz: building $dir/rtf_reader_fuzz"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -fno-omit-frame-pointer -Wall -Wextra -Werror -I"$root" "${sources[@]}" \
  -o "$dir/rtf_reader_fuzz"

echo "fuzz: running for $seconds s"
# New inputs go to the build directory's corpus; the seeds in the tree stay as they are.
"$dir/rtf_reader_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$dir/" \
  "$dir/corpus" "$root/fuzz/corpus"
