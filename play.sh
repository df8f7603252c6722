#!/bin/sh
# Installs what is missing, builds the game and starts it. The build has a folder of its own,
# so that this and ./test.sh work in either order on one clone.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DVORSKA_TESTS=OFF -DVORSKA_BENCH=OFF -DVORSKA_ART=OFF >/dev/null
cmake --build build-play -j"$(nproc)" --target vorska
exec ./build-play/vorska
