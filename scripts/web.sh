#!/bin/sh
# Builds the game for the browser: the same sources as the desktop game, compiled to
# WebAssembly with Debian's emscripten, over the SDL 1.2 layer in platform/web. Leaves a static
# site in build-web/site/ that any web server plays:
#   python3 -m http.server -d build-web/site
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh web
# emscripten's optimizer needs Debian's node modules, which another node does not look in
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

out=build-web
site=$out/site
mkdir -p "$out/obj" "$site"
rm -f "$out"/obj/*.o

# Every source of the game but desktop/browser seams that the browser replaces with its own.
sources=$(printf '%s\n' game/*.cpp entity/*.cpp display/*.cpp platform/*.cpp platform/web/*.cpp display/web/*.cpp |
	grep -v '^display/blit_keys.cpp$')
# platform/web first on the include path: its SDL.h stands between the game and the browser's SDL
cflags="-std=c++17 -O2 -Wall -Wextra -Iplatform/web -I."
# shellcheck disable=SC2016 # $1 and $(...) are the inner shell's, one per source
echo "$sources" | xargs -P "$(nproc)" -I{} sh -c \
	'em++ '"$cflags"' -c "$1" -o "'"$out"'/obj/$(echo "$1" | tr / _).o"' sh {}

# ASYNCIFY lets the game's own loop yield to the browser inside the flip; no indirect call
# leads there, so those need not be able to unwind. The pictures are decoded in the module
# (stb_image) because the game decodes them from memory. EXIT_RUNTIME tells the page when the
# game ends; the page starts main itself once a designer's files are in place.
em++ "$out"/obj/*.o -o "$site/vorska.js" -O2 -lSDL \
	-sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1 -sASYNCIFY_STACK_SIZE=16384 \
	-sSTB_IMAGE=1 -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 \
	-sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=FS,callMain \
	--preload-file data --preload-file gfx --preload-file font_sm --preload-file sfx
cp platform/web/index.html platform/web/game.html platform/web/page.js platform/web/frame.js "$site/"
echo "site in $site ($(du -sk "$site" | cut -f1) kB):"
ls -l "$site"
