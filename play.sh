#!/bin/sh
# Installs what is missing, builds the game and starts it.
set -e
cd "$(dirname "$0")"
sh scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORSKA_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target vorska
exec ./build/vorska
