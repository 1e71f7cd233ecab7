#!/bin/sh
# Times the headroom summary over 100 generated result files of 120 tests each:
# the median of five runs with the range, release build.
#   bench/summary_bench.sh [FOLDER]
set -e
cd "$(dirname "$0")/.."
dir=${1:-${TMPDIR:-/tmp}/vantrel-summary-bench}
definition="$dir.ini"
# The project has no generator of this definition; it comes from the shared tools.
gen_definition="${VANTREL_SHARED_TOOLS:-../shared/tools}/gen-definition"
if [ ! -f "$definition" ] && [ ! -x "$gen_definition" ]; then
  echo "summary_bench: $gen_definition is missing (the shared tools beside the repository;" \
    "set VANTREL_SHARED_TOOLS to their folder)" >&2
  exit 1
fi
if [ ! -f "$dir/run-100.txt" ]; then
  mkdir -p "$dir"
  for i in $(seq 1 100); do
    tests/tools/gen-cable-data --seed "$i" --tests 120 --pairs 4 --fail-rate 0.05 -o "$dir/run-$i.txt"
  done
fi
[ -f "$definition" ] || "$gen_definition" --tests 120 --pairs 4 --reports 18 -o "$definition"
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel-report >/dev/null
times=""
for run in 1 2 3 4 5; do
  start=$(date +%s.%N)
  build/release/src/tools/vantrel-report --summary "$dir.csv" --definition "$definition" \
    --data "$dir" --quiet
  end=$(date +%s.%N)
  times="$times $(echo "$end - $start" | bc)"
done
rows=$(wc -l < "$dir.csv")
echo "$times" | tr ' ' '\n' | grep . | sort -n | awk -v rows="$rows" '
  { t[NR] = $1 }
  END { printf "summary of 100 files x 120 tests (%d rows): median %.2f s (%.2f-%.2f s, 5 runs)\n",
        rows, t[3], t[1], t[5] }'
