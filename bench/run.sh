#!/bin/sh
# Builds the benchmarks (Release, in build-bench) and runs them all from the repository root
# with the dummy video and audio drivers: five repetitions of each, reported as mean, median
# and spread.
# "--smoke" runs each benchmark once, briefly, only to see that they work. Further arguments
# go to the benchmark program (for instance --benchmark_filter=Stress).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORSKA_BENCH=ON -DVORSKA_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target vorska_bench
export SDL_VIDEODRIVER=dummy
# the mixer runs as in play, into nothing, and no benchmark is heard
export SDL_AUDIODRIVER=dummy
if [ "$1" = "--smoke" ]; then
	shift
	exec build-bench/bench/vorska_bench --benchmark_min_time=0.01 "$@"
fi
exec build-bench/bench/vorska_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
