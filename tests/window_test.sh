#!/bin/sh
# Runs the real game in a real window under Xvfb, drives it with keys, and checks that it
# opens its window, reports its video mode and its messages through pipes line by line while
# it runs, draws the field, pauses, and quits on Escape.
# Usage: window_test.sh path/to/vorska   (from the repository root, or from anywhere for the
# installed launcher, which enters the data folder itself)
game="$1"
{ command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; } || { echo "xvfb-run or xdotool missing"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# shellcheck disable=SC2016 # the inner shell expands the script's $ words, from its arguments
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh -c '
	game="$1"; out="$2"
	# through pipes, as `vorska | tee log` runs it: each line must come out while the game runs
	mkfifo "$out/out" "$out/err"
	cat "$out/out" >"$out/stdout" &
	cat "$out/err" >"$out/stderr" &
	"$game" >"$out/out" 2>"$out/err" &
	pid=$!
	wid=$(timeout 20 xdotool search --sync --name "^VORSKA\$" | head -n 1)
	[ -n "$wid" ] || { echo "FAIL: no window named VORSKA"; kill $pid; exit 1; }
	xdotool mousemove --window "$wid" 400 300
	sleep 1
	xdotool keydown space; sleep 0.5; xdotool keydown Left; sleep 0.5; xdotool keyup Left; xdotool keyup space
	xdotool key Up Up Right
	sleep 0.5
	# the first volley has loaded the template of the shots
	{ grep -q "^  Double buffer: " "$out/stdout" && grep -q "Loading EData Shot$" "$out/stderr"; } ||
		{ echo "FAIL: the video-mode report or the messages held back in the pipes"; kill $pid; exit 1; }
	alive() { kill -0 $pid 2>/dev/null || { echo "FAIL: the game ended $1"; exit 1; }; }
	tap() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.2; }
	alive "by itself"; xwd -id "$wid" -silent > "$out/screen.xwd"
	tap p; alive "on pause"; xwd -id "$wid" -silent > "$out/paused.xwd"
	tap p; alive "after the pause"
	tap Escape
	for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
	if kill -0 $pid 2>/dev/null; then echo "FAIL: Escape did not quit"; kill $pid; exit 1; fi
	wait $pid; echo $? > "$out/status"
	wait
' sh "$game" "$out" || exit 1
status=$(cat "$out/status")
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; tail -n 20 "$out/stderr"; exit 1; }
head -n 1 "$out/stdout" | grep -q "^SDL video mode set $" || { echo "FAIL: no video-mode report"; cat "$out/stdout"; exit 1; }
grep -q "^  Resolution   : 800x600x32$" "$out/stdout" || { echo "FAIL: wrong resolution line"; cat "$out/stdout"; exit 1; }
# The play viewport must show a picture, not a flat colour; the pause its white box in the middle.
if command -v convert >/dev/null; then
	sd=$(convert "xwd:$out/screen.xwd" -crop 450x600+175+0 -colorspace gray -format "%[fx:standard_deviation*1000]" info: | cut -d. -f1)
	[ "${sd:-0}" -gt 20 ] || { echo "FAIL: the play viewport looks blank (sd=$sd)"; exit 1; }
	px=$(convert "xwd:$out/paused.xwd" -format "%[pixel:p{400,280}]" info:)
	case "$px" in *white*|*255,255,255*) ;; *) echo "FAIL: no pause box ($px)"; exit 1;; esac
fi
echo "window test passed"
