#!/usr/bin/env bash
# run_signal_window.sh ZORGAME GAME_DIR WORK_DIR
# In a real window under Xvfb, SIGHUP, SIGTERM and SIGINT end the game as
# its close box does: status 0 and the system file written. Without
# xvfb-run the test reports itself skipped (77).
set -euo pipefail
program=$1 game=$2 work=$3
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# One display for the three runs; each waits until its game holds its save
# folder, then gets its signal.
cat >"$work/runs.sh" <<'RUNS'
set -u
program=$1 work=$2
for signal in HUP TERM INT; do
  dir=$work/$signal
  mkdir -p -m 700 "$dir.run"
  touch "$dir.before"
  XDG_RUNTIME_DIR=$dir.run SDL_AUDIODRIVER=dummy "$program" "$dir" >"$dir.out" 2>&1 &
  pid=$!
  tries=0
  until [ -e "$dir/sav/zorgame.lock" ] && ! flock -n "$dir/sav/zorgame.lock" true; do
    tries=$((tries + 1))
    if [ $tries -gt 300 ] || ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  sleep 0.5
  kill "-$signal" "$pid" 2>/dev/null
  status=0
  wait "$pid" || status=$?
  echo "$status" >"$dir.status"
done
RUNS
for signal in HUP TERM INT; do clone_game "$work/$signal"; done
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/runs.sh" "$program" "$work"
for signal in HUP TERM INT; do
  check "SIG$signal closes the window's game: status 0" test "$(cat "$work/$signal.status")" = 0
  check "SIG$signal: the game ran in a window" test -z "$(grep 'running headless' "$work/$signal.out")"
  check "SIG$signal: the system file is written" test "$work/$signal/sav/sysfile.sav" -nt "$work/$signal.before"
  [ "$(cat "$work/$signal.status")" = 0 ] || cat "$work/$signal.out"
done
[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
