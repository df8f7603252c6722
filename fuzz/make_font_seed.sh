#!/bin/sh
# Packs a font folder into one input of fuzz_font: a flag byte (1 font.ini, 2 font.raw,
# 4 font.dat, 8 proportional widths), the length of font.ini in one byte, the length of
# font.raw in three (little-endian), then the three files.
# Usage: make_font_seed.sh FONTDIR [FLAGS] > seed
dir=$1
flags=${2:-15}
ini=$(wc -c <"$dir/font.ini")
raw=$(wc -c <"$dir/font.raw")
# Writes the byte of value $1 (%b reads \0ddd as the byte of octal value ddd).
octal() {
	printf '%b' "\\0$(printf '%03o' "$1")"
}
octal "$flags"
octal "$ini"
octal $((raw & 255))
octal $(((raw >> 8) & 255))
octal $(((raw >> 16) & 255))
cat "$dir/font.ini" "$dir/font.raw"
[ $((flags & 4)) -ne 0 ] && cat "$dir/font.dat"
exit 0
