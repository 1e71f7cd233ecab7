#!/usr/bin/env bash
# How long vantrel-report takes from exec to the first read of the result file, and the
# main job's wall time, beside a plain C program doing the same; medians of RUNS.
# The first open and read are seen through inotify, so the tool runs untraced.
#
#   bench/startup_bench.sh [RUNS] [EXE]     (default 10, the release build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
exe="${2:-}"
work="${TMPDIR:-/tmp}/vantrel-startup-bench"
mkdir -p "$work"
data="$work/results-120x1601.txt"
definition="$work/equal-work.ini"
[ -f "$data" ] || tests/tools/gen-cable-data --tests 120 --points 1601 --pairs 4 --seed 7 -o "$data"
[ -f "$definition" ] || bench/peer/gen-equal-work "$data" "$definition" >/dev/null
if [ -z "$exe" ]; then
  cmake --preset release >/dev/null
  cmake --build build/release --target vantrel-report >/dev/null
  exe=build/release/src/tools/vantrel-report
fi

# first-read FILE CMD...: runs CMD once, prints milliseconds from fork to the first open
# of FILE, to its first read (the open when it is only mapped) and to CMD's end.
cat >"$work/first-read.c" <<'EOF'
#define _GNU_SOURCE
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  int in = inotify_init1(IN_NONBLOCK);
  if (in < 0 || inotify_add_watch(in, argv[1], IN_OPEN | IN_ACCESS) < 0) {
    perror(argv[1]);
    return 2;
  }
  double start = now_ms(), opened = -1, first = -1;
  pid_t child = fork();
  if (child == 0) {
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  int ended = (int)syscall(SYS_pidfd_open, child, 0);
  for (;;) {
    struct pollfd p[2] = {{in, POLLIN, 0}, {ended, POLLIN, 0}};
    if (poll(p, 2, -1) > 0 && (p[0].revents & POLLIN)) {
      char buffer[4096] __attribute__((aligned(__alignof__(struct inotify_event))));
      ssize_t n = read(in, buffer, sizeof buffer);
      double t = now_ms();
      for (char* e = buffer; e < buffer + (n > 0 ? n : 0);) {
        const struct inotify_event* ev = (const struct inotify_event*)e;
        if ((ev->mask & IN_OPEN) && opened < 0) opened = t - start;
        if ((ev->mask & IN_ACCESS) && first < 0) first = t - start;
        e += sizeof *ev + ev->len;
      }
    }
    if ((p[1].revents & POLLIN) && waitpid(child, &status, 0) == child) break;
  }
  double end = now_ms() - start;
  if (first < 0) first = opened;
  printf("%.2f %.2f %.2f %d\n", opened, first, end, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return 0;
}
EOF
cat >"$work/hello.c" <<'EOF'
#include <stdio.h>
int main(void) { puts("hello"); return 0; }
EOF
cc -O2 -o "$work/first-read" "$work/first-read.c"
cc -O2 -o "$work/hello" "$work/hello.c"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
# measure LABEL CMD...: the medians of CMD's first open, first read and end, and of its
# first read less that of a cat of the file run just before it, under the same load.
measure() {
  local label="$1" rows=""
  shift
  for ((i = 0; i < runs; i++)); do
    floor=$("$work/first-read" "$data" cat "$data" | cut -d' ' -f2)
    rows+="$("$work/first-read" "$data" "$@") $floor"$'\n'
  done
  local status
  status=$(awk 'NF {print $4}' <<<"$rows" | sort -u | tr '\n' ' ')
  printf '%-10s first open %6s ms, first read %6s ms (%6s ms after cat'"'"'s), end %8s ms (exit %s)\n' \
    "$label" "$(awk 'NF {print $1}' <<<"$rows" | median)" "$(awk 'NF {print $2}' <<<"$rows" | median)" \
    "$(awk 'NF {print $2 - $5}' <<<"$rows" | median)" "$(awk 'NF {print $3}' <<<"$rows" | median)" \
    "${status% }"
}
# A first run fills the page cache.
"$exe" --quiet --definition "$definition" --data "$data" --pdf "$work/out.pdf" >/dev/null 2>&1 || true

echo "$exe, $runs runs, medians; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# wall LABEL CMD...: the median of CMD's run time alone.
wall() {
  local label="$1" rows=""
  shift
  for ((i = 0; i < runs; i++)); do rows+="$("$work/first-read" "$data" "$@")"$'\n'; done
  printf '%-28s %8s ms\n' "$label" "$(awk 'NF {print $3}' <<<"$rows" | median)"
}
wall "C hello world" "$work/hello"
wall "vantrel-report --version" "$exe" --version
measure "--pdf" "$exe" --quiet --definition "$definition" --data "$data" --pdf "$work/out.pdf"
measure "--csv" "$exe" --quiet --definition "$definition" --data "$data" --csv "$work/csv"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
