#!/usr/bin/env bash
# run_moviefault.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# A movie whose file passes the start-up's check but does not play, end to
# end, headless: the title's Movie button is clicked twice in one run.
# - cut: the file cut to 4 KiB (its header whole): the movie breaks off at
#   once;
# - header: 200 bytes of its header zeroed: the file does not open as a
#   movie.
# Each play writes "movie: FILE: the file is not a movie that can be
# decoded" on stderr; the first shows the box naming the file, the second
# none; the run ends on the title. The whole movie plays with neither.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Movie on the title at frame 160 and again, back on the title, at 280.
{ echo "1 move -5 700"; click 160 400 550; click 280 400 550; } >"$work/input"

# run NAME: a copy of the game in $work/NAME, run headless; stderr in
# $work/NAME.err, the last frame in $work/NAME.png.
run() {
  mkdir -p -m 700 "$work/$1.run"
  XDG_RUNTIME_DIR=$work/$1.run timeout 300 "$program" "$work/$1" --headless --frames 420 \
    --screenshot "$work/$1.png" --input "$work/input" >/dev/null 2>"$work/$1.err" ||
    { echo "run $1 failed:"; cat "$work/$1.err"; exit 1; }
}
count() { grep -cF -- "$2" "$work/$1.err" || true; }

line='movie: movie\default.wmv: the file is not a movie that can be decoded'
box='[box] ERROR: movie\default.wmv'
while read -r name lines boxes damage; do
  rm -rf "$work/$name" && clone_game "$work/$name"
  movie=$work/$name/movie/default.wmv
  case $damage in
    cut) head -c 4096 "$game/movie/default.wmv" >"$movie" ;;
    header) dd if=/dev/zero of="$movie" bs=1 seek=500 count=200 conv=notrunc status=none ;;
  esac
  run "$name"
  check "$name: the stderr line at each of the two plays" test "$(count "$name" "$line")" = "$lines"
  check "$name: the box the first time only" test "$(count "$name" "$box")" = "$boxes"
  check "$name: back on the title" "$screendiff" "$expected/title.png" "$work/$name.png" 8 480
done <<'CASES'
cut 2 1 cut
header 2 1 header
whole 0 0 none
CASES
grep -F "$line (it breaks off at 0.0 s of its 3.0 s)" "$work/cut.err" >/dev/null ||
  { echo "FAIL cut: the line says where the movie breaks off"; failed=1; }
exit $failed
