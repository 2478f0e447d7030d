#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds.
#
#   bash tools/fuzz.sh [seconds] [target...]     (default: 20 seconds, every target)
#
# The seed corpus of each target is copied from the list files of the test
# fixtures and of examples/ into build/fuzz/corpus/<target>/, where the
# corpus grows from run to run.  A finding (crash, failed check, leak,
# timeout) is written to build/fuzz/findings/ and makes the script exit 1;
# the logs are in build/fuzz/logs/.  Reproduce a finding with
#   build/fuzz/fuzz/<target> build/fuzz/findings/<target>-crash-...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true

HALVANE_WANT_CLANG=1 bash "$root/tools/install-deps.sh"
if ! dpkg -s libxml2-dev >/dev/null 2>&1; then
  if [[ $(id -u) == 0 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends libxml2-dev >/dev/null ||
      { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends libxml2-dev >/dev/null; }
  else
    echo "missing package: libxml2-dev (run as root, or install it with apt-get)" >&2
    exit 1
  fi
fi

build=$root/build/fuzz
echo "== build the fuzz targets"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DHALVANE_FUZZ=ON -DHALVANE_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
if (($# > 0)); then targets=("$@"); else
  mapfile -t targets < <(cd "$root/fuzz" && ls *_fuzz.cpp | sed 's/\.cpp$//')
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# Seeds: the list files a target reads.
seeds() {
  case "$1" in
    scene_parser_fuzz|vistacraft_fuzz) find "$root/scene/tests/fixtures" -name '*.lst'; echo "$root/examples/tour/tour.lst" ;;
    menu_reader_fuzz|portalcraft_fuzz|markwell_fuzz|globewell_fuzz)
      find "$root/menu/tests/fixtures" "$root/maps/tests/fixtures" -name '*.lst'
      echo "$root/examples/exhibition.lst"; echo "$root/examples/aerial.lst" ;;
    ontology_reader_fuzz|netloom_fuzz) find "$root/ontology/tests/fixtures" -name '*.lst'; echo "$root/examples/ontology.lst" ;;
    *) find "$root/scene/tests/fixtures" "$root/menu/tests/fixtures" "$root/maps/tests/fixtures" \
         "$root/ontology/tests/fixtures" "$root/examples" -name '*.lst' ;;
  esac
}

mkdir -p "$build/findings" "$build/logs"
failed=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  while read -r file; do
    [[ -f $file ]] && cp "$file" "$corpus/seed-$(echo "${file#"$root"/}" | tr '/' '_')"
  done < <(seeds "$target")
  log=$build/logs/$target.log
  echo "== $target: $seconds s"
  # -close_fd_mask=3: the programs' console lines and warnings are muted;
  # libFuzzer and the sanitizers still report on their own copy of stderr.
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -max_len=4096 \
      -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$corpus" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || tail -1 "$log"
  else
    echo "FINDING in $target (log: $log)"
    grep -E -A12 '^==[0-9]+==|fuzz check failed|^SUMMARY' "$log" | head -40 || tail -40 "$log"
    failed+=("$target")
  fi
done

if ((${#failed[@]})); then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "no findings"
