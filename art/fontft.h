// Rasterising a TrueType font into a glyph sheet with FreeType.
#pragma once

#include "fontsheet.h"

extern const char *FONT_DEFAULT_PATH;
const int FONT_DEFAULT_PIXELS = 11;
const int FONT_SHEET_SIDE = 256;
// row of a cell that the pen sits on; leaves room above for accented capitals
const int FONT_BASELINE = 12;

bool fontBuildSheet(const char *path, int pixels, GlyphSheet &sheet);
