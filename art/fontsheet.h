// The glyph sheet that the game's bitmap font reads: 16 x 16 cells of 8-bit
// coverage plus one advance width per character code.
#pragma once

#include <string>
#include <vector>

const int SHEET_GLYPHS = 256;
const int SHEET_COLS = 16;
const int EMPTY_GLYPH_WIDTH = 4;

struct GlyphSheet {
	int side = 0;                         // sheet is side x side pixels
	int cell = 0;                         // side / 16
	std::vector<unsigned char> coverage;  // side * side bytes, rows top to bottom
	unsigned char widths[SHEET_GLYPHS] = {};
};

void sheetInit(GlyphSheet &sheet, int side);
int sheetCutLeft(const GlyphSheet &sheet, int code);
void sheetPutGlyph(GlyphSheet &sheet, int code, const unsigned char *bits, int bw, int bh, int pitch, int left, int top,
                   int advance, int baseline);
int sheetTextWidth(const GlyphSheet &sheet, const char *text);
bool sheetWrite(const GlyphSheet &sheet, const std::string &dir);
bool sheetRead(GlyphSheet &sheet, const std::string &dir);
