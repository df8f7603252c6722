#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite: the code style, the normal
# build with its static analysis, the browser build played in Chromium, the normal build's
# suite again on sdl12-compat, a guard on what playing in a real window costs, the sanitizer
# build, valgrind over a soak run, the fuzzers, a short benchmark smoke run and the Debian
# package from build to removal.
# FUZZ_SECONDS (default 40, for each of the five fuzz targets), SOAK_CYCLES (default 20000) and VALGRIND_CYCLES (default 2000)
# set the length of the long runs.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh test
jobs=$(nproc)
passed=0

# Runs one build's CTest suite, with the VAR=value settings after the folder; fails unless
# every test passed, and counts them.
run_ctest() {
	dir=$1
	shift
	env "$@" ctest --test-dir "$dir" -j"$jobs" --output-on-failure | tee "$dir/ctest.out"
	grep -q "^100% tests passed" "$dir/ctest.out" || exit 1
	n=$(sed -n 's/.* 0 tests failed out of \([0-9]*\).*/\1/p' "$dir/ctest.out")
	passed=$((passed + n))
}

echo "== code style (clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== lint (shellcheck, ESLint)"
sh scripts/lint.sh

echo "== normal build"
# the art tools too, so that their checks and the playtest's smoke run are part of the suite
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORSKA_TESTS=ON -DVORSKA_BENCH=ON -DVORSKA_ART=ON \
	-DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build -j"$jobs"
run_ctest build

echo "== static analysis (clang-tidy, the checks of .clang-tidy)"
# every source the normal build compiles; the fuzzers are built by clang alone and the
# browser's seams by emscripten alone (below)
git ls-files '*.cpp' | grep -v -e '^fuzz/' -e '/web/' | xargs -P"$jobs" -n8 clang-tidy -p build --quiet 2>build/tidy.err >build/tidy.out ||
	{ cat build/tidy.out; echo "clang-tidy found faults"; exit 1; }

echo "== the browser build, its seams' static analysis, and the site played in headless Chromium"
mkdir -p build-web
sh scripts/web.sh >build-web/web.log 2>&1 || { tail -30 build-web/web.log; exit 1; }
# The browser's seams with emscripten's own flags and headers. Its one thread
# (-fno-threadsafe-statics) wakes a check about statics shared between threads, which misreads
# the extern declarations of the game's headers.
webflags=$(NODE_PATH=/usr/share/nodejs em++ --cflags | tr ' ' '\n' | sed 's/^/--extra-arg-before=/')
# shellcheck disable=SC2086 # one argument a flag
git ls-files 'platform/web/*.cpp' 'display/web/*.cpp' | xargs clang-tidy -p build-web --quiet \
	--checks=-bugprone-dynamic-static-initializers $webflags 2>build-web/tidy.err >build-web/tidy.out ||
	{ cat build-web/tidy.out; echo "clang-tidy found faults in the browser's seams"; exit 1; }
node tests/web_test.js build/vorska
passed=$((passed + 1))
node tests/web_touch_test.js
passed=$((passed + 1))
node tests/web_bad_input_test.js
passed=$((passed + 1))
node tests/web_replay_test.js build/vorska build/replay/vorska-replay
passed=$((passed + 1))

echo "== the same suite on sdl12-compat (the SDL 1.2 API on top of SDL 2)"
compat="$(sh scripts/sdl12_compat.sh build)${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
LD_LIBRARY_PATH="$compat" ldd build/vorska | grep -q "sdl12-compat/libSDL-1.2" || { echo "sdl12-compat is not loaded"; exit 1; }
run_ctest build LD_LIBRARY_PATH="$compat"

echo "== what playing costs in a real window and full screen, on both runtimes (a generous guard, not the figures)"
sh bench/play_cpu.sh --runs 1 --seconds 5 --guard 25 build
sh bench/play_cpu.sh --compat --runs 1 --seconds 5 --guard 25 build
sh bench/play_cpu.sh --fullscreen --runs 1 --seconds 5 --guard 25 build
sh bench/play_cpu.sh --fullscreen --compat --runs 1 --seconds 5 --guard 25 build

echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer)"
cmake -S . -B build-asan -DVORSKA_SANITIZE=ON -DVORSKA_TESTS=ON >/dev/null
cmake --build build-asan -j"$jobs"
# fast_unwind_on_malloc=0: full allocation stacks through SDL, which tests/lsan.supp matches on
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_ctest build-asan
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

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
	fuzz/run_all.sh "${FUZZ_SECONDS:-40}"
fi

if [ -x bench/run.sh ]; then
	echo "== benchmarks (smoke run)"
	bench/run.sh --smoke
fi
echo "== Debian package: build, lintian, validators, install, start from elsewhere, remove"
sh tests/package_test.sh
passed=$((passed + 1))
echo "== all tests passed"
echo "tests: $passed passed, 0 failed"
