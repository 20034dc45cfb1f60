#!/usr/bin/env bash
# run_build_refusals.sh BIN_DIR WORK_DIR
# zor-build names what it cannot take: each source folder below holds one
# mistake; zor-build exits 1, prints the line given (the file and the
# problem) and leaves the game folder as the last good build made it.
set -euo pipefail
bin=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/../app/run_lib.sh"

# A source folder the build takes whole: one list and one script.
base() {
  rm -rf "$work/src" && mkdir -p "$work/src/init" "$work/src/spt"
  : >"$work/src/init/game.txt"
  printf 'sys\n' >"$work/src/spt/project.txt"
  printf '  endgame\n' >"$work/src/spt/sys.spt.txt"
}

# refused NAME EXPECTED_LINE: builds $work/src into $work/game, which a good
# build made before; the build must fail with EXPECTED_LINE on stderr and
# leave the game folder's files as they were.
refused() {
  local name=$1 expected=$2 status=0
  "$bin/zor-build" "$work/src" "$work/game" >"$work/$name.out" 2>"$work/$name.err" || status=$?
  check "$name: exit 1" test "$status" = 1
  check "$name: says so" grep -qxF -- "$expected" "$work/$name.err"
  grep -qxF -- "$expected" "$work/$name.err" || cat "$work/$name.err"
  check "$name: the last game stays" cmp -s "$work/good.list" <(cd "$work/game" && find . -type f | sort)
}

base
"$bin/zor-build" "$work/src" "$work/game" >"$work/good.out" 2>&1 || { cat "$work/good.out"; exit 1; }
(cd "$work/game" && find . -type f | sort) >"$work/good.list"
src=$work/src

base; printf 'GIF89a' >"$src/spt/logo.gif"
refused "unknown kind of file" \
  "$src/spt/logo.gif: unknown kind of file \".gif\" in spt/: a list is NAME.txt (NAME.fxf.txt inverted), a script NAME.spt.txt, a scene table NAME.scene.txt"

base; mkdir -p "$src/cdvaw/yu"; printf 'note 440 100\n' >"$src/cdvaw/yu/mi0001.txt"
refused "a voice against the folder rule" \
  "$src/cdvaw/yu/mi0001.txt: the game finds voice \"mi0001\" in cdvaw/mi/ only (put it there, or directly in cdvaw/ to have it placed)"

base; mkdir -p "$src/cdvaw"; printf 'note 440 100\n' >"$src/cdvaw/my voice.txt"
refused "a name the game cannot use" \
  "$src/cdvaw/my voice.txt: the name holds a blank, a comma or a backslash, which split or end a name in the game's lists"

base; mkdir -p "$src/dwq/sys"; echo 'drawn later' >"$src/dwq/sys/title.png"
refused "a picture that is not one" "$src/dwq/sys/title.png: is not a PNG file"

base; mkdir -p "$src/dwq/sys"; printf '. = 000000\n..\n' >"$src/dwq/sys/cursor.txt"
printf '# scales\ndwq/sys/*.txt scale 99\n' >"$src/zor-build.txt"
refused "a bad options line" "$src/zor-build.txt:2: scale \"99\" is not a whole number from 1 to 64"

base; printf 'dwq/bg/*.jpg fit 800x600\n' >"$src/zor-build.txt"
refused "an options line that matches nothing" "$src/zor-build.txt:1: \"dwq/bg/*.jpg\" matches no file of the source folder"

base; mkdir -p "$src/dwq/sys"; printf '. = 000000\n...\n..\n' >"$src/dwq/sys/cursor.txt"
refused "a file the picture tool refuses" "$src/dwq/sys/cursor.txt: refused by zor-picture (its message is above)"
check "... after the tool's own message" grep -q "zor-picture" "$work/a file the picture tool refuses.err"

base; mkdir -p "$src/music"; printf 'A4 100\n' >"$src/music/theme.txt"
refused "an unknown folder" \
  "$src/music/theme.txt: unknown folder \"music/\": a source folder holds init, init2, spt, mok, chart, dwq, wgq, cdvaw, vaw, movie and sav"

# A picture against the folder rule is named, and built: a list may name
# it with its folder.
base; mkdir -p "$src/dwq/bg"; printf '. = 000000\n..\n' >"$src/dwq/bg/ch01.txt"
status=0
"$bin/zor-build" "$src" "$work/game" >"$work/rule.out" 2>"$work/rule.err" || status=$?
check "a picture against the folder rule: built" test "$status" = 0 -a -s "$work/game/dwq/bg/ch01.dwq"
check "a picture against the folder rule: named" grep -qxF \
  "$src/dwq/bg/ch01.txt: warning: a script loads \"ch01\" from dwq/ch/, not dwq/bg/; only a list naming \"bg\\ch01\" finds it here (the option inplace says it belongs there)" \
  "$work/rule.err"

