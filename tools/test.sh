#!/usr/bin/env bash
# Builds and runs every test: once in a normal build (with the browser test),
# once under AddressSanitizer and UndefinedBehaviorSanitizer, and every fuzz
# target for 20 seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
HALVANE_WANT_BROWSER=1 bash "$root/tools/install-deps.sh"
jobs=$(nproc)

echo "== build and test"
cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/test" -j"$jobs"
ctest --test-dir "$root/build/test" -j"$jobs" --output-on-failure

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DHALVANE_SANITIZE=ON >/dev/null
cmake --build "$root/build/sanitize" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build/sanitize" -j"$jobs" --output-on-failure -LE browser

echo "== fuzz targets, briefly (tools/fuzz.sh runs them longer)"
bash "$root/tools/fuzz.sh" 20
