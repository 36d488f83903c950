#!/usr/bin/env bash
# Runs every libFuzzer target of fuzz/ in turn for SECONDS seconds each
# (default 600), one job at a time, seeded from tests/data and the shared
# corpus, and prints each target's executions, coverage and findings.
#
#   bench/fuzz_all.sh [SECONDS] [BUILD_DIR] [TARGET ...]
#
# With targets named, only those run (default: every target).
# The build directory is made with -DTARVEX_FUZZ=ON and clang++ when missing.
# Crashes, leaks and timeouts are written to fuzz-findings/<target>/.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build-fuzz}
shift $(($# > 2 ? 2 : $#))
targets=${*:-pdb mol2 crd rst top prep gaussian_in gaussian_out perception parameter measurement}
corpus=../shared/corpus

if [ ! -d "$build" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTARVEX_FUZZ=ON \
    -DTARVEX_TESTS=OFF >/dev/null || exit 1
fi
cmake --build "$build" -j2 >/dev/null || exit 1

# Seeds per target: the test data and corpus files of its format.
seeds_of() {
  case $1 in
    pdb|perception) echo tests/data/pdb $corpus/pdb ;;
    mol2) echo tests/data/mol2 $corpus/mol2 ;;
    crd) echo tests/data/amber/*.crd $corpus/crd ;;
    rst) echo tests/data/amber/*.rst $corpus/rst ;;
    top) echo tests/data/amber/*.parm7 tests/data/amber/*.top $corpus/top ;;
    prep) echo tests/data/prep $corpus/prep ;;
    gaussian_in) echo tests/data/gaussian/*.com tests/data/gaussian/*.gjf $corpus/com ;;
    gaussian_out) echo tests/data/gaussian/*.log $corpus/log ;;
    parameter) echo fuzz/seeds/parameter ;;
    measurement) echo tests/data/amber/getdun_measure.txt ;;
  esac
}

status=0
for target in $targets; do
  work=$(mktemp -d)
  for seed in $(seeds_of "$target"); do
    if [ -d "$seed" ]; then
      find "$seed" -type f -size -2M -exec cp {} "$work/" \; 2>/dev/null
    elif [ -f "$seed" ]; then
      cp "$seed" "$work/"
    fi
  done
  findings=fuzz-findings/$target
  mkdir -p "$findings"
  log=$(mktemp)
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$findings/" "$work" >"$log" 2>&1
  result=$?
  line=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1)
  printf '%-13s exit %d  %s\n' "$target" "$result" "$line"
  if [ $result -ne 0 ]; then
    status=1
    grep -E 'ERROR|SUMMARY|runtime error' "$log" | head -5
  fi
  rm -rf "$work" "$log"
  rmdir "$findings" 2>/dev/null
done
exit $status
