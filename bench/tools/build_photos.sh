#!/usr/bin/env bash
# build_photos.sh [BUILD_DIR] [PHOTOS] [JOBS]
# zor-build on the minimal game with PHOTOS photographs (200 by default)
# added to dwq/bg/, each a 1600 x 1200 JPEG fitted to the screen: once with
# -j 1 and once with -j JOBS (the machine's core count by default). Prints
# for each the wall time, the CPU time of zor-build and every tool it ran
# (user + system) and their ratio (over 1: more than one core at work), and
# fails unless both runs end alike and make the same game folder, byte for
# byte. The photographs are made once by ImageMagick from a few seeded
# noise fields (a photograph's size and entropy, not its content) and kept
# in BUILD_DIR/bench/photos-PHOTOS.
# BUILD_DIR is build/release by default (bin/zor-build and its tools).
set -euo pipefail
build=$(realpath "${1:-build/release}") photos=${2:-200} jobs=${3:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$build/bin/zor-build" ] || { echo "build_photos.sh: $build/bin/zor-build is not built"; exit 1; }
command -v convert >/dev/null || { echo "build_photos.sh: ImageMagick's convert is not installed"; exit 77; }

# The photographs: eight noise fields, blurred into soft shapes with grain on
# top, each shifted and tinted differently for every photograph.
set_dir=$build/bench/photos-$photos
if [ ! -f "$set_dir/done" ]; then
  rm -rf "$set_dir" && mkdir -p "$set_dir"
  for b in 0 1 2 3 4 5 6 7; do
    convert -seed $((b + 1)) -size 1600x1200 plasma:fractal -blur 0x2 \
      -attenuate 0.3 +noise Gaussian "$set_dir/base$b.png"
  done
  seq -w 1 "$photos" | xargs -P "$(nproc)" -I{} sh -c '
    n=$((1{} % 8)); roll=$((1{} * 37 % 1600))
    convert "$0/base$n.png" -roll +$roll+$((roll * 3 % 1200)) -modulate 100,$((80 + 1{} % 40)),$((1{} * 7 % 200)) \
      -quality 90 "$0/bgp{}.jpg"' "$set_dir"
  rm -f "$set_dir"/base*.png && touch "$set_dir/done"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/source
cp -rL "$here/../../demo/minimal" "$src"
cp "$set_dir"/bgp*.jpg "$src/dwq/bg/"
printf 'dwq/bg/bgp*.jpg fit 800x600\n' >>"$src/zor-build.txt"
echo "zor-build: the minimal game with $photos photographs ($(du -sh "$set_dir" | cut -f1)), load average $(cut -d' ' -f1-3 /proc/loadavg)"

failed=0
for j in 1 "$jobs"; do
  status=0
  (cd "$work" && /usr/bin/time -f '%e %U %S' -o "$work/time.j$j" "$build/bin/zor-build" -j "$j" "$src" "game.j$j" \
    >"$work/out.j$j" 2>"$work/err.j$j") || status=$?
  read -r wall user sys <"$work/time.j$j"
  awk -v j="$j" -v w="$wall" -v u="$user" -v s="$sys" -v st="$status" 'BEGIN {
    printf "-j %-3s wall %7.2f s  cpu %7.2f s (user %.2f, sys %.2f)  cpu/wall %.2f  exit %s\n", j, w, u + s, u, s, (u + s) / w, st }'
  echo "$status" >"$work/status.j$j"
done
cmp -s "$work/status.j1" "$work/status.j$jobs" || { echo "FAIL: the exit statuses differ"; failed=1; }
cmp -s "$work/err.j1" "$work/err.j$jobs" || { echo "FAIL: the messages differ"; failed=1; }
if diff -r "$work/game.j1" "$work/game.j$jobs" >/dev/null; then
  echo "the game folders are the same, byte for byte ($(du -sh "$work/game.j1" | cut -f1))"
else
  echo "FAIL: the game folders differ"; failed=1
fi
grep -v '^$' "$work/err.j1" | head -5 || true
exit $failed
