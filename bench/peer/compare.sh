#!/usr/bin/env bash
# Times the main job (vantrel-report --pdf) against the matplotlib script on the same
# result file and definition, interleaved, and prints both medians and their ratio;
# then --png at 150 dpi and --pdf with one thread (--jobs 1), and the peak memory.
#
#   bench/peer/compare.sh [RUNS]      (default 5)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-5}"
work="${TMPDIR:-/tmp}/vantrel-peer"
mkdir -p "$work"
data="$work/results-120x1601.txt"
definition="$work/definition-18.ini"
# The project has no generator of this definition; it comes from the shared tools.
gen_definition="${VANTREL_SHARED_TOOLS:-../shared/tools}/gen-definition"
if [ ! -f "$definition" ] && [ ! -x "$gen_definition" ]; then
  echo "compare: $gen_definition is missing (the shared tools beside the repository;" \
    "set VANTREL_SHARED_TOOLS to their folder)" >&2
  exit 1
fi
[ -f "$data" ] || tests/tools/gen-cable-data --tests 120 --points 1601 --pairs 4 --seed 7 -o "$data"
[ -f "$definition" ] || "$gen_definition" --tests 120 --pairs 4 --reports 18 -o "$definition"
cmake --preset release >/dev/null
cmake --build build/release --target vantrel-report -j2 >/dev/null
exe=build/release/src/tools/vantrel_report/vantrel-report
[ -x "$exe" ] || exe=build/release/src/tools/vantrel-report

seconds() {  # runs its arguments once, prints the wall time in seconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc
}

ours=() peer=()
for ((i = 0; i < runs; i++)); do
  ours+=("$(seconds "$exe" --quiet --definition "$definition" --data "$data" --pdf "$work/ours.pdf")")
  peer+=("$(seconds /usr/bin/python3 bench/peer/report_pages.py "$definition" "$data" "$work/peer.pdf")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
range() { printf '%s\n' "$@" | sort -n | awk 'NR==1{lo=$1} {hi=$1} END {print lo "-" hi}'; }
mo=$(median "${ours[@]}") mp=$(median "${peer[@]}")
printf 'vantrel-report --pdf: %s s median (%s s, %d runs), %s pages\n' "$mo" "$(range "${ours[@]}")" "$runs" \
  "$(pdfinfo "$work/ours.pdf" | awk '/^Pages/ {print $2}')"
printf 'matplotlib script:    %s s median (%s s, %d runs), %s pages\n' "$mp" "$(range "${peer[@]}")" "$runs" \
  "$(pdfinfo "$work/peer.pdf" | awk '/^Pages/ {print $2}')"
printf 'ratio:                %.1f times faster\n' "$(echo "scale=3; $mp / $mo" | bc)"

one=() png=() png1=()
for ((i = 0; i < runs; i++)); do
  one+=("$(seconds "$exe" --quiet --jobs 1 --definition "$definition" --data "$data" --pdf "$work/one.pdf")")
  png+=("$(seconds "$exe" --quiet --definition "$definition" --data "$data" --png "$work/png")")
  png1+=("$(seconds "$exe" --quiet --jobs 1 --definition "$definition" --data "$data" --png "$work/png1")")
done
printf -- '--pdf --jobs 1:       %s s median (%s s, %d runs)\n' "$(median "${one[@]}")" "$(range "${one[@]}")" "$runs"
printf -- '--png (150 dpi):      %s s median (%s s, %d runs)\n' "$(median "${png[@]}")" "$(range "${png[@]}")" "$runs"
printf -- '--png --jobs 1:       %s s median (%s s, %d runs)\n' "$(median "${png1[@]}")" "$(range "${png1[@]}")" "$runs"
peak=$( { /usr/bin/time -f '%M' "$exe" --quiet --definition "$definition" --data "$data" --pdf "$work/ours.pdf" >/dev/null; } 2>&1 | tail -1)
size=$(stat -c %s "$data")
printf 'peak memory (--pdf):  %.1f MB  (bound %.1f MB: twice the file plus 50)\n' \
  "$(echo "scale=1; $peak / 1024" | bc)" "$(echo "scale=1; 2 * $size / 1048576 + 50" | bc)"
printf 'load average:         %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
