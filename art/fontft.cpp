// Renders ASCII and Latin-1 glyphs, hinted and anti-aliased, into a sheet.
#include "fontft.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

const char *FONT_DEFAULT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// true for codes that have a printable glyph in ASCII or Latin-1
static bool fontPrintable(int code) {
	return (code >= 32 && code <= 126) || (code >= 160 && code <= 255);
}

// renders one code and puts it in the sheet
static bool fontRenderCode(FT_Face face, GlyphSheet &sheet, int code) {
	// Latin-1 code points are the first 256 of Unicode
	FT_UInt index = FT_Get_Char_Index(face, (FT_ULong)code);
	if (index == 0) {
		fprintf(stderr, "mkfont: no glyph for code %d\n", code);
		return false;
	}
	// light hinting snaps stems vertically only, which keeps small text even
	if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) {
		return false;
	}
	if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
		return false;
	}
	FT_GlyphSlot g = face->glyph;
	int advance = (int)((g->advance.x + 32) >> 6);
	sheetPutGlyph(sheet, code, g->bitmap.buffer, (int)g->bitmap.width, (int)g->bitmap.rows, g->bitmap.pitch,
	              g->bitmap_left, g->bitmap_top, advance, FONT_BASELINE);
	return true;
}

// builds the whole sheet from a face at a pixel size
bool fontBuildSheet(const char *path, int pixels, GlyphSheet &sheet) {
	FT_Library lib;
	FT_Face face;
	if (FT_Init_FreeType(&lib) != 0) {
		return false;
	}
	if (FT_New_Face(lib, path, 0, &face) != 0) {
		fprintf(stderr, "mkfont: cannot open %s\n", path);
		FT_Done_FreeType(lib);
		return false;
	}
	FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixels);
	sheetInit(sheet, FONT_SHEET_SIDE);
	bool ok = true;
	for (int code = 0; code < SHEET_GLYPHS; code++) {
		if (fontPrintable(code) && !fontRenderCode(face, sheet, code)) {
			ok = false;
		}
	}
	FT_Done_Face(face);
	FT_Done_FreeType(lib);
	return ok;
}
