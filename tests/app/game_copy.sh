# Sourced by the end-to-end scripts: copy_game DIR [KEY VALUE] copies the
# sample game ($game) to DIR with its own lock folder DIR.run; KEY VALUE is
# put first in the copy's list "game", where the first match wins.
copy_game() {
  local dir=$1
  cp -r "$game" "$dir"
  if [ $# -ge 3 ]; then
    { printf '%s,%s\r\n' "$2" "$3"; cat "$game/init/game.xtx"; } >"$dir/init/game.xtx"
  fi
  mkdir -m 700 "$dir.run"
}
