#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite: the normal build, the
# sanitizer build, the fuzzers, the headless soak run and a short benchmark smoke run.
# FUZZ_SECONDS (default 60), SOAK_CYCLES (default 20000) and VALGRIND_CYCLES (default 2000)
# set the length of the long runs.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh test
jobs=$(nproc)

echo "== normal build"
cmake -S . -B build -DVORSKA_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure

echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer)"
cmake -S . -B build-asan -DVORSKA_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
# fast_unwind_on_malloc=0: full allocation stacks through SDL, which tests/lsan.supp matches on
ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir build-asan -j"$jobs" --output-on-failure

echo "== valgrind memcheck over a short soak run"
# The game's own stderr goes to a log; valgrind's report is shown when it finds anything.
vglog=build/valgrind-soak.log
if ! SOAK_CYCLES="${VALGRIND_CYCLES:-2000}" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,possible \
	--suppressions=tests/valgrind.supp --log-file="$vglog" build/tests/test_soak --gtest_brief=1 2>build/valgrind-soak.stderr; then
	cat "$vglog"
	tail -20 build/valgrind-soak.stderr
	exit 1
fi

if [ -x fuzz/run_all.sh ]; then
	echo "== fuzzers"
	fuzz/run_all.sh "${FUZZ_SECONDS:-60}"
fi

if [ -x bench/run.sh ]; then
	echo "== benchmarks (smoke run)"
	bench/run.sh --smoke
fi
echo "== all tests passed"
