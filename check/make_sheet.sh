#!/bin/sh
# Builds vorska-check and redraws docs/sheet.png, the sheet of the sample data in the README.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target vorska-check
build/check/vorska-check --sheet docs/sheet.png data/entity.dat
