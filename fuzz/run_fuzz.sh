#!/bin/sh
# Builds the reader's fuzz target with clang and the sanitizers in build-fuzz and runs it
# for the given number of seconds. Exits non-zero when the fuzzer finds a crash, leak or hang.
set -e
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
log="$build/build.log"
mkdir -p "$build"

CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DVORSKA_FUZZ=ON -DVORSKA_SANITIZE=ON -DVORSKA_TESTS=OFF >"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j2 --target fuzz_reader >>"$log" 2>&1 || { tail -50 "$log"; exit 1; }

# New inputs go to a scratch corpus; the seeds stay as they are.
work="$build/corpus-reader"
mkdir -p "$work" "$build/artifacts"
if [ -f "$root/data/entity.dat" ]; then
	cp "$root/data/entity.dat" "$work/game-entity.dat"
fi

# From the repository root, so that the game's image paths in the seeds load.
cd "$root"
"$build/fuzz/fuzz_reader" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
	-artifact_prefix="$build/artifacts/" -print_final_stats=1 -dict="$root/fuzz/reader.dict" "$work" "$root/fuzz/corpus/reader"
