#!/bin/sh
# Compares the benchmarks of an earlier commit with those of the working tree, on a machine
# whose figures move by a third from one run to the next: the two builds take turns, each
# benchmark runs in a process of its own, and the least of the turns is kept for each.
#
#   bench/side_by_side.sh COMMIT [TURNS] REGEX...
#
# Each REGEX names benchmarks as --benchmark_filter does (anchor it, '^BM_Name/1/2$', for
# one). The earlier build lives in a worktree under ${TMPDIR:-/tmp}, kept for the next call.
# With COUNT=1 in the environment, the instructions that valgrind counts in the collision
# pass are compared instead of the time: the same on every run, but blind to the cache.
set -e
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
	echo "usage: bench/side_by_side.sh COMMIT [TURNS] REGEX..." >&2
	exit 2
fi
commit=$(git rev-parse --short "$1")
shift
turns=3
case "$1" in
'' | *[!0-9]*) ;;
*)
	turns=$1
	shift
	;;
esac
old="${TMPDIR:-/tmp}/vorska-side-$commit"
if [ ! -d "$old" ]; then
	git worktree add --detach "$old" "$commit" >/dev/null
fi
for tree in "$old" .; do
	cmake -S "$tree" -B "$tree/build-bench" -DCMAKE_BUILD_TYPE=Release -DVORSKA_BENCH=ON -DVORSKA_TESTS=OFF >/dev/null
	cmake --build "$tree/build-bench" -j"$(nproc)" --target vorska_bench >/dev/null
done
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# The figures of the benchmarks of filter $2 in tree $1, a line each with the benchmark's
# name: milliseconds, or with COUNT=1 the instructions of all of them, under the filter.
measure() {
	if [ "${COUNT:-0}" = 1 ]; then
		out="${TMPDIR:-/tmp}/vorska-side.$$.out"
		(cd "$1" && valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='collisionPass()' \
			build-bench/bench/vorska_bench --benchmark_filter="$2" --benchmark_min_time=0.000001 >/dev/null 2>&1)
		callgrind_annotate "$out" | awk -v name="$2" '/PROGRAM TOTALS/ { gsub(",", "", $1); print name, $1 }'
		rm -f "$out"
	else
		(cd "$1" && build-bench/bench/vorska_bench --benchmark_filter="$2" --benchmark_min_time=0.1 2>/dev/null) |
			awk '/^BM_/ { print $1, ($3 == "us" ? $2 / 1000 : $3 == "ns" ? $2 / 1e6 : $3 == "s" ? $2 * 1000 : $2) }'
	fi
}

for filter in "$@"; do
	t=0
	while [ $t -lt "$turns" ]; do
		measure "$old" "$filter" | sed "s/^/old /"
		measure . "$filter" | sed "s/^/new /"
		t=$((t + 1))
	done
done | awk -v commit="$commit" '
	# the least of each side, by benchmark
	{
		if (!($2 in seen)) { seen[$2] = 1; order[++n] = $2 }
		if (!(($2, $1) in least) || $3 < least[$2, $1]) least[$2, $1] = $3
	}
	END {
		printf "%-44s %14s %14s %7s\n", "benchmark", commit, "now", "ratio"
		for (i = 1; i <= n; i++) {
			k = order[i]
			printf "%-44s %14.10g %14.10g %7.3f\n", k, least[k, "old"], least[k, "new"], least[k, "new"] / least[k, "old"]
		}
	}'
