#!/usr/bin/env bash
# run_libraries.sh ZORGAME GAME_DIR WORK_DIR
# The shared libraries the program loads up to its first headless frame (the
# dynamic loader's own record, LD_DEBUG=files, counts every one, those
# opened later by dlopen included):
# - a game that plays no movie at start (only init/ and spt/) loads at most
#   70 and none of the movie decoder module or FFmpeg;
# - the sample game, whose start checks the movie codec on its movie, reads
#   the movie's header for that: at most 70, and no decoder module;
# - a movie whose header does not tell is checked by the decoder: the
#   module and FFmpeg are loaded then;
# - a module beside the program that cannot be loaded is named on stderr
#   with the loader's reason, and the game still runs.
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
failed=0

check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}

# first_frame NAME PROGRAM DIR: one headless frame under the loader's record;
# the loaded libraries, one a line, in $work/NAME.libs.
first_frame() {
  local name=$1 prog=$2 dir=$3
  mkdir -p -m 700 "$work/$name.run"
  XDG_RUNTIME_DIR=$work/$name.run LD_DEBUG=files timeout 120 "$prog" "$dir" --headless --frames 1 \
    >"$work/$name.out" 2>&1 || { echo "run $name failed:"; grep -v 'file=\|binding\|calling\|^ *[0-9]*:\s*$' "$work/$name.out"; exit 1; }
  sed -n 's/.*file=\([^ ]*\) \[[0-9]*\];  generating link map.*/\1/p' "$work/$name.out" >"$work/$name.libs"
}

loads() { grep -q "$2" "$work/$1.libs"; }
loads_none() { ! loads "$@"; }

mkdir -p "$work/plain"
cp -r "$game/init" "$game/spt" "$work/plain/"
first_frame plain "$program" "$work/plain"
count=$(wc -l <"$work/plain.libs")
echo "a game without movies: $count shared libraries at the first frame"
check "a game without movies loads at most 70 libraries" test "$count" -le 70
check "a game without movies loads no movie decoder" loads_none plain 'zor_movie\|libav\|libsw'

cp -r "$game" "$work/sample"
first_frame sample "$program" "$work/sample"
count=$(wc -l <"$work/sample.libs")
echo "the sample game: $count shared libraries at the first frame"
check "the sample game loads at most 70 libraries" test "$count" -le 70
check "the sample game's codec check loads no movie decoder" loads_none sample 'zor_movie\|libav\|libsw'

# unreadable DIR: a copy of the sample whose movie header is zeroed.
unreadable() {
  cp -r "$game" "$1"
  dd if=/dev/zero of="$1/movie/default.wmv" bs=4096 count=1 conv=notrunc status=none
}
unreadable "$work/zeroed"
first_frame zeroed "$program" "$work/zeroed"
check "a movie whose header does not tell loads the decoder module" loads zeroed 'zor_movie\.so'
check "a movie whose header does not tell loads FFmpeg" loads zeroed 'libavcodec'

# The program beside a broken module (a hard link keeps /proc/self/exe here).
mkdir -p "$work/broken"
ln "$program" "$work/broken/zorgame" 2>/dev/null || cp "$program" "$work/broken/zorgame"
echo "not a module" >"$work/broken/zor_movie.so"
unreadable "$work/broken/game"
mkdir -p -m 700 "$work/broken.run"
XDG_RUNTIME_DIR=$work/broken.run timeout 120 "$work/broken/zorgame" "$work/broken/game" --headless --frames 5 \
  >"$work/broken.out" 2>&1 || { echo "run broken failed:"; cat "$work/broken.out"; exit 1; }
check "a broken module is named with the loader's reason" \
  grep -q "decoder module $work/broken/zor_movie.so cannot be loaded (.*file too short)" "$work/broken.out"
exit $failed
