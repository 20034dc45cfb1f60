#!/usr/bin/env bash
# Runs the picture-body benchmarks with their real-photograph set: the
# nature photographs of Debian's mate-backgrounds package, installed here
# (./test.sh does not need them), cropped to 800 x 600 and encoded by
# libjpeg at 4:2:0 and 4:4:4 inside the benchmark. Extra arguments go to
# the benchmark; repetitions default to 7, reported as aggregates.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
ZOR_PACKAGES+=(mate-backgrounds)
zor_install_deps test
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOR_TESTS=OFF >/dev/null
cmake --build build/release -j 4 --target bench_picture_bodies
build/release/bench/bench_picture_bodies --benchmark_repetitions=7 \
  --benchmark_report_aggregates_only=true "$@"