printf 'dwq/bg/ch01.txt inplace\n' >"$src/zor-build.txt"
"$bin/zor-build" "$src" "$work/game" >"$work/inplace.out" 2>"$work/inplace.err" || true
check "... and no more once the options say it belongs there" test ! -s "$work/inplace.err"

# Without zor-check beside it, zor-build stops and names it.
base
mkdir -p "$work/lonebin"
cp "$bin/zor-build" "$work/lonebin/"
for tool in zor-list zor-asm zorgame; do ln -sf "$bin/$tool" "$work/lonebin/$tool"; done
refused_bin() {
  local status=0
  "$work/lonebin/zor-build" "$work/src" "$work/game" >"$work/lone.out" 2>"$work/lone.err" || status=$?
  check "no zor-check: exit 1" test "$status" = 1
  check "no zor-check: says so" grep -qxF "zor-build: zor-check is not beside zor-build (in $work/lonebin): build it or copy it there" "$work/lone.err"
}
refused_bin

# Packs: the pictures of a folder into a volume, the voices of a folder
# into a voice pack; the packed files are not shipped one by one.
# refused_pack NAME EXPECTED_LINE: exit 1 with the line, and nothing written.
refused_pack() {
  local status=0
  "$bin/zor-build" "$src" "$work/packed" >"$work/$1.out" 2>"$work/$1.err" || status=$?
  check "$1: exit 1" test "$status" = 1
  check "$1: says so" grep -qxF -- "$2" "$work/$1.err"
  grep -qxF -- "$2" "$work/$1.err" || cat "$work/$1.err"
  check "$1: nothing written" test ! -e "$work/packed"
}
base; mkdir -p "$src/dwq/bg" "$src/cdvaw"
printf '. = 000000\n..\n' >"$src/dwq/bg/bg01.txt"
printf '. = 000000\n..\n' >"$src/dwq/bg/bg02.txt"
printf 'note 440 100\n' >"$src/cdvaw/ke0001.txt"
printf 'pack dwq/bg bg0\npack cdvaw/ke\n' >"$src/zor-build.txt"
refused_pack "a picture pack the game would not read" \
  "$src/zor-build.txt:1: the game reads pack bg0 only with dwqPackLevel 1 or more, and init/game.txt does not set dwqPackLevel; add the line \"dwqPackLevel,1\" to init/game.txt"
printf 'dwqPackLevel,0\n' >"$src/init/game.txt"
refused_pack "a picture pack at level 0" \
  "$src/zor-build.txt:1: the game reads pack bg0 only with dwqPackLevel 1 or more, and init/game.txt sets dwqPackLevel to 0; add the line \"dwqPackLevel,1\" to init/game.txt"
printf 'dwqPackLevel,1\n' >"$src/init/game.txt"
status=0
"$bin/zor-build" "$src" "$work/game" >"$work/packs.out" 2>&1 || status=$?
check "packs: built" test "$status" = 0
for file in dwq/bg0.gtb dwq/bg0.gpk cdvaw/ke.vpk cdvaw/ke.vtb; do
  check "packs: the game holds $file" test -s "$work/game/$file"
done
check "packs: no single files beside them" test ! -e "$work/game/dwq/bg" -a ! -e "$work/game/cdvaw/ke"

# A game folder that holds only empty folders (a build tool makes the
# folder of its output first) is built into.
base; mkdir -p "$work/fresh/sav"
status=0
"$bin/zor-build" "$src" "$work/fresh" >"$work/fresh.out" 2>&1 || status=$?
check "a folder of empty folders: built" test "$status" = 0 -a -s "$work/fresh/spt/sys.spt"

# A folder that is not a game is never replaced.
mkdir -p "$work/photos" && echo keep >"$work/photos/holiday.jpg"
status=0
"$bin/zor-build" "$work/src" "$work/photos" 2>"$work/photos.err" || status=$?
check "a folder that is no game: exit 1" test "$status" = 1
check "a folder that is no game: says so" grep -qF "$work/photos: not empty and not a game folder" "$work/photos.err"
check "a folder that is no game: left alone" test "$(cat "$work/photos/holiday.jpg")" = keep

exit $failed
