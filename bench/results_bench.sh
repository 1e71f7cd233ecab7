#!/bin/sh
# Builds the release benchmark, makes a 53 MB result file once and measures it: open,
# index and parse speed, and peak memory against its bound (the largest block).
#   bench/results_bench.sh [FILE]
set -e
cd "$(dirname "$0")/.."
file=${1:-${TMPDIR:-/tmp}/vantrel-bench-600x1601.txt}
if [ ! -f "$file" ]; then
  tests/tools/gen-cable-data --tests 600 --points 1601 --pairs 4 -o "$file"
fi
cmake --preset release >/dev/null
cmake --build build/release --target results_bench -j2 >/dev/null
build/release/bench/results_bench "$file"
