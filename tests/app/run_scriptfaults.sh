#!/usr/bin/env bash
# run_scriptfaults.sh ZORGAME ZOR_ASM GAME_DIR WORK_DIR
# An author's script faults in the minimal game, end to end, headless: each
# scene script below replaces spt/scene.spt in a copy of the game, and the
# run must say what went wrong, once, naming the script and where:
# - loop: a loop that never waits is named on stderr once;
# - runoff: a scene that runs off its end shows a box and ends on the title;
# - nosuch: a jump to a scene script that does not exist shows one box, at
#   the jump;
# - numbers: an effect and a wipe that do not exist are named on stderr;
# - fit: a page with more lines than the window holds and a line past the
#   screen's edge are named on stderr, one line a page.
set -euo pipefail
program=$1 asm=$2 game=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# scene NAME: assembles $work/NAME.txt into a fresh copy of the game.
scene() {
  rm -rf "$work/$1" && clone_game "$work/$1"
  "$asm" "$work/$1.txt" "$work/$1/spt/scene.spt" 2>/dev/null
}
# word NAME WHAT: the word where the first record listed as WHAT starts in
# the scene script of NAME.
word() { "$asm" --dump "$work/$1/spt/scene.spt" | awk -v w="$2" '$0 ~ w { sub(":", "", $1); print $1; exit }'; }
# run NAME FRAMES: the copy run headless with $work/input; stderr in
# $work/NAME.err, the frames in $work/NAME.txt.
run() {
  mkdir -p -m 700 "$work/$1.run" "$work/$1.tmp"
  XDG_RUNTIME_DIR=$work/$1.run TMPDIR=$work/$1.tmp timeout 300 "$program" "$work/$1" --headless \
    --frames "$2" --hash-every 1 --input "$work/input" >"$work/$1.txt" 2>"$work/$1.err" ||
    { echo "run $1 failed:"; cat "$work/$1.err"; exit 1; }
}
# has NAME LINE: the run's stderr holds LINE exactly once.
has() { test "$(grep -cxF -- "$2" "$work/$1.err")" = 1; }
boxes() { grep -c '^\[box\]' "$work/$1.err" || true; }

# The first page comes at once; a click at frame 40 goes past it.
{ echo "1 move -5 700"; click 40 400 300; } >"$work/input"

cat >"$work/loop.txt" <<'EOF'
  text "a" key=1
spin:
  goto spin
EOF
scene loop
run loop 160
w=$(word loop goto)
check "loop: one line names the script and the loop" has loop \
  "spt\\scene.spt: the script has run 100 frames in a row without waiting (level 1, now at word $w); nothing on the screen changes until it reaches a text, wait or choice"
check "loop: no box" test "$(boxes loop)" = 0

cat >"$work/runoff.txt" <<'EOF'
  text "a" key=1
EOF
scene runoff
run runoff 120
w=$(word runoff end)
check "runoff: the box names the script and the word" has runoff \
  "[box] ERROR: spt\\scene.spt: the script ran off its end at word $w"
check "runoff: the box says what happens" grep -qxF \
  "No exitscript, endgame or jumpscript comes before it; the game goes back to the title." "$work/runoff.err"
check "runoff: one box" test "$(boxes runoff)" = 1
last=$(tail -1 "$work/runoff.txt" | cut -d' ' -f3)
check "runoff: the title shows (not the black story screen)" test "$(grep -c " $last\$" "$work/runoff.txt")" -lt 100

cat >"$work/nosuch.txt" <<'EOF'
  text "a" key=1
  text "b" key=2
  jumpscript "nosuch"
EOF
scene nosuch
{ echo "1 move -5 700"; click 40 400 300; click 80 400 300; } >"$work/input"
run nosuch 160
check "nosuch: one box" test "$(boxes nosuch)" = 1
check "nosuch: the box names the file" has nosuch "[box] ERROR: Script File not found:spt\\nosuch.spt"
{ echo "1 move -5 700"; click 40 400 300; } >"$work/input"
run nosuch 70
check "nosuch: no box a page before the jump" test "$(boxes nosuch)" = 0

cat >"$work/numbers.txt" <<'EOF'
  effect 0 137
  effect 1 59 20 96
  wipe 137 10
  text "a" key=1
  exitscript
EOF
scene numbers
run numbers 60
check "numbers: the effect" has numbers \
  "spt\\scene.spt at word $(word numbers effect): effect 137 does not exist; channel 0 starts nothing"
w=$("$asm" --dump "$work/numbers/spt/scene.spt" | awk '/effect/ { n++; if (n == 2) { sub(":", "", $1); print $1 } }')
check "numbers: the simple wipe's wipe" has numbers \
  "spt\\scene.spt at word $w: wipe 96 of effect 59 does not exist; channel 1 draws nothing"
check "numbers: the transition's wipe" has numbers \
  "spt\\scene.spt at word $(word numbers wipe): wipe 137 does not exist; the transition shows no wipe"

# 60 + 30 cells of 25 pixels reach x 810.
cat >"$work/fit.txt" <<'EOF'
  text "ユイ\r\n1\r\n2\r\n3\r\n4" key=1
  text "ユイ\r\nあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ" key=2
  exitscript
EOF
scene fit
{ echo "1 move -5 700"; click 40 400 300; } >"$work/input"
run fit 80
check "fit: too many lines" has fit \
  "spt\\scene.spt at word $(word fit text): the page with key 1: 5 lines where the message window holds 4 (the last line is not shown)"
w=$("$asm" --dump "$work/fit/spt/scene.spt" | awk '/text/ { n++; if (n == 2) { sub(":", "", $1); print $1 } }')
check "fit: a line too wide" has fit \
  "spt\\scene.spt at word $w: the page with key 2: line 2 reaches x 810, past the screen's right edge at 800"
exit $failed
