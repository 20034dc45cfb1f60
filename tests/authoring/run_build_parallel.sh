#!/usr/bin/env bash
# run_build_parallel.sh BIN_DIR WORK_DIR SOURCE_DIR...
# zor-build -j 1 and -j 4 make the same game folder, byte for byte, and say
# the same on stdout and stderr in the same order: for each source folder
# given, and for one whose files the tools refuse or warn about.
set -euo pipefail
bin=$(realpath "$1") work=$2
shift 2
rm -rf "$work" && mkdir -p "$work"
work=$(realpath "$work")
source "$(dirname "$0")/../app/run_lib.sh"

# A folder of conversions with something to say: pictures over the screen
# (a warning each) and pictures the picture tool refuses, between them.
mistakes=$work/mistakes
mkdir -p "$mistakes/init" "$mistakes/spt" "$mistakes/dwq/bg"
: >"$mistakes/init/game.txt"
printf 'sys\n' >"$mistakes/spt/project.txt"
printf '  endgame\n' >"$mistakes/spt/sys.spt.txt"
for i in $(seq -w 1 12); do
  case $i in
    03|07|11) printf '. = 000000\n...\n..\n' >"$mistakes/dwq/bg/bg$i.txt" ;;  # rows of unequal length
    *) printf '. = 0000%02x\n.............\n' "$((10#$i))" >"$mistakes/dwq/bg/bg$i.txt" ;;
  esac
done
printf 'dwq/bg/*.txt scale 64\n' >"$mistakes/zor-build.txt"  # 832 pixels wide: over the screen

n=0
for src in "$@" "$mistakes"; do
  n=$((n + 1))
  for j in 1 4; do
    status=0
    (cd "$work" && "$bin/zor-build" -j "$j" "$src" game) >"$work/$n.j$j.out" 2>"$work/$n.j$j.err" || status=$?
    echo "$status" >"$work/$n.j$j.status"
    rm -rf "$work/game.j$j" && if [ -d "$work/game" ]; then mv "$work/game" "$work/game.j$j"; fi
  done
  check "$src: the same exit status" cmp -s "$work/$n.j1.status" "$work/$n.j4.status"
  check "$src: the same stdout" cmp -s "$work/$n.j1.out" "$work/$n.j4.out"
  check "$src: the same stderr" cmp -s "$work/$n.j1.err" "$work/$n.j4.err"
  diff "$work/$n.j1.err" "$work/$n.j4.err" || true
  if [ -d "$work/game.j1" ]; then
    check "$src: the same game folder, the system file included" diff -r "$work/game.j1" "$work/game.j4"
    # The shipped system file holds no installation identifier (16 bytes
    # at 1456): a player's first start makes one of its own.
    id() { od -An -tx1 -j 1456 -N 16 "$1" | tr -d ' \n'; }
    check "$src: no identifier shipped" test "$(id "$work/game.j1/sav/sysfile.org")" = 00000000000000000000000000000000
    mkdir -p "$work/run" && chmod 700 "$work/run"
    XDG_RUNTIME_DIR=$work/run "$bin/zorgame" "$work/game.j1" --headless --frames 1 >/dev/null 2>&1 || true
    check "$src: a player's first start makes its own identifier" \
      test "$(id "$work/game.j1/sav/sysfile.sav")" != 00000000000000000000000000000000
  fi
  rm -rf "$work/game.j1" "$work/game.j4"
done
cat "$work/$n.j4.err"
check "the refusals come in the plan's order, each after its tool's message" \
  test "$(grep -o 'bg/bg[0-9]*\.txt: refused by zor-picture' "$work/$n.j4.err" | tr '\n' ' ')" = \
  "bg/bg03.txt: refused by zor-picture bg/bg07.txt: refused by zor-picture bg/bg11.txt: refused by zor-picture "
exit $failed
