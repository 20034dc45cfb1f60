#!/usr/bin/env bash
# present.sh [BUILD_DIR] [REPETITIONS]
# Runs bench_present under Xvfb, the cases interleaved at random and repeated,
# and prints for each case the median CPU time a presented frame takes in the
# SDL backend's window and in the bare SDL program, and their ratio.
set -euo pipefail
build=${1:-build/release} reps=${2:-10}
bench=$build/bench/bench_present
[ -x "$bench" ] || { echo "present.sh: $bench is not built"; exit 1; }
command -v xvfb-run >/dev/null || { echo "present.sh: xvfb-run is not installed"; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
xvfb-run -a -s "-screen 0 1920x1280x24" "$bench" --benchmark_repetitions="$reps" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_format=csv >"$out" 2>/dev/null || { echo "present.sh: the benchmark failed"; exit 1; }
# name,iterations,real_time,cpu_time,... ; medians only.
printf "%-22s %12s %12s %7s\n" "case" "engine ms" "bare ms" "ratio"
awk -F, '
  /_median"?,/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    side = name; sub(/\/.*/, "", side); args = name; sub(/^[^\/]*\//, "", args); sub(/\/process_time$/, "", args)
    cpu[side "|" args] = $4; cases[args] = 1
  }
  END {
    for (c in cases) printf "%-22s %12.3f %12.3f %7.2f\n", c, cpu["Engine|" c], cpu["Bare|" c], cpu["Engine|" c] / cpu["Bare|" c]
  }' "$out" | sort
