#!/usr/bin/env bash
# run_codecerror.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The start-up's movie check failing, end to end, headless: the movie file
# missing, empty, damaged or of another kind, or no movie mode at all.
# - Each run shows the missing-codec screen with its words (stored
#   screenshot codec_error.png within a tolerance; run with
#   ZOR_WRITE_EXPECTED=1 to renew it) and says on stderr which file failed
#   and why; no run shows a box.
# - "No movies" goes on to the title; "Quit" ends the program.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# damaged NAME HOW: a copy of the game in $work/NAME with its movie damaged.
damaged() {
  local dir=$work/$1 movie=$work/$1/movie/default.wmv
  rm -rf "$dir" && clone_game "$dir"
  mkdir -p "$dir/movie"
  case $2 in
    missing) rm -f "$movie" ;;
    empty) : >"$movie" ;;
    damaged) [ -f "$movie" ] || head -c 20000 /dev/urandom >"$movie"
             dd if=/dev/zero of="$movie" bs=4096 count=1 conv=notrunc status=none ;;
    sound) cp "$game/vaw/sys/logo.vaw" "$movie" ;;
    nomode) grep -v '^printmovieIsDefault' "$game/init/game.xtx" >"$dir/init/game.xtx" || true ;;
  esac
}
# stderr_says NAME TEXT: the run's output holds the line.
stderr_says() { grep -qF "$2" "$work/$1.out"; }
# same_screen A B: the last frames of two runs match.
same_screen() { "$screendiff" "$work/$1.png" "$work/$2.png" 0 0 >/dev/null 2>&1; }

echo "1 move -5 700" >"$work/still.input"
for how in missing empty damaged sound nomode; do
  damaged "$how" "$how"
  run_headless "$how" "$work/$how" 40 "$work/still.input"
done

if [ "${ZOR_WRITE_EXPECTED:-}" = 1 ]; then cp "$work/missing.png" "$expected/codec_error.png"; fi
check "a missing movie shows the missing-codec screen" \
  "$screendiff" "$expected/codec_error.png" "$work/missing.png" 8 480
for how in empty damaged sound nomode; do
  check "the screen is the same for a movie check failed by: $how" same_screen missing "$how"
done
check "stderr names the missing file" stderr_says missing 'movie check: movie\default.wmv: the file is not there'
check "stderr names the empty file" stderr_says empty 'movie check: movie\default.wmv: the file is empty'
check "stderr names the damaged file" stderr_says damaged \
  'movie check: movie\default.wmv: the file is not a movie that can be decoded'
check "stderr names the file of another kind" stderr_says sound \
  'movie check: movie\default.wmv: the file is not a movie that can be decoded'
check "stderr says the game has no movie mode" stderr_says nomode \
  'movie check: the game has no movie mode (see "printmovieIsDefault" in init\game.xtx)'

# "No movies" (the dialog's left button) goes on through the logos to the
# title; "Quit" (its right button) ends the program at once.
click 20 200 389 >"$work/nomovies.input"
run_headless nomovies "$work/missing" 200 "$work/nomovies.input"
check "No movies goes on to the title" "$screendiff" "$expected/title.png" "$work/nomovies.png" 8 480
click 20 580 389 >"$work/quit.input"
damaged quit missing
run_headless quit "$work/quit" 200 "$work/quit.input"
last=$(tail -1 "$work/quit.txt" | cut -d' ' -f2)
check "Quit ends the program (at frame $last)" test "$last" -lt 40
exit $failed
