#!/usr/bin/env bash
# idle_title.sh [BUILD_DIR] [REPETITIONS] [SECONDS] [GAME_DIR]
# The whole program on the sample game's title, in a window under Xvfb,
# beside a bare SDL program (bench_bare_window) presenting the same frames
# (the title presents its whole 800 x 600 frame every frame) at the same
# 50 ms pace in a window of the same size. The runs alternate, program
# and bare program, REPETITIONS times (5 by default). Each run is measured
# over SECONDS (3 by default) once the title shows (the program, after its
# logos: 7 s) or once its window is up (the bare program, 2 s): the CPU
# time of all the process's threads, per frame at the pace both keep. Prints
# the medians and the program's ratio to the bare one.
# GAME_DIR is the sample game, BUILD_DIR/demo-game by default.
# Exits with 77 where xvfb-run is missing.
set -euo pipefail
inside=0
if [ "${1:-}" = --inside ]; then inside=1; shift; fi
build=${1:-build/release} reps=${2:-5} seconds=${3:-3}
program=$build/bin/zorgame bare=$build/bench/bench_bare_window game=${4:-$build/demo-game}
for f in "$program" "$bare"; do [ -x "$f" ] || { echo "idle_title.sh: $f is not built"; exit 1; }; done
[ -d "$game" ] || { echo "idle_title.sh: $game is not built"; exit 1; }
if [ "$inside" = 0 ]; then
  command -v xvfb-run >/dev/null || { echo "idle_title.sh: xvfb-run is not installed"; exit 77; }
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$build" "$reps" "$seconds" "$game"
fi
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# cpu_ns PID: the CPU time of the process's threads so far, in nanoseconds.
cpu_ns() {
  local sum=0 t run rest
  for t in /proc/"$1"/task/*/schedstat; do
    read -r run rest <"$t" 2>/dev/null && sum=$((sum + run))
  done
  echo "$sum"
}
# measure PID WARMUP: the CPU per 50 ms frame, in microseconds, over
# $seconds after WARMUP seconds.
measure() {
  local pid=$1 start end t0 t1
  sleep "$2"
  kill -0 "$pid" 2>/dev/null || { echo "idle_title.sh: a run ended early" >&2; exit 1; }
  start=$(cpu_ns "$pid") t0=$(date +%s%N)
  sleep "$seconds"
  end=$(cpu_ns "$pid") t1=$(date +%s%N)
  # frames shown in the window: its length over the 50 ms period.
  echo $(( (end - start) * 50000000 / (t1 - t0) / 1000 ))
}

# The pointer stays outside the window; the title is still from about its
# hundredth frame.
printf '1 move -5 700\n' >"$work/still.input"
engine=() plain=()
for ((i = 0; i < reps; i++)); do
  run=$work/run$i
  mkdir -p -m 700 "$run/xdg" "$run/tmp"
  cp -r "$game" "$run/game"
  XDG_RUNTIME_DIR=$run/xdg TMPDIR=$run/tmp "$program" "$run/game" --input "$work/still.input" \
    >"$run/program.out" 2>&1 &
  pid=$!
  value=$(measure "$pid" 7)
  engine+=("$value")
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  XDG_RUNTIME_DIR=$run/xdg TMPDIR=$run/tmp "$bare" 100000 full >"$run/bare.out" 2>&1 &
  pid=$!
  value=$(measure "$pid" 2)
  plain+=("$value")
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  pid=
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
e=$(median "${engine[@]}") b=$(median "${plain[@]}")
echo "program runs (us a frame): ${engine[*]}"
echo "bare runs (us a frame):    ${plain[*]}"
awk -v e="$e" -v b="$b" 'BEGIN {
  printf "%-26s %10s %10s %7s\n", "case", "program us", "bare us", "ratio"
  printf "%-26s %10.1f %10.1f %7.2f\n", "idle title, 800x600", e, b, (b > 0 ? e / b : 0) }'
