#!/usr/bin/env bash
# run_start.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_TITLE_PNG WORK_DIR
# The sample game's start end to end, headless: the first mode, two logos
# and the title.
# - Without input two runs show the same frames and end on the title, whose
#   screenshot matches the stored one within a small tolerance.
# - A click during the first logo reaches the title earlier.
# - "New game" hands the game over: the title leaves through its exit fade.
#   (What the story then shows comes with the sample's first scene.)
# - "Quit" ends the program and saves the system file.
# - The system file's play counter rises by one per run, however often the
#   title is entered (here restarted by itself).
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"
frames=150

run() {  # run NAME DIR [INPUT]: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  # The pointer stays outside the window unless the input brings it in.
  local name=$1 dir=$2 input=${3:-}
  printf '1 move -5 700\n%s\n' "$input" | grep . >"$work/$name.input"
  local args=("$dir" --headless --frames "$frames" --hash-every 1 --screenshot "$work/$name.png"
              --input "$work/$name.input")
  mkdir -p -m 700 "$work/$name.run"
  XDG_RUNTIME_DIR=$work/$name.run timeout 120 "$program" "${args[@]}" >"$work/$name.out" 2>&1 ||
    { echo "run $name failed:"; cat "$work/$name.out"; exit 1; }
  if grep -q '^\[box\]' "$work/$name.out"; then
    echo "run $name showed message boxes:"; grep '^\[box\]' "$work/$name.out"; exit 1
  fi
  grep '^frame ' "$work/$name.out" >"$work/$name.txt" || true
}
fresh() { rm -rf "$work/$1" && clone_game "$work/$1"; }
# The first frame from which the run shows its last frame to the end.
settled() {
  local last; last=$(tail -1 "$1" | cut -d' ' -f3)
  awk -v h="$last" '$3 != h { s = 0 } $3 == h && !s { s = $2 } END { print s }' "$1"
}
playcount() { od -An -t d4 -j 272 -N 4 "$work/$1/sav/sysfile.sav" | tr -d ' '; }
failed=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}

fresh a && run first "$work/a"
fresh b && run second "$work/b"
check "two runs without input show the same frames" cmp -s "$work/first.txt" "$work/second.txt"
check "the run ends on the title" "$screendiff" "$expected" "$work/first.png" 8 480
first_title=$(settled "$work/first.txt")
check "the title stands still before the end" test "$first_title" -lt $((frames - 5))

# A click on the first logo, then the pointer leaves the window.
fresh c && run skip "$work/c" '10 move 400 300
11 button 0 down
12 button 0 up
13 move -5 700'
skip_title=$(settled "$work/skip.txt")
check "a click during the first logo reaches the title earlier ($skip_title < $first_title)" \
  test "$skip_title" -lt $((first_title - 20))
check "the skipped run ends on the same title" "$screendiff" "$expected" "$work/skip.png" 8 480

# "New game" once the title stands: the title leaves through its exit fade
# (10 frames to black) and hands the game to the story. The story's first
# frames come with the sample's first scene; until then the check ends at
# the fade.
fresh d && run newgame "$work/d" "$((first_title + 2)) move 400 300
$((first_title + 4)) button 0 down
$((first_title + 5)) button 0 up
$((first_title + 6)) move -5 700"
fade=$(awk -v a=$((first_title + 7)) -v b=$((first_title + 22)) '$2 >= a && $2 <= b { print $3 }' \
  "$work/newgame.txt" | sort -u | wc -l)
check "New game starts the title's exit fade ($fade different frames)" test "$fade" -ge 8
not_title() { ! "$screendiff" "$expected" "$1" 8 480 2>/dev/null; }
check "the title is left behind" not_title "$work/newgame.png"

# "Quit" ends the program through its normal shutdown, which saves the
# system file (the run counted once).
fresh q && run quit "$work/q" "$((first_title + 2)) move 400 500
$((first_title + 4)) button 0 down
$((first_title + 5)) button 0 up"
last=$(tail -1 "$work/quit.txt" | cut -d' ' -f2)
check "Quit ends the program (at frame $last)" test "$last" -lt $((first_title + 20))
check "the quit run saved its count" test "$(playcount q)" = 1

# The play counter: one per run on one folder, however often the title is
# entered in it (a title that restarts the chain by itself after 40 frames).
check "a first run counts one" test "$(playcount a)" = 1
run again "$work/a"
check "a second run on the folder counts two" test "$(playcount a)" = 2
fresh e
printf 'autoRestartTime,40\r\n' >>"$work/e/init/title.xtx"
frames=400
run restart "$work/e"
check "the restarting title counts one run once" test "$(playcount e)" = 1
exit $failed
