#!/bin/sh
# Builds the playtest, plays RUNS runs (default 50) of each pilot with the sample data, and
# writes the report and the plot PNG (default build-playtest/playtest.png).
# usage: playtest/playtest.sh [RUNS] [PNG]     (from anywhere; it works at the repository root)
set -e
cd "$(dirname "$0")/.."
runs="${1:-50}"
png="${2:-build-playtest/playtest.png}"
sh scripts/deps.sh playtest
cmake -S . -B build-playtest -DCMAKE_BUILD_TYPE=Release -DVORSKA_TESTS=OFF >/dev/null
cmake --build build-playtest -j2 --target vorska-playtest
# two runs at once, niced: the machine stays usable while it plays
nice build-playtest/playtest/vorska-playtest --runs "$runs" --jobs 2 --out build-playtest --plot "$png"
echo "report: build-playtest/report.txt  plot: $png"
