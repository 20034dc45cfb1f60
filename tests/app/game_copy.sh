# Sourced by the end-to-end scripts.
#
# clone_game DIR copies the sample game ($game) to DIR. The pictures (most
# of the game's size) are hard links: no run writes into them, and a run
# that must damage one replaces the file instead.
clone_game() {
  local dir=$1 entry
  mkdir -p "$dir"
  for entry in "$game"/*; do
    if [ "$(basename "$entry")" = dwq ]; then
      cp -rl "$entry" "$dir/"
    else
      cp -r "$entry" "$dir/"
    fi
  done
}

# copy_game DIR [KEY VALUE] clones the game to DIR with its own runtime folder
# DIR.run; KEY VALUE is put first in the copy's list "game", where the first
# match wins.
copy_game() {
  local dir=$1
  clone_game "$dir"
  if [ $# -ge 3 ]; then
    { printf '%s,%s\r\n' "$2" "$3"; cat "$game/init/game.xtx"; } >"$dir/init/game.xtx"
  fi
  mkdir -m 700 "$dir.run"
}
