#!/usr/bin/env bash
# run_story.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's story end to end, headless, from one input script
# (story.input, which run_story_window.sh plays in a real window too):
# New game, the name entry's OK twice; a click while the greeting types
# (it completes), a click that turns it; 'A' on the voiced page (auto mode
# turns it once the voice and its pause are over, and the pages after it:
# the continuation, the timed wait, the next page, the full-screen page);
# the first question answered with Down, Down, Return (the second
# answer), the second one with a mouse click on its first answer, a click
# that turns the page after it (and ends auto mode), the timed third
# question left to run out; then the wheel opens the back log, Page Up twice
# and the up arrow mark four times scroll to the voiced line, a click on its
# voice mark plays it again, Page Down three times and the wheel down leave.
# The run stops there, so what follows the story does not matter to it.
# - The voiced page, the choice with the cursor on the second row, the timed
#   choice halfway and the back log match their stored screenshots
#   (story_voice.png, story_choice.png, story_timer.png, story_backlog.png:
#   copy the run's voice.png, choice.png, timer.png and backlog.png to renew
#   them) within a tolerance.
# - Two runs show the same frames.
# - The captured mix (--capture-audio) is not silent while the voiced page
#   shows, is silent in the back log before the click on the voice mark and
#   not silent after it (the music has faded out before the voiced line).
# - After the back log the page is shown as it was before it opened.
# - With the longest names the entry takes (7 characters each, typed over
#   whatever the fields hold), the greeting's first line stays inside the
#   message window (story_longname.png, from the run's longname.png).
# - The real-font run (--real-fonts) shows the voiced page with ink of the
#   text colour and the name in Mina's colour, and the back log's newest
#   page "制限時間オーバー" and the three "・" lines in their colours.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Frames: the title stands at 125; the name entry's OK at 218 and 248; the
# opening transition ends at 271 and the greeting types from 272 (a click at
# 275 completes it, one at 285 turns it); the voiced page from 288, 'A' at
# 297, turned by auto mode 1.7 s after it was set (its voice and 500 ms);
# its continuation, the wait, the next page and the full-screen page; the
# first question from 448 (Down at
# 460 and 464, Return at 475); its page; the second question (a click at
# 563); its page, turned at 578; the timed question from 580, out of time at
# 705; its page complete at 712; the back log from 730 (Page Up at 740 and
# 745, the up arrow mark clicked at 752, 756, 760 and 764), the voice mark
# clicked at 777, Page Down at 790, 793 and 796, the wheel down at 800; the
# page again from 802.
cp "$(dirname "$0")/story.input" "$work/input"

run() {  # run NAME FRAMES [OPTIONS...]: on a fresh copy of the game
  local name=$1 frames=$2
  shift 2
  rm -rf "$work/$name.game" && clone_game "$work/$name.game"
  run_headless "$name" "$work/$name.game" "$frames" "$work/input" "$@"
}
# The loudest sample of the captured mix from frame A to frame B (a frame
# is 50 ms: 2205 stereo frames of 16 bits after the 44-byte header).
loudest() {
  od -An -v -t d2 -j $((44 + $2 * 8820)) -N $((($3 - $2) * 8820)) "$1" |
    awk '{ for (i = 1; i <= NF; ++i) { v = $i < 0 ? -$i : $i; if (v > m) m = v } } END { print m + 0 }'
}

# One run of the input to its end, with the audio and the frames checked;
# a second one to show that the frames repeat.
run whole 830 --capture-audio "$work/mix.wav" --screenshot-at 342 "$work/voice.png" \
  --screenshot-at 472 "$work/choice.png" --screenshot-at 642 "$work/timer.png" \
  --screenshot-at 730 "$work/before.png" --screenshot-at 774 "$work/backlog.png" \
  --screenshot-at 817 "$work/after.png"
check "the voiced page with its continuation matches" "$screendiff" "$expected/story_voice.png" "$work/voice.png" 8 480
check "the first question with the cursor on the second row matches" \
  "$screendiff" "$expected/story_choice.png" "$work/choice.png" 8 480
check "the timed question halfway matches" "$screendiff" "$expected/story_timer.png" "$work/timer.png" 8 480
check "the back log at the voiced line matches" "$screendiff" "$expected/story_backlog.png" "$work/backlog.png" 8 480
check "after the back log the page is as it was" "$screendiff" "$work/before.png" "$work/after.png" 8 480
run twice 830
check "two runs show the same frames" cmp -s "$work/whole.txt" "$work/twice.txt"
check "the mix sounds while the voiced page shows" test "$(loudest "$work/mix.wav" 292 305)" -gt 500
check "the back log is silent before the voice mark is clicked" test "$(loudest "$work/mix.wav" 755 770)" -eq 0
check "the voice mark plays the voice again" test "$(loudest "$work/mix.wav" 780 795)" -gt 500

# New game; Backspace eight times and 7 characters into each name field
# before its OK (218, 248); the greeting completed by a click at 275.
{
  printf '1 move -5 700\n130 move 400 300\n140 button 0 down\n141 button 0 up\n142 move -5 700\n'
  for f in 200 225; do
    for i in 0 1 2 3 4 5 6 7; do printf '%d key 8 down\n%d key 8 up\n' $((f + i)) $((f + i)); done
  done
  printf '208 text ながいみょうじ\n233 text ながいなまえだ\n'
  printf '215 move 320 356\n218 button 0 down\n219 button 0 up\n'
  printf '245 move 320 356\n248 button 0 down\n249 button 0 up\n250 move -5 700\n'
  printf '275 button 0 down\n276 button 0 up\n'
} >"$work/longname.input"
rm -rf "$work/longname.game" && clone_game "$work/longname.game"
run_headless longname "$work/longname.game" 285 "$work/longname.input"
check "the greeting with the longest names stays inside the window" \
  "$screendiff" "$expected/story_longname.png" "$work/longname.png" 8 480

run realfonts 740 --real-fonts --screenshot-at 342 "$work/fonts.png" --screenshot-at 740 "$work/logfonts.png"
differs() { ! "$screendiff" "$1" "$2" 0 0 >/dev/null 2>&1; }
check "the real fonts draw the page differently" differs "$work/voice.png" "$work/fonts.png"
check "the text is inked in its colour" holds_colour "$work/fonts.png" FFFFFF 400
check "the name is inked in Mina's colour" holds_colour "$work/fonts.png" FFAAC8 40
check "the back log shows \"制限時間オーバー\" in its colour" holds_colour "$work/logfonts.png" FF4080 40
check "the back log shows the three \"・\" lines in grey" holds_colour "$work/logfonts.png" 808080 12
exit $failed
