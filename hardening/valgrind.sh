#!/usr/bin/env bash
# Runs the whole test suite under valgrind's memcheck, following every
# program the tests start (the parsers and shells they call are left out),
# and prints one summary.  Needs a build without sanitizers:
#
#   bash hardening/valgrind.sh [build folder] [count of hostile list files, default 24]
#
# Without a build folder it builds one in build/valgrind (Debug).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
HALVANE_WANT_VALGRIND=1 bash "$root/tools/install-deps.sh" || exit 1
if (($# == 0)); then
  cmake -S "$root" -B "$root/build/valgrind" -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
  cmake --build "$root/build/valgrind" -j"$(nproc)" >/dev/null || exit 1
fi
build=$(cd "${1:-$root/build/valgrind}" && pwd)
count=${2:-24}
logs=$build/valgrind
rm -rf "$logs" && mkdir -p "$logs/bin"
# A test runs programs as an unprivileged user: they log here too.  (A
# forked child does not log before its exec, or its log file, created as
# root, could not be opened again after it has dropped root.)
chmod 1777 "$logs"
command -v valgrind >/dev/null || { echo "valgrind is missing (apt-get install valgrind)" >&2; exit 1; }

memcheck=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect
  --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --trace-children=yes --child-silent-after-fork=yes --vgdb=no
  "--trace-children-skip=*/xmllint,*/node,*/nodejs,/bin/sh,/usr/bin/sh,/bin/bash,/usr/bin/bash,*python*,*chromium*,*iconv"
  --log-file="$logs/%p.log")

failed=0
for test in "$build"/tests/*; do
  [[ -x $test ]] || continue
  name=$(basename "$test")
  [[ $name == ksx_dump ]] && continue
  echo "== $name"
  if ! (cd "$build" && "${memcheck[@]}" "$test" --gtest_brief=1 >"$logs/$name.out" 2>&1); then
    echo "   FAILED (see $logs/$name.out)"
    failed=1
  fi
done
if [[ -x $build/tests/ksx_dump ]]; then
  echo "== ksx_dump"
  "${memcheck[@]}" "$build/tests/ksx_dump" >/dev/null 2>"$logs/ksx_dump.out" || { echo "   FAILED"; failed=1; }
fi

# The programs on generated hostile list files, each run under memcheck.
for program in vistacraft portalcraft netloom markwell globewell; do
  printf '#!/bin/sh\nexec %s %q "$@"\n' "$(printf '%q ' "${memcheck[@]}")" "$build/bin/$program" >"$logs/bin/$program"
  chmod +x "$logs/bin/$program"
done
echo "== hostile_lists ($count list files per format)"
python3 "$root/hardening/hostile_lists.py" --bin "$logs/bin" --count "$count" >"$logs/hostile_lists.out" 2>&1 ||
  { echo "   FAILED (see $logs/hostile_lists.out)"; failed=1; }

processes=$(ls "$logs"/*.log | wc -l)
dirty=$(grep -L "ERROR SUMMARY: 0 errors" "$logs"/*.log | wc -l)
leaks=$(grep -l "definitely lost: [1-9]\|indirectly lost: [1-9]" "$logs"/*.log | wc -l)
echo "memcheck: $processes processes, $dirty with errors, $leaks with leaks"
grep -h "ERROR SUMMARY" "$logs"/*.log | sort | uniq -c
if ((dirty > 0 || leaks > 0)); then
  grep -L "ERROR SUMMARY: 0 errors" "$logs"/*.log | head -5
  failed=1
fi
exit $failed
