#!/usr/bin/env bash
# Builds one libFuzzer target with clang and runs it from its seeds for
# SECONDS (default 60). A crash, a leak, a slow input or a failed check fails.
#   scripts/fuzz.sh [TARGET] [SECONDS] [LIBFUZZER-OPTION...]
# TARGET: rtf_reader (the default; the view's document reader), engine (the
# highlighting engine against the tests' reference converter), store (the
# settings store's text, and import). A bare number as the first argument is
# the reader's SECONDS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=rtf_reader
if [[ $# -gt 0 && ! $1 =~ ^[0-9]+$ ]]; then
  target=$1
  shift
fi
seconds=${1:-60}
shift || true
base=${FUZZ_BUILD_DIR:-$root/build-fuzz}
cxx=$(command -v clang++ || command -v clang++-14)

# Only Qt-free code goes into a fuzzer, with the platform pieces it calls.
platform=("$root/platform/AtomicFile.cpp" "$root/platform/Color.cpp"
  "$root/platform/MemoryPages.cpp" "$root/platform/NameQuoting.cpp"
  "$root/platform/Registry.cpp" "$root/platform/RegistryFile.cpp"
  "$root/platform/RegistryText.cpp" "$root/platform/RegistryTree.cpp"
  "$root/platform/SysColors.cpp")
case $target in
  rtf_reader)
    sources=("$root"/viewer/text/*.cpp "$root/platform/MemoryPages.cpp"
      "$root/fuzz/RtfReaderFuzz.cpp")
    seeds=$root/fuzz/corpus
    dir=$base ;;
  engine)
    sources=("$root"/engine/*.cpp "${platform[@]}" "$root/tests/engine/ReferenceConverter.cpp"
      "$root/fuzz/EngineFuzz.cpp")
    seeds=$root/fuzz/engine-corpus
    dir=$base/engine ;;
  store)
    sources=("${platform[@]}" "$root/tools/lumivane-reg/RegTool.cpp"
      "$root/tools/lumivane-reg/RegToolArgs.cpp" "$root/fuzz/StoreFuzz.cpp")
    seeds=$root/fuzz/store-corpus
    dir=$base/store ;;
  *)
    echo "fuzz: unknown target $target (rtf_reader, engine or store)" >&2
    exit 2 ;;
esac
mkdir -p "$dir/corpus"

echo "fuzz: building $dir/${target}_fuzz"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -fno-omit-frame-pointer -Wall -Wextra -Werror -DLUMIVANE_VERSION='"fuzz"' -I"$root" \
  "${sources[@]}" -o "$dir/${target}_fuzz"

echo "fuzz: running $target for $seconds s"
# New inputs go to the build directory's corpus; the seeds in the tree stay as they are.
"$dir/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$dir/" "$@" \
  "$dir/corpus" "$seeds"
