#!/usr/bin/env bash
# run_config.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's configuration screen end to end, headless.
# - A fresh folder's screen matches its stored screenshot (config.png, from
#   the run's untouched.png): the heading stands clear of the first row.
# - From the title's Config button: the music bar dragged to its left end
#   and the message speed raised to its top, then Back and Quit; the
#   system file holds music volume 0 and message speed 4.
# - A second run on the same folder opens the screen again: the bars stand
#   where they were left (the same picture as a run that made the change
#   and stayed), unlike a fresh folder's screen; the music bar at its
#   minimum leaves its empty track (config_min.png).
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME DIR FRAMES [INPUT]: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  printf '1 move -5 700\n%s\n' "${4:-}" | grep . >"$work/$1.input"
  run_headless "$1" "$2" "$3" "$work/$1.input"
}
fresh() { rm -rf "$work/$1" && clone_game "$work/$1"; }
# A word of the system data (the file's words start 64 bytes before).
setting() { od -An -t d4 -j $(($2 + 64)) -N 4 "$1" | tr -d ' '; }

# When the title stands still.
fresh t && run title "$work/t" 150
T=$(settled "$work/title.txt")
C=$((T + 45))   # the configuration screen has faded in
open="$((T + 2)) move 400 400
$((T + 4)) button 0 down
$((T + 5)) button 0 up
$((T + 6)) move 700 20"
change="$C move 450 78
$((C + 1)) button 0 down
$((C + 2)) move 360 78
$((C + 3)) move 300 78
$((C + 4)) button 0 up
$((C + 6)) move 619 226
$((C + 7)) button 0 down
$((C + 8)) button 0 up
$((C + 10)) move 700 20"
leave="$((C + 20)) move 700 560
$((C + 22)) button 0 down
$((C + 23)) button 0 up
$((C + 90)) move 400 500
$((C + 92)) button 0 down
$((C + 93)) button 0 up"

fresh a
music_before=$(setting "$game/sav/sysfile.org" 176)
speed_before=$(setting "$game/sav/sysfile.org" 136)
run change "$work/a" $((C + 150)) "$open
$change
$leave"
check "the change run quit through the title" test "$(wc -l <"$work/change.txt")" -lt $((C + 150))
check "music volume $music_before became 0" test "$(setting "$work/a/sav/sysfile.sav" 176)" -eq 0
check "message speed $speed_before became 4" test "$(setting "$work/a/sav/sysfile.sav" 136)" -eq 4

run again "$work/a" $((C + 30)) "$open"
fresh b && run stay "$work/b" $((C + 30)) "$open
$change"
fresh c && run untouched "$work/c" $((C + 30)) "$open"
check "a fresh folder's screen matches its stored screenshot" \
  "$screendiff" "$expected/config.png" "$work/untouched.png" 8 480
check "the second run shows the bars where they were left" "$screendiff" "$work/stay.png" "$work/again.png" 0 0
check "a bar at its minimum leaves its track (music, config_min.png)" \
  "$screendiff" "$expected/config_min.png" "$work/stay.png" 8 480
differs() { ! "$screendiff" "$work/untouched.png" "$1" 0 0 >/dev/null 2>&1; }
check "a fresh folder shows them elsewhere" differs "$work/again.png"

# New game, the name entry's OK twice, the greeting: the frame from which
# the screen stays still for 5 frames (the page typed; the message cursor
# blinks every 10 frames) after the second OK.
story="$((T + 5)) move 400 300
$((T + 15)) button 0 down
$((T + 16)) button 0 up
$((T + 17)) move -5 700
$((T + 90)) move 320 356
$((T + 93)) button 0 down
$((T + 94)) button 0 up
$((T + 120)) move 320 356
$((T + 123)) button 0 down
$((T + 124)) button 0 up
$((T + 125)) move -5 700"
typed_by() {  # typed_by HASHES FROM
  awk -v from="$2" '$2 < from { next } $3 != h { h = $3; s = $2; n = 0 } { if (++n == 5) { print s; exit } }' "$1"
}
cp -r "$work/a" "$work/fast"
run fast "$work/fast" $((T + 200)) "$story"
fresh slow && run slow "$work/slow" $((T + 200)) "$story"
fast_at=$(typed_by "$work/fast.txt" $((T + 126))) slow_at=$(typed_by "$work/slow.txt" $((T + 126)))
check "the first line is typed sooner at the raised speed ($fast_at < $slow_at)" \
  test "${fast_at:-9999}" -lt "${slow_at:-0}"

exit $failed
