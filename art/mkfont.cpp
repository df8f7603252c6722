// mkfont: rasterises a TrueType font into the game's 16 x 16 glyph sheet.
// usage: mkfont [font.ttf] [outdir] [pixelsize]
#include "fontft.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
	const char *font = argc > 1 ? argv[1] : FONT_DEFAULT_PATH;
	const char *out = argc > 2 ? argv[2] : "font_sm";
	int pixels = argc > 3 ? atoi(argv[3]) : FONT_DEFAULT_PIXELS;
	GlyphSheet sheet;
	if (!fontBuildSheet(font, pixels, sheet)) {
		return 1;
	}
	if (!sheetWrite(sheet, out)) {
		return 1;
	}
	printf("mkfont: wrote %s (%dx%d sheet, %d px glyphs)\n", out, sheet.side, sheet.side, pixels);
	return 0;
}
