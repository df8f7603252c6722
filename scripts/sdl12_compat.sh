#!/bin/sh
# Unpacks Debian's sdl12-compat (the SDL 1.2 API on top of SDL 2, what libsdl1.2-dev gives on
# Debian 13 and Ubuntu 24.04) into a build folder and prints the folder of its libSDL-1.2.so.0,
# to be put first on LD_LIBRARY_PATH. SDL 2 itself comes from scripts/deps.sh.
# Usage: scripts/sdl12_compat.sh BUILD_DIR
set -e
dir="$1/sdl12-compat"
lib="$dir/root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/sdl12-compat"
if [ ! -e "$lib/libSDL-1.2.so.0" ]; then
	mkdir -p "$dir"
	cd "$dir"
	rm -f libsdl1.2-compat_*.deb
	# apt's own user may not write here; the download then runs as the caller, which is fine
	apt-get download libsdl1.2-compat >/dev/null 2>&1 || { apt-get update -qq && apt-get download libsdl1.2-compat >/dev/null 2>&1; }
	dpkg-deb -x libsdl1.2-compat_*.deb root
	cd - >/dev/null
fi
readlink -f "$lib"
