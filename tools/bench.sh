#!/usr/bin/env bash
# Builds and runs the conversion benchmark: the library's two conversions
# against glibc iconv on the same generated Korean text.
# Usage: tools/bench.sh [megabytes]   (default 64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DHALVANE_TESTS=OFF -DHALVANE_BENCH=ON >/dev/null
cmake --build "$root/build/bench" --target convert_bench -j"$(nproc)" >/dev/null
"$root/build/bench/bench/convert_bench" "${1:-64}"
