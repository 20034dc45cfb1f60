#!/usr/bin/env bash
# run_build_keeps_saves.sh BIN_DIR FAULT_LIBRARY WORK_DIR
# No build deletes what the player saved: a build ended at each of its
# renames, or one whose move of a save fails, leaves the player's files
# where the next build finds them and puts them back in the game folder; a
# source folder that ships a file the game writes for the player is refused.
set -euo pipefail
bin=$1 fault=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/../app/run_lib.sh"
# The fault library is not built with the sanitizers; it comes first.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0

src=$work/src game=$work/game
mkdir -p "$src/init" "$src/spt" "$src/sav"
: >"$src/init/game.txt"
printf 'sys\n' >"$src/spt/project.txt"
printf '  endgame\n' >"$src/spt/sys.spt.txt"
printf 'shipped results\n' >"$src/sav/result.org"

# The player's files, as a played game has them.
play() {
  mkdir -p "$game/sav/chart0"
  printf 'slot 0\n' >"$game/sav/data0.sav"
  printf 'slot 3\n' >"$game/sav/data3.sav"
  printf 'system\n' >"$game/sav/sysfile.sav"
  printf 'marks\n' >"$game/sav/tsuka.dat"
  printf 'chart slot\n' >"$game/sav/chart0/slot1.dat"
  printf 'kept aside\n' >"$game/sav/result.sav.bad.2"
}
saves() { (cd "$game/sav" && find . -type f ! -name '*.org' | sort | xargs cksum); }

build() { "$bin/zor-build" "$src" "$game" >"$work/$1.out" 2>"$work/$1.err"; }

build first || { cat "$work/first.err"; exit 1; }
play
saves >"$work/saves.txt"

# Ended before or after each of its renames, for every rename the build
# makes (FAULT_AT counts both points of each): two more
# builds end well and the player's files are all there, byte for byte.
k=1
while :; do
  status=0
  LD_PRELOAD=$fault FAULT_PROGRAM=zor-build FAULT_AT=$k build "killed$k" || status=$?
  [ "$status" = 0 ] && break
  check "ended at point $k: killed" test "$status" = 137
  for again in 1 2; do
    status=0
    build "after$k.$again" || status=$?
    check "ended at point $k, build $again after it: exit 0" test "$status" = 0
    [ "$status" = 0 ] || cat "$work/after$k.$again.err"
  done
  check "ended at point $k: the player's files are kept" cmp -s "$work/saves.txt" <(saves)
  check "ended at point $k: nothing is left beside the game" \
    test ! -e "$game.zor-build-old" -a ! -e "$game.zor-build-new"
  check "ended at point $k: the game ships its files" test -s "$game/sav/result.org" -a -s "$game/sav/sysfile.org"
  k=$((k + 1))
  [ "$k" -le 40 ] || { check "the build ends within 40 points" false; break; }
done
check "the swap was ended at six points or more" test "$k" -gt 6
check "... and says where the player's files were" \
  grep -q "an earlier build was interrupted" "$work/after1.1.err" "$work/after2.1.err"

# A save that cannot be moved: the build fails and names it and where the
# rest are; the next build keeps them all.
status=0
LD_PRELOAD=$fault FAULT_PROGRAM=zor-build FAULT_RENAME_FAIL=data3.sav build unmovable || status=$?
check "a save that cannot be moved: exit 1" test "$status" = 1
check "... named, with where the rest stay" \
  grep -q "cannot keep $game.zor-build-old/sav/data3.sav (to $game/sav/data3.sav): .*stay in $game.zor-build-old/sav, and the next zor-build moves them" \
  "$work/unmovable.err"
status=0
build unmovable.after || status=$?
check "... the next build: exit 0" test "$status" = 0
check "... and every file of the player's is kept" cmp -s "$work/saves.txt" <(saves)

# Player's files an older zor-build left in its staging folder go back.
mkdir -p "$game.zor-build-new/sav"
mv "$game/sav/data3.sav" "$game.zor-build-new/sav/"
build staged || { cat "$work/staged.err"; check "a staging folder with a save: exit 0" false; }
check "a save left in the staging folder is kept" cmp -s "$work/saves.txt" <(saves)

# The same name on both sides: both stay, and the build says so.
mkdir -p "$game.zor-build-old/sav"
printf 'older slot 0\n' >"$game.zor-build-old/sav/data0.sav"
status=0
build twice || status=$?
check "a save in both folders: exit 1" test "$status" = 1
check "... both kept" test -s "$game.zor-build-old/sav/data0.sav"
check "... and named" grep -q "$game.zor-build-old/sav/data0.sav: the player's file, and $game/sav/data0.sav is one of the same name; both stay" "$work/twice.err"
check "... the game's own unchanged" cmp -s "$work/saves.txt" <(saves)
rm -r "$game.zor-build-old"

# A source folder that ships a file the game writes for the player.
for file in sav/data0.sav sav/mita.dat sav/chart1/slot0.dat; do
  mkdir -p "$(dirname "$src/$file")" && printf 'shipped\n' >"$src/$file"
  status=0
  build shipped || status=$?
  check "$file shipped: exit 1" test "$status" = 1
  check "$file shipped: named" grep -q "^$src/$file: " "$work/shipped.err"
  check "$file shipped: the player's files stay" cmp -s "$work/saves.txt" <(saves)
  rm -r "${src:?}/$file"
done
check "a shipped save says why" grep -q "the game writes this file for the player" <(
  printf 'x\n' >"$src/sav/data0.sav"; build why || true; cat "$work/why.err")

[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
