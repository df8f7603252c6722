#!/bin/sh
# Builds the game for the browser: installs Debian's emscripten if missing, then the same CMake
# graph as the desktop's, through emcmake, which leaves a static site in build-web/site/ that
# any web server plays:
#   python3 -m http.server -d build-web/site
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh web
emcmake cmake -S . -B build-web >/dev/null
cmake --build build-web -j"$(nproc)"
echo "site in build-web/site ($(du -sk build-web/site | cut -f1) kB)"
