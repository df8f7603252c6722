#!/bin/sh
# Builds the fuzz targets with clang and the sanitizers in build-fuzz and runs each for the
# given number of seconds (default 60), or until it has run the given number of inputs
# (default: no limit): the definition file reader, the font loader, the frame images, the
# sound map with the WAV guard, and the run file reader.
# Exits non-zero as soon as a target finds a crash, a leak, a hang or a memory blow-up; the
# input that did it is kept in build-fuzz/artifacts/.
# Seeds come from the game's own data (data/entity.dat, font_sm, data/sound.dat and sfx) and
# from fuzz/corpus (for the run reader: a game played in a window, with a pause, and a
# playtest pilot's run).
set -e
seconds=${1:-60}
runs=${2:--1}
limit="$seconds s${2:+ or $2 inputs}"
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
log="$build/build.log"
mkdir -p "$build/artifacts"

CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DVORSKA_FUZZ=ON -DVORSKA_SANITIZE=ON -DVORSKA_TESTS=OFF >"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j2 --target fuzz_reader fuzz_font fuzz_image fuzz_sound fuzz_run >>"$log" 2>&1 || { tail -50 "$log"; exit 1; }

# New inputs go to scratch corpora in build-fuzz; the seeds in the repository stay as they are.
seed() {
	mkdir -p "$build/corpus-$1"
}
seed reader
# the game's file one template block at a time: the target takes inputs of up to 1 KB
awk -v dir="$build/corpus-reader" '/^ENTITY/ { n++ } { gsub(/[ \t]+/, " "); print > (dir "/game-block-" n) }' "$root/data/entity.dat"
seed font
sh "$root/fuzz/make_font_seed.sh" "$root/font_sm" 15 >"$build/corpus-font/game-font_sm"
sh "$root/fuzz/make_font_seed.sh" "$root/font_sm" 7 >"$build/corpus-font/game-font_sm-fixed"
sh "$root/fuzz/make_font_seed.sh" "$root/font_sm" 5 >"$build/corpus-font/game-font_sm-noraw"
seed image
seed run
seed sound
# the game's sound map, then a NUL, then one of its shorter sounds: the target takes inputs of up to 16 KB
for wav in "$root"/sfx/*.wav; do
	[ "$(wc -c <"$wav")" -le 14000 ] || continue
	{ cat "$root/data/sound.dat"; printf '\0'; cat "$wav"; } >"$build/corpus-sound/game-$(basename "$wav" .wav)"
done

# run TARGET: fuzzes one target from the repository root; stops the script on a finding.
run() {
	target=$1
	shift
	echo "-- fuzz_$target for $limit"
	# -reload=0: nothing else writes to the corpus, and reading it all again after every new
	# input costs more each time it grows
	(cd "$root" && "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -runs="$runs" -reload=0 \
		-rss_limit_mb=2048 -timeout=30 \
		-artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "$@" \
		"$build/corpus-$target" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1) || {
		tail -60 "$build/$target.log"
		echo "fuzz_$target found a problem; the input is in $build/artifacts/"
		exit 1
	}
	grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/$target.log" | sed "s/^/   /"
}
# a malloc stack of two frames and a smaller quarantine: several times the executions, and
# the reports still name the faulting function
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=2:quarantine_size_mb=64}"
run reader -dict="$root/fuzz/reader.dict" -max_len=1024
# the loader's "Cannot open" lines go to stderr: libFuzzer keeps its own copy of it
run font -close_fd_mask=2
run image -max_len=8192
run sound -dict="$root/fuzz/sound.dict" -max_len=16384
run run -max_len=8192
echo "fuzzers: no crash, leak or hang in $limit each"
