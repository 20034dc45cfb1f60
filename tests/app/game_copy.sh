# Sourced by the end-to-end scripts: copy_game DIR [KEY VALUE] copies the
# sample game ($game) to DIR with its own lock folder DIR.run; KEY VALUE is
# put first in the copy's list "game", where the first match wins. The
# pictures (most of the game's size) are hard links: no run writes into
# them, and a run that must damage one replaces the file instead.
copy_game() {
  local dir=$1 entry
  mkdir -p "$dir"
  for entry in "$game"/*; do
    if [ "$(basename "$entry")" = dwq ]; then
      cp -rl "$entry" "$dir/"
    else
      cp -r "$entry" "$dir/"
    fi
  done
  if [ $# -ge 3 ]; then
    { printf '%s,%s\r\n' "$2" "$3"; cat "$game/init/game.xtx"; } >"$dir/init/game.xtx"
  fi
  mkdir -m 700 "$dir.run"
}
