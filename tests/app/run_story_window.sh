#!/usr/bin/env bash
# run_story_window.sh ZORGAME SCREENDIFF GAME_DIR WORK_DIR
# The sample game's story in a real window under Xvfb, played by the input
# script of the headless run (story.input): its events go into SDL's queue
# at their frames and reach the game as real input does, with the real
# fonts a window always draws with. Checked where the headless real-font run
# checks its pictures, with the same checks (a real window's fonts cannot
# be matched pixel for pixel):
# - the run reaches its last frame and writes its screenshots: the voiced
#   page at frame 340, the back log at 738 and the last frame;
# - the voiced page shows ink of the text colour and the name in Mina's
#   colour; the back log shows "制限時間オーバー" and the three "・" lines
#   in their colours;
# - no message box came up (each leaves a "[box]" line on stderr).
# No sound device is needed: SDL's dummy audio driver plays. Without
# xvfb-run the test reports itself skipped (77).
set -euo pipefail
program=$1 screendiff=$2 game=$3 work=$4
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

clone_game "$work/game"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run

cp "$(dirname "$0")/story.input" "$work/input"
printf '340 screenshot %s\n738 screenshot %s\n' "$work/voice.png" "$work/backlog.png" >>"$work/input"
SECONDS=0
timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" env SDL_AUDIODRIVER=dummy \
  "$program" "$work/game" --frames 830 --screenshot "$work/end.png" --input "$work/input" \
  >"$work/out.txt" 2>&1 || { echo "the windowed run failed:"; cat "$work/out.txt"; exit 1; }
echo "the windowed run took $SECONDS s"
cat "$work/out.txt"
if grep -q "running headless" "$work/out.txt"; then
  echo "the program did not open a window under Xvfb"; exit 1
fi

no_box() { ! grep -q '^\[box\]' "$work/out.txt"; }
check "no message box came up" no_box
check "the run reached its last frame" test -s "$work/end.png"
check "the voiced page was taken at its frame" test -s "$work/voice.png"
check "the back log was taken at its frame" test -s "$work/backlog.png"
check "the text is inked in its colour" holds_colour "$work/voice.png" FFFFFF 400
check "the name is inked in Mina's colour" holds_colour "$work/voice.png" FFAAC8 40
check "the back log shows \"制限時間オーバー\" in its colour" holds_colour "$work/backlog.png" FF4080 40
check "the back log shows the three \"・\" lines in grey" holds_colour "$work/backlog.png" 808080 12
exit $failed
