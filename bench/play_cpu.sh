#!/bin/sh
# What playing costs: the real game in a real window under Xvfb, the player holding fire and
# weaving left and right, and over a stretch of play the CPU time of the game and of the X
# server (from /proc), the game cycles and the flips a second, and the heap allocations per
# game cycle (the draw passes, SDL's and Xlib's included). The cycles, flips and allocations
# are counted from outside the unchanged game by bench/count_calls.cpp, loaded with LD_PRELOAD.
#
# Usage: bench/play_cpu.sh [--compat] [--fullscreen] [--runs N] [--seconds S] [--guard PERCENT] [BUILD_DIR]
#   --compat        run on sdl12-compat (the SDL 1.2 API on SDL 2) instead of classic SDL 1.2
#   --fullscreen    play full screen (F11) on a 1920 x 1080 screen, under a window manager
#                   (evilwm) that grants the request, as a player's desktop does
#   --runs N        play N times (default 3) and report each run and the median
#   --seconds S     measure S seconds of play (default 15), after 2 s of warming up
#   --guard P       fail when the median game + X server CPU is above P % of one core, the
#                   median cycle rate below 25 a second or the median allocations above 200
#                   a cycle: a guard against gross regressions, not the figures to reach
#   BUILD_DIR       a build holding vorska and bench/libvorska_count.so; without one the
#                   script builds both (Release) in build-bench
# Run from anywhere; the game runs from the repository root. Needs Xvfb and xdotool (and
# evilwm and xprop for --fullscreen).
set -e
cd "$(dirname "$0")/.."
runs=3
seconds=15
guard=""
compat=""
full=""
build=""
while [ $# -gt 0 ]; do
	case "$1" in
	--compat) compat=1 ;;
	--fullscreen) full=1 ;;
	--runs) runs="$2"; shift ;;
	--seconds) seconds="$2"; shift ;;
	--guard) guard="$2"; shift ;;
	*) build="$1" ;;
	esac
	shift
done
{ command -v Xvfb >/dev/null && command -v xdotool >/dev/null; } || { echo "Xvfb or xdotool missing"; exit 77; }
screen=1024x768
if [ -n "$full" ]; then
	command -v evilwm >/dev/null || { echo "evilwm missing"; exit 77; }
	screen=1920x1080
fi
if [ -z "$build" ]; then
	build="build-bench"
	cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVORSKA_BENCH=ON -DVORSKA_TESTS=OFF >/dev/null
	cmake --build "$build" -j"$(nproc)" --target vorska vorska_count >/dev/null
fi
game="$PWD/$build/vorska"
shim="$PWD/$build/bench/libvorska_count.so"
{ [ -x "$game" ] && [ -e "$shim" ]; } || { echo "no $game or $shim"; exit 1; }
libs="$LD_LIBRARY_PATH"
runtime="classic SDL 1.2"
if [ -n "$compat" ]; then
	libs="$(sh scripts/sdl12_compat.sh "$build")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
	runtime="sdl12-compat"
fi
hz=$(getconf CLK_TCK)
tmp=$(mktemp -d)
xpid=""
gpid=""
wpid=""
# Ends process $1, which this script started: asked first, then forced.
stop() {
	kill "$1" 2>/dev/null || return 0
	for _ in $(seq 20); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
	kill -9 "$1" 2>/dev/null || true
}

