#!/usr/bin/env bash
# Times the equal-work job side by side: vantrel-report with one and two threads against
# the ReportLab, gnuplot and matplotlib scripts drawing the same 20 pages from the same
# result file, interleaved; prints medians, ranges, pages and the ratio to the faster of
# ReportLab and gnuplot, with the commit and the load average before and after. Medians
# of wall time decide; CPU time (user + system) shows what a busy machine hides.
#
#   bench/peer/equal-work.sh [RUNS] [MATPLOTLIB_RUNS]   (default 5 and 3)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs="${1:-5}"
slow_runs="${2:-3}"
((slow_runs <= runs)) || slow_runs=$runs
python=/usr/bin/python3

missing=()
command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
"$python" -c 'import reportlab' 2>/dev/null || missing+=(python3-reportlab)
"$python" -c 'import matplotlib' 2>/dev/null || missing+=(python3-matplotlib)
"$python" -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
command -v pdfinfo >/dev/null || missing+=(poppler-utils)
if ((${#missing[@]})); then
  echo "equal-work: missing ${missing[*]} (scripts/bootstrap installs them)" >&2
  exit 1
fi

work="${TMPDIR:-/tmp}/vantrel-equal-work"
mkdir -p "$work"
data="$work/results-120x1601.txt"
definition="$work/equal-work.ini"
[ -f "$data" ] || tests/tools/gen-cable-data --tests 120 --points 1601 --pairs 4 --seed 7 -o "$data"
bench/peer/gen-equal-work "$data" "$definition"
printf 'result file: %s (%.1f MB)\n' "$data" "$(echo "scale=1; $(stat -c %s "$data") / 1000000" | bc)"

echo "building vantrel-report (release)..." >&2
cmake --preset release >/dev/null
cmake --build build/release --target vantrel-report -j2 >/dev/null
exe=build/release/src/tools/vantrel-report

seconds() {  # runs its arguments once, prints wall and CPU seconds; a failure stops all
  local TIMEFORMAT='%R %U %S'
  if ! { time "$@" >"$work/last.log" 2>&1; } 2>"$work/time.txt"; then
    echo "equal-work: failed: $*" >&2
    cat "$work/last.log" >&2
    return 1
  fi
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time.txt"
}

names=(jobs1 jobs2 reportlab gnuplot matplotlib)
declare -A label=(
  [jobs1]="vantrel-report --jobs 1" [jobs2]="vantrel-report --jobs 2"
  [reportlab]="ReportLab canvas" [gnuplot]="gnuplot pdfcairo" [matplotlib]="matplotlib")
declare -A times=() cpu=()
run_one() {  # name: one timed run of that contender into its PDF
  local t
  case $1 in
    jobs1 | jobs2)
      t=$(seconds "$exe" --quiet --jobs "${1#jobs}" --definition "$definition" --data "$data" \
        --pdf "$work/$1.pdf") ;;
    reportlab) t=$(seconds "$python" bench/peer/equal_work_reportlab.py "$definition" "$data" "$work/$1.pdf") ;;
    gnuplot) t=$(seconds "$python" bench/peer/equal_work_gnuplot.py "$definition" "$data" "$work/$1.pdf") ;;
    matplotlib) t=$(seconds "$python" bench/peer/report_pages.py "$definition" "$data" "$work/$1.pdf") ;;
  esac
  times[$1]="${times[$1]:-} ${t% *}"
  cpu[$1]="${cpu[$1]:-} ${t#* }"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((i = 0; i < runs; i++)); do
  printf 'run %d of %d\n' "$((i + 1))" "$runs" >&2
  for name in "${names[@]}"; do
    [ "$name" != matplotlib ] || ((i < slow_runs)) || continue
    run_one "$name"
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

median() { tr ' ' '\n' | grep . | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
range() { tr ' ' '\n' | grep . | sort -n | awk 'NR==1{lo=$1} {hi=$1} END {printf "%.3f-%.3f\n", lo, hi}'; }
count() { tr ' ' '\n' | grep -c .; }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages/ {print $2}'; }

declare -A med=()
echo
printf '%-26s %8s  %-15s %8s  %5s  %s\n' "" "wall" "wall range" "CPU" "runs" "pages"
for name in "${names[@]}"; do
  [ -n "${times[$name]:-}" ] || continue
  med[$name]=$(median <<<"${times[$name]}")
  printf '%-26s %7.3fs  %-15s %7.3fs  %5d  %s\n' "${label[$name]}" "${med[$name]}" \
    "$(range <<<"${times[$name]}") s" "$(median <<<"${cpu[$name]}")" \
    "$(count <<<"${times[$name]}")" "$(pages "$work/$name.pdf")"
  pdftoppm -r 50 -f 1 -l 1 -png -singlefile "$work/$name.pdf" "$work/$name-page1"
done

ours=$(printf '%s\n' "${med[jobs1]}" "${med[jobs2]}" | sort -n | head -1)
peer=$(printf '%s\n' "${med[reportlab]}" "${med[gnuplot]}" | sort -n | head -1)
echo
for name in reportlab gnuplot matplotlib; do
  [ -n "${med[$name]:-}" ] || continue
  printf 'vantrel-report (best of --jobs 1/2) is %5.1f times faster than %s\n' \
    "$(awk -v p="${med[$name]}" -v o="$ours" 'BEGIN { print p / o }')" "${label[$name]}"
done
printf 'ratio to the faster of ReportLab and gnuplot: %.1f\n' "$(awk -v p="$peer" -v o="$ours" 'BEGIN { print p / o }')"
for name in "${!med[@]}"; do
  p=$(pages "$work/$name.pdf")
  [ "$p" = 20 ] || echo "warning: ${label[$name]} wrote $p pages, not 20" >&2
done
echo
echo "commit:       $(git log -1 --format='%h %s' | cut -c1-100)"
echo "load average: $load_before before, $load_after after ($(nproc) cores)"
echo "first pages:  $work/*-page1.png"
