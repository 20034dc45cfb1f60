#!/usr/bin/env bash
# check_play_deps.sh SOURCE_DIR WORK_DIR
# ./run.sh installs only what building and playing need: its package list
# holds none of the test tool chain, and the tree it configures (no tests,
# no benchmarks) configures with GoogleTest and Google Benchmark out of
# reach.
set -euo pipefail
src=$1 work=$2
source "$src/scripts/deps.sh"
for p in "${ZOR_TEST_PACKAGES[@]}"; do
  for q in "${ZOR_PACKAGES[@]}"; do
    [ "$p" != "$q" ] || { echo "$p is in the list ./run.sh installs"; exit 1; }
  done
done
grep -q -- '-DZOR_TESTS=OFF -DZOR_BENCH=OFF' "$src/run.sh" || {
  echo "run.sh does not configure without tests and benchmarks"; exit 1; }
rm -rf "$work"
mkdir -p "$(dirname "$work")"
cmake -S "$src" -B "$work" -DZOR_TESTS=OFF -DZOR_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work.log" 2>&1 || {
  cat "$work.log"; exit 1; }
rm -rf "$work" "$work.log"
echo "ok: ./run.sh needs no test packages"
