#!/bin/sh
# Builds the release benchmark, makes a ~100 MB result file once and measures it.
#   bench/results_bench.sh [FILE]
set -e
cd "$(dirname "$0")/.."
file=${1:-${TMPDIR:-/tmp}/vantrel-bench-600x1601.txt}
if [ ! -f "$file" ]; then
  ../shared/tools/gen-cable-data --tests 600 --points 1601 --pairs 4 -o "$file"
fi
cmake --preset release -B build/data-rel >/dev/null
cmake --build build/data-rel --target results_bench -j2 >/dev/null
build/data-rel/bench/results_bench "$file"
