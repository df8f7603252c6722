#!/bin/sh
# Rebuilds the art generators and rewrites gfx/, font_sm/ and icons/ from them, then
# checks the results. Run from anywhere; everything happens at the repo root.
set -e
cd "$(dirname "$0")/.."
cmake -S tools -B build-tools -DCMAKE_BUILD_TYPE=Release
cmake --build build-tools -j2
mkdir -p gfx font_sm icons
build-tools/mkfont /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf font_sm 11
build-tools/mkart gfx icons
build-tools/mkbg gfx/ulose.png
build-tools/checkart .
