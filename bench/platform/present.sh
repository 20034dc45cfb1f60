#!/usr/bin/env bash
# present.sh [BUILD_DIR] [REPETITIONS] [MIN_TIME]
# Runs bench_present under Xvfb, the cases interleaved at random and repeated
# (at least 2 times; each at least MIN_TIME seconds, 0.5 by default), and
# prints for each case the median CPU time a presented frame takes in the
# SDL backend's window and in the bare SDL program, and their ratio.
# Exits with 77 where xvfb-run is missing.
set -euo pipefail
build=${1:-build/release} reps=${2:-10} min_time=${3:-0.5}
bench=$build/bench/bench_present
[ -x "$bench" ] || { echo "present.sh: $bench is not built"; exit 1; }
command -v xvfb-run >/dev/null || { echo "present.sh: xvfb-run is not installed"; exit 77; }
[ "$reps" -ge 2 ] || { echo "present.sh: medians need at least 2 repetitions"; exit 1; }
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
xvfb-run -a -s "-screen 0 1920x1280x24" "$bench" --benchmark_repetitions="$reps" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_min_time="$min_time" --benchmark_format=json >"$out" 2>"$err" ||
  { echo "present.sh: the benchmark failed:"; cat "$err"; exit 1; }
# The JSON report has one field a line; the medians are the runs whose name
# ends in _median: "Engine/band:0/scale:1/process_time_median".
table=$(awk '
  /"name": / { name = $0; sub(/.*"name": "/, "", name); sub(/".*/, "", name) }
  /"cpu_time": / && name ~ /_median$/ {
    value = $0; sub(/.*"cpu_time": /, "", value); sub(/,.*/, "", value)
    n = name; sub(/_median$/, "", n); sub(/\/process_time$/, "", n)
    side = n; sub(/\/.*/, "", side); args = n; sub(/^[^\/]*\//, "", args)
    cpu[side "|" args] = value; cases[args] = 1
  }
  END {
    for (c in cases)
      if (("Engine|" c) in cpu && ("Bare|" c) in cpu && cpu["Bare|" c] > 0)
        printf "%-22s %12.3f %12.3f %7.2f\n", c, cpu["Engine|" c], cpu["Bare|" c], cpu["Engine|" c] / cpu["Bare|" c]
  }' "$out" | sort)
[ -n "$table" ] || { echo "present.sh: the report holds no medians:"; cat "$out" "$err"; exit 1; }
printf "%-22s %12s %12s %7s\n" "case" "engine ms" "bare ms" "ratio"
echo "$table"
