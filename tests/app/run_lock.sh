#!/usr/bin/env bash
# run_lock.sh ZORGAME GAME_DIR WORK_DIR
# Copies of the program on save folders, and the end of a run on a signal,
# headless on copies of the minimal game (GAME_DIR):
# - a second copy on the save folder a running copy uses is refused with
#   the box, though its runtime and temporary folders are others; a copy
#   of the game in another folder runs beside it;
# - SIGTERM, SIGINT and SIGHUP end a run as a close request does: the run ends
#   well and the system file is written.
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/game_copy.sh"
failed=0
check() {
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}

# run NAME DIR FRAMES: a headless run with its own runtime and temporary
# folders, in the foreground; its status in $work/NAME.status.
run() {
  mkdir -p -m 700 "$work/$1.run" "$work/$1.tmp"
  local status=0
  XDG_RUNTIME_DIR=$work/$1.run TMPDIR=$work/$1.tmp timeout 120 "$program" "$2" --headless \
    --frames "$3" >"$work/$1.out" 2>"$work/$1.err" || status=$?
  echo "$status" >"$work/$1.status"
}

# start NAME DIR: the same run in the background, lasting until a signal
# ends it; returns once the run holds its save folder (pid in $pid).
start() {
  mkdir -p -m 700 "$work/$1.run" "$work/$1.tmp"
  XDG_RUNTIME_DIR=$work/$1.run TMPDIR=$work/$1.tmp "$program" "$2" --headless \
    --frames 100000000 >"$work/$1.out" 2>"$work/$1.err" &
  pid=$!
  local tries=0
  until [ -e "$2/sav/zorgame.lock" ] && ! flock -n "$2/sav/zorgame.lock" true; do
    tries=$((tries + 1))
    if [ $tries -gt 300 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "run $1 did not start:"; cat "$work/$1.err"; kill "$pid" 2>/dev/null || true; exit 1
    fi
    sleep 0.1
  done
}

# stop SIGNAL NAME: sends the signal to the background run and waits for
# its end; its status in $work/NAME.status.
stop() {
  local status=0
  kill "-$1" "$pid"
  wait "$pid" || status=$?
  echo "$status" >"$work/$2.status"
}

clone_game "$work/one"
clone_game "$work/two"
start first "$work/one"
run second "$work/one" 5
check "a second copy on the same save folder is refused" test "$(cat "$work/second.status")" = 3
check "its box says why" grep -q '^\[box\] Error: 二重起動はできません$' "$work/second.err"
check "stderr names the folder" grep -qF "zorgame: another copy of the game is running on the save folder $work/one/sav" "$work/second.err"
run other "$work/two" 5
check "a copy in another folder runs" test "$(cat "$work/other.status")" = 0
stop TERM first

for signal in TERM INT HUP; do
  clone_game "$work/$signal"
  start "run$signal" "$work/$signal"
  touch "$work/$signal.before"
  sleep 0.2
  stop "$signal" "run$signal"
  check "SIG$signal ends the run well" test "$(cat "$work/run$signal.status")" = 0
  check "SIG$signal writes the system file" test "$work/$signal/sav/sysfile.sav" -nt "$work/$signal.before"
done
exit $failed
