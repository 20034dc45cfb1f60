#!/usr/bin/env bash
# check_damaged.sh ZOR_CHECK GAME_DIR WORK_DIR [--count]: makes damaged
# copies of a clean game folder, one damage each (a copy hard-links every
# file it leaves alone), and expects zor-check to exit 1 naming the damaged
# file for each. With --count it only prints how many copies pass.
set -u
check=$1 game=$(cd "$2" && pwd) work=$3 count=${4:-}
rm -rf "$work"
mkdir -p "$work"
failed=0 passed=0 total=0

# A fake MP3 stream: an ID3 tag and frame headers, as a player's MP3 file
# starts.
mp3() {
  printf 'ID3\x03\x00\x00\x00\x00\x00\x00'
  for _ in $(seq 1 64); do printf '\xff\xfb\x90\x64'; head -c 413 /dev/zero; done
}

# damage NAME FILE_NAMED ACTION...: copies the game, runs ACTION in the copy
# (as a shell text), and checks the lint's verdict.
damage() {
  local name=$1 named=$2 action=$3
  local copy=$work/$name
  cp -al "$game" "$copy"
  (cd "$copy" && rm -f -- "$named" 2>/dev/null; eval "$action") || { echo "$name: the damage could not be made"; failed=1; return; }
  total=$((total + 1))
  local out rc
  out=$("$check" "$copy" 2>&1)
  rc=$?
  if [ "$rc" -eq 0 ]; then passed=$((passed + 1)); fi
  if [ -z "$count" ] && { [ "$rc" -ne 1 ] || ! grep -qF -- "$copy/$named" <<<"$out"; }; then
    printf '%s\n' "$out" | head -20
    echo "$name: zor-check ended with status $rc; expected 1 and a line naming $copy/$named"
    failed=1
  fi
  rm -rf "$copy"
}


damage empty_window_picture dwq/sys/ta_meswin.dwq ': > dwq/sys/ta_meswin.dwq'
for pic in dwq/bg/bg01.dwq dwq/ev/ev01.dwq dwq/sys/ta_backButton.dwq dwq/ch/$(ls "$game/dwq/ch" | head -1); do
  base=$(basename "$pic" .dwq)
  damage "cut_$base" "$pic" "head -c \$(( \$(stat -c %s '$game/$pic') / 2 )) '$game/$pic' > '$pic'"
  damage "header_only_$base" "$pic" "head -c 64 '$game/$pic' > '$pic'"
done
damage empty_picture dwq/ev/ev02.dwq ': > dwq/ev/ev02.dwq'
damage folder_for_picture dwq/bg/bg01.dwq 'mkdir dwq/bg/bg01.dwq'
damage folder_for_list init/title.xtx 'mkdir init/title.xtx'
damage folder_for_voice cdvaw/mi/mina01.vaw 'mkdir cdvaw/mi/mina01.vaw'
damage emptied_project_list spt/project.xtx ': > spt/project.xtx'
damage sparse_empty_picture dwq/ev/ev01.dwq 'truncate -s 3G dwq/ev/ev01.dwq'
damage mp3_voice cdvaw/mi/mina01.vaw 'mp3 > cdvaw/mi/mina01.vaw'
damage mp3_music wgq/bgm01.wgq 'mp3 > wgq/bgm01.wgq'
damage mp3_sound vaw/sys/logo.vaw 'mp3 > vaw/sys/logo.vaw'
damage cut_voice cdvaw/mi/mina02.vaw "head -c 100 '$game/cdvaw/mi/mina02.vaw' > cdvaw/mi/mina02.vaw"
damage empty_music wgq/mr_lake.wgq ': > wgq/mr_lake.wgq'
damage cut_music wgq/mr_star.wgq "head -c 200 '$game/wgq/mr_star.wgq' > wgq/mr_star.wgq"
damage music_list_that_cannot_play wgq/bgm01.mml 'printf "bgm01 [2:]" > wgq/bgm01.mml'
damage music_list_naming_no_music wgq/bgm01.mml 'printf "bgm01 [2:bgm99]" > wgq/bgm01.mml'

# The backgrounds in a pack volume the game reads (dwqPackLevel,1), and
# Mina's voices in their voice pack, each then damaged.
bin=$(dirname "$check")
packed() {  # the packs made in the copy, its loose files left out
  { cat "$game/init/game.xtx"; printf 'dwqPackLevel,1\r\n'; } >init/game.new && rm init/game.xtx &&
    mv init/game.new init/game.xtx &&
    "$bin/zor-pack" dwq/bg dwq/bg0.gtb >/dev/null && rm -r dwq/bg &&
    "$bin/zor-sound" pack cdvaw/mi.vpk cdvaw/mi/*.vaw >/dev/null && rm -r cdvaw/mi
}
damage packed_picture_damaged dwq/bg0.gpk 'packed && head -c 200 /dev/zero | dd of=dwq/bg0.gpk conv=notrunc 2>/dev/null'
damage packed_pictures_cut_short dwq/bg0.gtb 'packed && truncate -s 1000 dwq/bg0.gpk'
damage voice_pack_cut cdvaw/mi.vpk 'packed && truncate -s 1000 cdvaw/mi.vpk'
damage voice_in_pack_damaged cdvaw/mi.vpk 'packed && head -c 200 /dev/zero | dd of=cdvaw/mi.vpk bs=1 seek=0 conv=notrunc 2>/dev/null'
damage voice_pack_without_data cdvaw/mi.vtb 'packed && rm cdvaw/mi.vpk'

# A line past the message window picture's right edge (still inside the
# screen) is a warning: the lint says so and exits 0.
copy=$work/window_edge
cp -al "$game" "$copy"
sed -i 's/^sizeX,.*/sizeX,300/' "$copy/init/messageWindow.xtx"
out=$("$check" "$copy" 2>&1)
rc=$?
if [ -z "$count" ] && { [ "$rc" -ne 0 ] || ! grep -q "^$copy/spt/.*: warning: line .* past the message window picture" <<<"$out"; }; then
  printf '%s\n' "$out" | head -20
  echo "window_edge: zor-check ended with status $rc; expected 0 and a warning of a line past the window picture"
  failed=1
fi
rm -rf "$copy"

if [ -n "$count" ]; then
  echo "$passed of $total damaged copies pass"
  exit 0
fi
rm -rf "$work"
exit $failed
