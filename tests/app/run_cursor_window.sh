#!/usr/bin/env bash
# run_cursor_window.sh ZORGAME XCURSOR_PROBE GAME_DIR WORK_DIR
# The X cursor over the sample game's window under Xvfb, as a player meets
# it. The game draws its own pointer, so over its window the X cursor must
# be empty, on every screen; off the window the desktop's cursor shows.
# The input script plays: the title, New Game, the name entry's OK, the
# greeting of the story, the system menu's Title, Extras. At its marked
# frames (a screenshot it takes) the real pointer, moved by xdotool, leaves
# the window for the screen's corner, where the probe must see a cursor,
# and comes back onto the window at the place of the next click, where the
# X cursor must turn empty within a few frames:
# - on the title, in the name entry, in the story, in the extras menu;
# - no message box came up; the marked screens are not all the same.
# Every wait has a limit. Without xvfb-run or xdotool the test reports
# itself skipped (77).
set -euo pipefail
program=$1 probe=$2 game=$3 work=$4

if [ "${ZOR_CURSOR_INSIDE_XVFB:-}" != 1 ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
  command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }
  rm -rf "$work" && mkdir -p "$work"
  ZOR_CURSOR_INSIDE_XVFB=1 exec timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$0" "$@"
fi

source "$(dirname "$0")/run_lib.sh"
clone_game "$work/game"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
# A first start shows the "system file not found" box, which waits for a
# click: a headless start makes the file first.
"$program" "$work/game" --headless --frames 1 >"$work/prepare.txt" 2>&1 ||
  { echo "the first start failed:"; cat "$work/prepare.txt"; exit 1; }

# Frames: the title stands at 125 (marked at 130); New Game at 201 (the name
# entry marked at 250); its OK at 311 and 325 (the story marked at 440); the
# greeting turned at 506; the option button at 522, Title at 562, the
# dialog's OK at 577; the title again by 621; Extras at 642 (marked at
# 680); the run ends at 760.
cat >"$work/input" <<INPUT
1 move -5 700
130 screenshot $work/title.png
200 move 400 300
201 button 0 down
202 button 0 up
203 move -5 700
250 screenshot $work/names.png
310 move 320 356
311 button 0 down
312 button 0 up
325 button 0 down
326 button 0 up
327 move -5 700
440 screenshot $work/story.png
505 move 400 300
506 button 0 down
507 button 0 up
520 move 776 20
522 button 0 down
523 button 0 up
524 move -5 700
560 move 624 420
562 button 0 down
563 button 0 up
564 move -5 700
575 move 326 266
577 button 0 down
578 button 0 up
579 move -5 700
641 move 400 450
642 button 0 down
643 button 0 up
644 move -5 700
680 screenshot $work/extras.png
INPUT

"$program" "$work/game" --frames 760 --input "$work/input" >"$work/out.txt" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# wait_for FILE: true once the file is written (60 s at most, and only
# while the game runs).
wait_for() {
  local i
  for ((i = 0; i < 600; i++)); do
    [ -s "$1" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
opaque() { "$probe" | sed -n 's/.* opaque \([0-9]*\) .*/\1/p'; }
# empty_within: true once the X cursor is empty (3 s at most).
empty_within() {
  local i
  for ((i = 0; i < 30; i++)); do
    [ "$(opaque)" = 0 ] && return 0
    sleep 0.1
  done
  return 1
}
shows_cursor() { [ "$(opaque)" -gt 0 ]; }

window=$(timeout 60 xdotool search --sync --onlyvisible --classname zorgame | head -1) || true
[ -n "$window" ] || { echo "the game's window did not come up:"; cat "$work/out.txt"; exit 1; }
if grep -q "running headless" "$work/out.txt"; then
  echo "the program did not open a window under Xvfb"; exit 1
fi

# visit NAME X Y: at the screen NAME's mark, off the window and back at (X, Y).
visit() {
  local name=$1 x=$2 y=$3
  if ! wait_for "$work/$name.png"; then
    echo "FAIL the run did not reach the $name"; cat "$work/out.txt"; exit 1
  fi
  xdotool mousemove 1279 1023
  sleep 0.3
  check "$name: off the window the desktop's cursor shows" shows_cursor
  xdotool mousemove --window "$window" "$x" "$y"
  check "$name: over the window the X cursor is empty" empty_within
  "$probe" --screen "$work/$name-screen.png" >/dev/null || true
}

"$probe" || { echo "the probe cannot read the X cursor"; exit 1; }
visit title 400 300
visit names 320 356
visit story 400 300
visit extras 400 450

for ((i = 0; i < 600; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL the game did not end at its last frame"; exit 1; fi
wait "$pid" || { echo "FAIL the game ended with a failure:"; cat "$work/out.txt"; exit 1; }
cat "$work/out.txt"
no_box() { ! grep -q '^\[box\]' "$work/out.txt"; }
differ() { ! cmp -s "$1" "$2"; }
check "no message box came up" no_box
check "the name entry is not the title" differ "$work/title.png" "$work/names.png"
check "the story is not the name entry" differ "$work/names.png" "$work/story.png"
check "the extras are not the title" differ "$work/title.png" "$work/extras.png"
exit $failed
