#!/usr/bin/env bash
# Installs what is missing, builds the program and the sample game, and
# starts it: in a window when there is a display, otherwise headless for 150
# frames with a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
zor_install_deps

# Playing needs neither the tests nor the benchmarks (./test.sh builds them).
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_TESTS=OFF -DZOR_BENCH=OFF
cmake --build build/release -j "$(nproc)" --target zorgame demo

game=build/release/demo-game
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/bin/zorgame "$game" "$@"
fi
echo "No display: running headless for 150 frames."
build/release/bin/zorgame "$game" --headless --real-fonts --frames 150 --screenshot build/release/screenshot.png "$@"
