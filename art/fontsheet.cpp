// Placing rendered glyphs in the sheet and the three files of a font directory.
#include "fontsheet.h"

#include <cstdio>

// empties the sheet and gives every code the small default width
void sheetInit(GlyphSheet &sheet, int side) {
	sheet.side = side;
	sheet.cell = side / SHEET_COLS;
	sheet.coverage.assign((size_t)side * side, 0);
	for (int i = 0; i < SHEET_GLYPHS; i++) {
		sheet.widths[i] = EMPTY_GLYPH_WIDTH;
	}
}

// sheet column where the game starts cutting the glyph of a code: half the
// glyph's width left of the cell centre, the same integer division it uses
int sheetCutLeft(const GlyphSheet &sheet, int code) {
	int col = code % SHEET_COLS;
	return col * sheet.cell + sheet.cell / 2 - sheet.widths[code] / 2;
}

// copies a rendered glyph into its cell with its pen box centred; ink that
// would fall left of the cut is pulled right so the game never loses it
void sheetPutGlyph(GlyphSheet &sheet, int code, const unsigned char *bits, int bw, int bh, int pitch, int left, int top,
                   int advance, int baseline) {
	if (advance < 1) {
		advance = 1;
	}
	if (advance > sheet.cell - 2) {
		advance = sheet.cell - 2;
	}
	sheet.widths[code] = (unsigned char)advance;
	int pen = sheetCutLeft(sheet, code);
	int cellx = (code % SHEET_COLS) * sheet.cell;
	int celly = (code / SHEET_COLS) * sheet.cell;
	int x0 = pen + left;
	if (x0 < pen) {
		x0 = pen;
	}
	int y0 = celly + baseline - top;
	for (int y = 0; y < bh; y++) {
		int sy = y0 + y;
		if (sy < celly || sy >= celly + sheet.cell) {
			continue;
		}
		for (int x = 0; x < bw; x++) {
			int sx = x0 + x;
			// the game's cut is two pixels wider than the advance
			if (sx < cellx || sx >= pen + advance + 2 || sx >= cellx + sheet.cell) {
				continue;
			}
			unsigned char v = bits[y * pitch + x];
			unsigned char &dst = sheet.coverage[(size_t)sy * sheet.side + sx];
			if (v > dst) {
				dst = v;
			}
		}
	}
}

// width in pixels of a text drawn with the sheet's advances
int sheetTextWidth(const GlyphSheet &sheet, const char *text) {
	int w = 0;
	for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
		w += sheet.widths[*p];
	}
	return w;
}

// writes font.ini, font.raw and font.dat into a directory
bool sheetWrite(const GlyphSheet &sheet, const std::string &dir) {
	FILE *f = fopen((dir + "/font.ini").c_str(), "wb");
	if (!f) {
		fprintf(stderr, "sheetWrite: cannot write into %s\n", dir.c_str());
		return false;
	}
	fprintf(f, "%d\n", sheet.side);
	fclose(f);
	f = fopen((dir + "/font.raw").c_str(), "wb");
	if (!f) {
		return false;
	}
	fwrite(sheet.coverage.data(), 1, sheet.coverage.size(), f);
	fclose(f);
	f = fopen((dir + "/font.dat").c_str(), "wb");
	if (!f) {
		return false;
	}
	fwrite(sheet.widths, 1, SHEET_GLYPHS, f);
	fclose(f);
	return true;
}

// reads a font directory back; false if a file is missing or short
bool sheetRead(GlyphSheet &sheet, const std::string &dir) {
	FILE *f = fopen((dir + "/font.ini").c_str(), "rb");
	if (!f) {
		return false;
	}
	int side = 0;
	int got = fscanf(f, "%d", &side);
	fclose(f);
	if (got != 1 || side < SHEET_COLS) {
		return false;
	}
	sheetInit(sheet, side);
	f = fopen((dir + "/font.raw").c_str(), "rb");
	if (!f) {
		return false;
	}
	size_t n = fread(sheet.coverage.data(), 1, sheet.coverage.size(), f);
	bool extra = fgetc(f) != EOF;
	fclose(f);
	if (n != sheet.coverage.size() || extra) {
		return false;
	}
	f = fopen((dir + "/font.dat").c_str(), "rb");
	if (!f) {
		return false;
	}
	n = fread(sheet.widths, 1, SHEET_GLYPHS, f);
	extra = fgetc(f) != EOF;
	fclose(f);
	return n == SHEET_GLYPHS && !extra;
}