# Stops what this script started, by process id.
cleanup() {
	[ -n "$gpid" ] && stop "$gpid"
	[ -n "$wpid" ] && stop "$wpid"
	[ -n "$xpid" ] && stop "$xpid"
	rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

# CPU ticks (user + system) a process has used.
ticks() {
	awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# The count file's flips, polls, nanoseconds inside SDL_Flip and heap allocations.
counts() {
	od -An -t u8 -v "$tmp/counts" | tr -s ' \n' '  '
}

# Seconds since boot, with hundredths.
now() {
	cut -d' ' -f1 /proc/uptime
}

# One run: appends "total game x cycles flips flipms allocs" for the measured stretch to the
# results; allocs is per game cycle.
playOnce() {
	rm -f "$tmp/display" "$tmp/counts"
	Xvfb -displayfd 3 -screen 0 "${screen}x24" -noreset -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.err" &
	xpid=$!
	for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.1; done
	[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; cat "$tmp/xvfb.err" >&2; exit 1; }
	DISPLAY=":$(cat "$tmp/display")"
	export DISPLAY
	if [ -n "$full" ]; then
		evilwm >/dev/null 2>&1 &
		wpid=$!
		for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.1; done
	fi
	XDG_STATE_HOME="$tmp" LD_LIBRARY_PATH="$libs" LD_PRELOAD="$shim" VORSKA_COUNT_FILE="$tmp/counts" "$game" >"$tmp/out" 2>"$tmp/err" &
	gpid=$!
	# asked again until found: a window the window manager replaces during a search fails it
	for _ in $(seq 100); do
		wid=$(xdotool search --name "^VORSKA\$" 2>/dev/null | head -n 1)
		[ -n "$wid" ] && break
		sleep 0.2
	done
	[ -n "$wid" ] || { echo "no window named VORSKA" >&2; exit 1; }
	xdotool mousemove --window "$wid" 400 300
	if [ -n "$full" ]; then
		sleep 0.5
		xdotool keydown F11; sleep 0.2; xdotool keyup F11
		sleep 0.5
	fi
	xdotool keydown space
	# weave until told to stop
	(while [ ! -e "$tmp/stop" ]; do
		xdotool keydown Left; sleep 0.4; xdotool keyup Left
		xdotool keydown Right; sleep 0.4; xdotool keyup Right
	done) &
	weaver=$!
	sleep 2
	t0=$(now); g0=$(ticks "$gpid"); x0=$(ticks "$xpid"); c0=$(counts)
	sleep "$seconds"
	t1=$(now); g1=$(ticks "$gpid"); x1=$(ticks "$xpid"); c1=$(counts)
	touch "$tmp/stop"
	wait "$weaver" || true
	rm -f "$tmp/stop"
	xdotool keyup space
	kill -0 "$gpid" 2>/dev/null || { echo "the game ended during the run" >&2; tail -5 "$tmp/err" >&2; exit 1; }
	xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
	for _ in $(seq 20); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.1; done
	stop "$gpid"
	wait "$gpid" 2>/dev/null || true
	gpid=""
	# the video-mode report, written again after the switch, is in the output once the game ended
	if [ -n "$full" ] && [ "$(grep "Full-screen" "$tmp/out" | tail -n 1)" != "  Full-screen  : Yes" ]; then
		echo "the game did not go full screen" >&2
		exit 1
	fi
	if [ -n "$wpid" ]; then
		stop "$wpid"
		wait "$wpid" 2>/dev/null || true
		wpid=""
	fi
	stop "$xpid"
	wait "$xpid" 2>/dev/null || true
	xpid=""
	echo "$t0 $t1 $g0 $g1 $x0 $x1 $c0 $c1" | awk -v hz="$hz" '{
		t = $2 - $1; game = ($4 - $3) / hz / t * 100; x = ($6 - $5) / hz / t * 100
		flips = ($11 - $7) / t; cycles = ($12 - $8) / t
		flipms = ($11 > $7) ? ($13 - $9) / ($11 - $7) / 1e6 : 0
		allocs = ($12 > $8) ? ($14 - $10) / ($12 - $8) : 0
		printf "%.1f %.1f %.1f %.1f %.0f %.3f %.1f\n", game + x, game, x, cycles, flips, flipms, allocs }' >>"$tmp/results"
}

[ -n "$full" ] && runtime="$runtime, full screen at 1920 x 1080"
echo "runtime: $runtime; $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $seconds s a run"
echo "run  game+X %  game %  X %  cycles/s  flips/s  ms in SDL_Flip  allocations/cycle  load average"
for r in $(seq "$runs"); do
	playOnce
	echo "$r $(tail -n 1 "$tmp/results") $(cut -d' ' -f1-3 /proc/loadavg)" |
		awk '{ printf "%-4s %-9s %-7s %-4s %-9s %-8s %-15s %-18s %s %s %s\n", $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11 }'
done
# the median of each column on its own
median() {
	cut -d' ' -f"$1" "$tmp/results" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
total=$(median 1)
cycles=$(median 4)
allocs=$(median 7)
echo "median: game+X $total %, game $(median 2) %, X $(median 3) %, $cycles cycles/s, $(median 5) flips/s, $(median 6) ms in SDL_Flip, $(median 7) allocations a cycle"
if [ -n "$guard" ]; then
	awk -v t="$total" -v g="$guard" -v c="$cycles" -v a="$allocs" 'BEGIN { exit !(t <= g && c >= 25 && a <= 200) }' ||
		{ echo "FAIL: more than $guard % of a core, fewer than 25 cycles a second or more than 200 allocations a cycle"; exit 1; }
	echo "within the guard: at most $guard % of a core, 25 cycles a second or more, at most 200 allocations a cycle"
fi
