#!/bin/sh
# Rebuilds the art generators and rewrites gfx/, font_sm/, icons/ and sfx/ from them, then
# checks the results. Run from anywhere; everything happens at the repo root.
set -e
cd "$(dirname "$0")/.."
cmake -S art -B build-art -DCMAKE_BUILD_TYPE=Release
cmake --build build-art -j2
mkdir -p gfx font_sm icons sfx
build-art/mkfont /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf font_sm 11
build-art/mkart gfx icons
build-art/mkbg gfx/ulose.png
build-art/mksound sfx
build-art/checkart .
