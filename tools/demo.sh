#!/usr/bin/env bash
# Builds the converters and runs each of them on the example exhibition in
# examples/.  The examples are copied to build/demo/ first, so the outputs
# land there and examples/ stays as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DHALVANE_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" >/dev/null
bin=$root/build/bin
demo=$root/build/demo
rm -rf "$demo"
cp -r "$root/examples" "$demo"
cd "$demo"

run() {
  local program=$1; shift
  if [[ -x $bin/$program ]]; then
    echo "== $program $*"
    "$bin/$program" "$@"
    echo
  fi
}
run vistacraft tour
run portalcraft exhibition.lst
run netloom ontology.lst
run markwell aerial.lst
run globewell aerial.lst

echo "The outputs are in $demo:"
comm -13 <(cd "$root/examples" && find . -type f | sort) <(find . -type f | sort) | sed 's|^\./|  |'
