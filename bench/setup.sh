#!/usr/bin/env bash
# Installs what the engine's benchmarks need besides the build: the Free Pascal
# sources to convert and the converters to compare with.
set -euo pipefail
exec "$(cd "$(dirname "$0")/.." && pwd)/scripts/setup.sh" --bench
