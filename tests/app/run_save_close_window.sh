#!/usr/bin/env bash
# run_save_close_window.sh ZORGAME GAME_DIR WORK_DIR
# In a real window under Xvfb with the openbox window manager: the sample
# game is played to the save's comment dialog (save_slot1.input up to the
# pointer on OK), xdotool clicks OK as a player does and presses Alt+F4 (the
# window manager's close, a WM_DELETE_WINDOW to the game) 0, 0.1, 0.2 and
# 0.4 s later. Each run ends with status 0 and its slot is written: the slot
# of a headless run without a close but for the save time and picture. Without
# xvfb-run, xdotool or openbox the test reports itself skipped (77).
set -euo pipefail
program=$1 game=$2 work=$3
for tool in xvfb-run xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"
input=$(dirname "$0")/save_slot1.input
delays="0 0.1 0.2 0.4"

clone_game "$work/plain"
run_headless plain "$work/plain" 560 "$input"

# The window runs stop before the OK; a screenshot at frame 498 tells the
# driver the dialog waits with the pointer on OK.
{ awk '$1 <= 495' "$input"; echo "498 screenshot $work/ready.png"; } >"$work/window.input"

cat >"$work/runs.sh" <<'RUNS'
set -u
program=$1 work=$2 delays=$3
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
for delay in $delays; do
  dir=$work/close$delay
  mkdir -p -m 700 "$dir.run"
  rm -f "$work/ready.png"
  # The pointer starts outside the window, so the slot's picture is the
  # scene's as in the headless run.
  xdotool mousemove 1020 760
  XDG_RUNTIME_DIR=$dir.run SDL_AUDIODRIVER=dummy "$program" "$dir" --input "$work/window.input" \
    >"$dir.out" 2>&1 &
  pid=$!
  tries=0
  until [ -s "$work/ready.png" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 1200 ] || ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  sleep 0.3
  window=$(xdotool search --pid "$pid" --onlyvisible 2>/dev/null | head -1)
  if [ -n "$window" ]; then
    xdotool windowactivate --sync "$window" mousemove --window "$window" 300 357
    sleep 0.2
    if [ "$delay" = 0 ]; then
      xdotool click 1 key alt+F4
    else
      xdotool click 1 sleep "$delay" key alt+F4
    fi
  else
    echo "no window" >>"$dir.out"
  fi
  status=0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { echo "still running" >>"$dir.out"; kill -KILL "$pid"; }
  wait "$pid" || status=$?
  echo "$status" >"$dir.status"
done
kill "$wm" 2>/dev/null
RUNS

# same_but_picture A B: the files differ at most in the save time and in
# the slot's picture (the scene as the window showed it when S was pressed,
# its timing the window's own): the chunk named MINICG, its size word 16
# bytes before the name.
same_but_picture() {
  [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] || return 1
  local name start size
  name=$(grep -obUa MINICG "$1" | head -1 | cut -d: -f1)
  start=$((name - 16))
  size=$(od -An -tu4 -j"$start" -N4 "$1" | tr -d ' ')
  { cmp -l "$1" "$2" || true; } |
    awk -v s="$start" -v n="$size" '($1 < 129 || $1 > 160) && ($1 <= s || $1 > s + n) { bad = 1 } END { exit bad }'
}

for delay in $delays; do clone_game "$work/close$delay"; done
timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/runs.sh" "$program" "$work" "$delays"
for delay in $delays; do
  check "a close ${delay} s after OK in a window: status 0" test "$(cat "$work/close$delay.status")" = 0
  check "a close ${delay} s after OK: the game ran in a window" \
    test -z "$(grep 'running headless\|no window\|still running' "$work/close$delay.out")"
  check "a close ${delay} s after OK: the slot is written" test -s "$work/close$delay/sav/data0.sav"
  check "a close ${delay} s after OK: the slot is the confirmed save" \
    same_but_picture "$work/plain/sav/data0.sav" "$work/close$delay/sav/data0.sav"
  [ "$(cat "$work/close$delay.status")" = 0 ] || cat "$work/close$delay.out"
done
[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
