#!/usr/bin/env bash
# Builds the throughput benchmark in Release and runs it.
#   bench/run.sh [folder for the test file, default /tmp] [--size-mib N] [--runs N] [--keep]
#                [--default-paths-only]
# TAV_BENCH_BUILD chooses the build folder (default build-bench in the source tree).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${TAV_BENCH_BUILD:-$src/build-bench}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAV_BUILD_GUI=OFF >/dev/null
cmake --build "$build" --target bench -j2
exec "$build/bench/tavbench" "$@"
