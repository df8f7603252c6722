#!/bin/sh
# Runs the real game in a real window under Xvfb, on a 1920 x 1080 screen with a small window
# manager as every player has, drives it with keys, and checks that it opens its window, reports
# its video mode and its messages through pipes line by line while it runs, draws the field,
# pauses, goes full screen and back with F11 (in the pause too) with the arrows moving the ship
# in both, dumps, quits on Escape and saves its run;
# vorska-replay, when given, plays the run back headless to the same output.
# Usage: window_test.sh path/to/vorska [path/to/vorska-replay [KEEP]]   (from the repository
# root, or from anywhere for the installed launcher, which enters the data folder itself); KEEP
# is a folder that keeps the run as run.vrun and the game's output as stdout.
game="$1"
replay="$2"
keep="$3"
for tool in xvfb-run xdotool evilwm xprop; do command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }; done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# shellcheck disable=SC2016 # the inner shell expands the script's $ words, from its arguments
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset -wr" sh -c '
	game="$1"; out="$2"
	evilwm >/dev/null 2>&1 &
	wm=$!
	for i in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.1; done
	# through pipes, as `vorska | tee log` runs it: each line must come out while the game runs
	mkfifo "$out/out" "$out/err"
	cat "$out/out" >"$out/stdout" &
	cat "$out/err" >"$out/stderr" &
	XDG_STATE_HOME="$out/state" "$game" >"$out/out" 2>"$out/err" &
	pid=$!
	# asked again until found: a window the window manager replaces during a search fails it
	for i in $(seq 100); do wid=$(xdotool search --name "^VORSKA\$" 2>/dev/null | head -n 1); [ -n "$wid" ] && break; sleep 0.2; done
	[ -n "$wid" ] || { echo "FAIL: no window named VORSKA"; kill $pid $wm; exit 1; }
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
	dump() { xdotool keydown Shift; tap e; xdotool keyup Shift; }
	alive "by itself"; xwd -id "$wid" -silent > "$out/screen.xwd"
	tap p; alive "on pause"; xwd -id "$wid" -silent > "$out/paused.xwd"
	tap F11; tap F11; tap p; alive "after the pause"
	# F11 held for ten cycles, then an arrow held, in full screen and in the window again
	dump; tap F11; sleep 0.5; xwd -root -silent > "$out/full.xwd"; tap Left; dump
	tap F11; sleep 0.5; xwd -root -silent > "$out/window.xwd"; tap Right; dump
	xdotool getwindowgeometry "$wid" > "$out/geometry"
	tap e
	tap Escape
	for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
	if kill -0 $pid 2>/dev/null; then echo "FAIL: Escape did not quit"; kill $pid; exit 1; fi
	wait $pid; echo $? > "$out/status"
	kill $wm
	wait
' sh "$game" "$out" || exit 1
status=$(cat "$out/status")
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; tail -n 20 "$out/stderr"; exit 1; }
head -n 1 "$out/stdout" | grep -q "^SDL video mode set $" || { echo "FAIL: no video-mode report"; cat "$out/stdout"; exit 1; }
grep -q "^  Resolution   : 800x600x32$" "$out/stdout" || { echo "FAIL: wrong resolution line"; cat "$out/stdout"; exit 1; }
# the report again after each switch: twice in the pause, then to full screen and back
modes=$(sed -n "s/^  Full-screen  : //p" "$out/stdout" | tr '\n' ' ')
[ "$modes" = "No Yes No Yes No " ] || { echo "FAIL: full screen reported as: $modes"; exit 1; }
# the ship's x in the three dumps: Left moved it in full screen, Right in the window
# shellcheck disable=SC2046 # a word a dump
set -- $(awk '/^  POS/ { x = $2 } /^  ID       Player$/ { gsub(/[(,]/, "", x); print x }' "$out/stdout")
if [ $# != 3 ] || [ "$2" -ge "$1" ] || [ "$3" -le "$2" ]; then echo "FAIL: the ship's x went $*"; exit 1; fi
grep -q "Geometry: 800x600" "$out/geometry" || { echo "FAIL: the window came back as $(cat "$out/geometry")"; exit 1; }
# The play viewport must show a picture, not a flat colour; the pause its white box in the middle;
# full screen black where the white root showed beside the window, and the picture in the middle.
if command -v convert >/dev/null; then
	sd=$(convert "xwd:$out/screen.xwd" -crop 450x600+175+0 -colorspace gray -format "%[fx:standard_deviation*1000]" info: | cut -d. -f1)
	[ "${sd:-0}" -gt 20 ] || { echo "FAIL: the play viewport looks blank (sd=$sd)"; exit 1; }
	px=$(convert "xwd:$out/paused.xwd" -format "%[pixel:p{400,280}]" info:)
	case "$px" in *white*|*255,255,255*) ;; *) echo "FAIL: no pause box ($px)"; exit 1;; esac
	corners=$(convert "xwd:$out/full.xwd" -format "%[fx:p{0,0}.intensity+p{1919,1079}.intensity]" info:)
	[ "$corners" = 0 ] || { echo "FAIL: full screen leaves the corners lit ($corners)"; exit 1; }
	sd=$(convert "xwd:$out/full.xwd" -crop 400x400+760+340 -colorspace gray -format "%[fx:standard_deviation*1000]" info: | cut -d. -f1)
	[ "${sd:-0}" -gt 20 ] || { echo "FAIL: no picture in the middle of the full screen (sd=$sd)"; exit 1; }
	px=$(convert "xwd:$out/window.xwd" -format "%[pixel:p{0,0}]" info:)
	case "$px" in *white*|*255,255,255*) ;; *) echo "FAIL: the window still covers the screen ($px)"; exit 1;; esac
fi
run=$(sed -n "s|^Run saved: \($out/state/vorska/runs/.*\.vrun\)\$|\1|p" "$out/stderr")
[ -f "$run" ] || { echo "FAIL: no run saved"; tail -n 5 "$out/stderr"; exit 1; }
grep -q "^Entity *0: Tank" "$out/stdout" || { echo "FAIL: E dumped nothing"; exit 1; }
if [ -n "$replay" ]; then
	"$replay" --headless "$run" >"$out/replayed" 2>"$out/replayed.err" || { echo "FAIL: vorska-replay"; cat "$out/replayed.err"; exit 1; }
	tail -n 1 "$out/replayed" | grep -q "^vorska-replay: [0-9]* cycles played" || { echo "FAIL: no line of how it went"; exit 1; }
	# the video-mode reports tell of the display (headless is another, and full screen is the
	# watcher's), so they are left out of both, and so are the addresses of the full dumps
	noreport() { sed '/^SDL video mode set $/,+4d; s/0x[0-9a-f]*/0x/g' "$1"; }
	[ "$(noreport "$out/replayed" | sed '$d')" = "$(noreport "$out/stdout")" ] || { echo "FAIL: the run played back said otherwise"; exit 1; }
fi
if [ -n "$keep" ]; then cp "$run" "$keep/run.vrun" && cp "$out/stdout" "$keep/stdout"; fi
echo "window test passed"
