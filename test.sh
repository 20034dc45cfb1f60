#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through CTest: each case
# alone, and each test binary whole in one process (label "whole"). Then the
# threaded tests under ThreadSanitizer; the optimised build with its tests,
# each test binary run whole, and each benchmark binary run once briefly
# (label "bench"); and the fuzz targets built with clang, each run briefly,
# also through CTest.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
zor_install_deps test

scripts/check_fence.sh

jobs=$(nproc)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOR_SANITIZE=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test -j "$jobs" --output-on-failure --timeout 600

# The music streams run worker threads, and the game's handshake waits
# across two threads: their tests, and the program on the sample game, also
# run under ThreadSanitizer.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOR_TSAN=ON -DZOR_BENCH=OFF
cmake --build build/tsan -j "$jobs" --target test_music test_gamethread zorgame demo
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -j "$jobs" --output-on-failure \
  -R '^(Bgm|Music|SpectrumPrint|FastFourierTransform|GameThread|app\.(headless_run_writes_screenshot|demo_debug_mode)$)'

# The optimised build must compile cleanly too, tests and benchmarks with it
# (it is what ./run.sh and the benchmarks use, and some warnings appear only
# with optimisation), and its test binaries pass whole: optimised code reads
# memory that nobody wrote differently.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_TESTS=ON -DZOR_BENCH=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --output-on-failure --timeout 600 -L whole
# Every benchmark binary once, each benchmark for the shortest time: one
# whose set-up fails exits non-zero and fails here.
ctest --test-dir build/release -j "$jobs" --output-on-failure --timeout 600 -L bench

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZOR_SANITIZE=ON -DZOR_FUZZ=ON -DZOR_TESTS=OFF -DZOR_BENCH=OFF
cmake --build build/fuzz -j "$jobs" --target fuzzers
ctest --test-dir build/fuzz -j "$jobs" --output-on-failure -R '^fuzz\.'
