#!/usr/bin/env bash
# run_save_signals.sh ZORGAME FAULT_LIBRARY GAME_DIR WORK_DIR
# SIGHUP (a closed terminal, a logout) ends the game as its close box does,
# even while it writes a save: the sample game saves into slot 1
# (save_slot1.input) and gets SIGHUP at each point of writing the slot file
# (before and after making its temporary, syncing it and renaming it into
# place, FAULT_AT of the fault library). Each run ends with status 0, the
# slot file whole (the bytes of a run without a signal), no temporary left
# and the system file written.
set -euo pipefail
program=$1 fault=$2 game=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
input=$(dirname "$0")/save_slot1.input

clone_game "$work/plain"
run_headless plain "$work/plain" 560 "$input"
check "a run without a signal writes the slot" test -s "$work/plain/sav/data0.sav"

n=1
while :; do
  clone_game "$work/hup$n"
  touch "$work/hup$n.before"
  mkdir -p -m 700 "$work/hup$n.run"
  status=0
  LD_PRELOAD=$fault FAULT_PROGRAM=zorgame FAULT_PATH=data0.sav FAULT_SIGNAL=HUP FAULT_AT=$n \
    XDG_RUNTIME_DIR=$work/hup$n.run timeout 180 "$program" "$work/hup$n" --headless --frames 560 \
    --hash-every 1 --input "$input" >"$work/hup$n.out" 2>"$work/hup$n.err" || status=$?
  grep -q "^faultshim: SIGHUP at point $n " "$work/hup$n.err" || break
  check "SIGHUP at point $n of the save: status 0" test "$status" = 0
  check "SIGHUP at point $n: the slot is whole" cmp -s "$work/plain/sav/data0.sav" "$work/hup$n/sav/data0.sav"
  check "SIGHUP at point $n: no temporary is left" test -z "$(find "$work/hup$n/sav" -name '*.tmp.*')"
  check "SIGHUP at point $n: the system file is written" test "$work/hup$n/sav/sysfile.sav" -nt "$work/hup$n.before"
  check "SIGHUP at point $n: the run ends at once" test "$(grep -c '^frame ' "$work/hup$n.out" || true)" -lt 540
  [ "$status" = 0 ] || cat "$work/hup$n.err"
  n=$((n + 1))
  [ "$n" -le 20 ] || { check "the save ends within 20 points" false; break; }
done
check "the slot's writing was signalled at six points or more" test "$n" -gt 6
[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
