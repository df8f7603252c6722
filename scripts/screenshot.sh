#!/bin/sh
# Plays the game for a few seconds under Xvfb and saves a picture of its window for the
# README: docs/screenshot.png. Needs xvfb, xdotool and imagemagick; run from anywhere.
# Usage: scripts/screenshot.sh [seconds]
set -e
cd "$(dirname "$0")/.."
secs=${1:-22}
[ -x build/vorska ] || { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target vorska; }
# shellcheck disable=SC2016 # the inner shell expands the script's $ words, from its arguments
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
	secs=$1
	XDG_STATE_HOME=/dev/null ./build/vorska >/dev/null 2>&1 &  # a runs folder it cannot have: no run kept
	pid=$!
	timeout 20 xdotool search --sync --name "^VORSKA\$" >/dev/null
	xdotool mousemove 400 300
	xdotool keydown space
	t=0
	while [ $t -lt $secs ]; do
		xdotool keydown Left; sleep 0.5; xdotool keyup Left
		xdotool keydown Right; sleep 0.5; xdotool keyup Right
		t=$((t + 1))
	done
	xwd -root -silent | convert xwd:- -crop 800x600+0+0 docs/screenshot.png
	xdotool keyup space
	xdotool keydown Escape; sleep 0.2; xdotool keyup Escape
	sleep 0.5
	kill $pid 2>/dev/null || true
' sh "$secs"
echo "wrote docs/screenshot.png"
