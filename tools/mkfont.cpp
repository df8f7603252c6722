// mkfont: rasterises a TrueType font into the game's 16 x 16 glyph sheet.
// usage: mkfont [font.ttf] [outdir] [pixelsize]
#include "fontsheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>

static const char *DEFAULT_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
static const int SHEET_SIDE = 256;
// row of the cell that the pen sits on; leaves room above for accented capitals
static const int BASELINE = 12;

// true for codes that have a printable glyph in ASCII or Latin-1
static bool Font_Printable( int code ) {
	return ( code >= 32 && code <= 126 ) || ( code >= 160 && code <= 255 );
}

// renders one code with hinting and anti-aliasing and puts it in the sheet
static bool Font_RenderCode( FT_Face face, GlyphSheet &sheet, int code ) {
	// Latin-1 code points are the first 256 of Unicode
	FT_UInt index = FT_Get_Char_Index( face, (FT_ULong)code );
	if ( index == 0 ) {
		fprintf( stderr, "mkfont: no glyph for code %d\n", code );
		return false;
	}
	if ( FT_Load_Glyph( face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT ) != 0 ) {
		return false;
	}
	if ( FT_Render_Glyph( face->glyph, FT_RENDER_MODE_NORMAL ) != 0 ) {
		return false;
	}
	FT_GlyphSlot g = face->glyph;
	int advance = (int)( ( g->advance.x + 32 ) >> 6 );
	Sheet_PutGlyph( sheet, code, g->bitmap.buffer, (int)g->bitmap.width, (int)g->bitmap.rows,
		g->bitmap.pitch, g->bitmap_left, g->bitmap_top, advance, BASELINE );
	return true;
}

// builds the whole sheet from a face at a pixel size
static bool Font_BuildSheet( const char *path, int pixels, GlyphSheet &sheet ) {
	FT_Library lib;
	FT_Face face;
	if ( FT_Init_FreeType( &lib ) != 0 ) {
		return false;
	}
	if ( FT_New_Face( lib, path, 0, &face ) != 0 ) {
		fprintf( stderr, "mkfont: cannot open %s\n", path );
		FT_Done_FreeType( lib );
		return false;
	}
	FT_Set_Pixel_Sizes( face, 0, (FT_UInt)pixels );
	Sheet_Init( sheet, SHEET_SIDE );
	bool ok = true;
	for ( int code = 0; code < SHEET_GLYPHS; code++ ) {
		if ( Font_Printable( code ) && !Font_RenderCode( face, sheet, code ) ) {
			ok = false;
		}
	}
	FT_Done_Face( face );
	FT_Done_FreeType( lib );
	return ok;
}

int main( int argc, char **argv ) {
	const char *font = argc > 1 ? argv[1] : DEFAULT_FONT;
	const char *out = argc > 2 ? argv[2] : "font_sm";
	int pixels = argc > 3 ? atoi( argv[3] ) : 11;
	GlyphSheet sheet;
	if ( !Font_BuildSheet( font, pixels, sheet ) ) {
		return 1;
	}
	if ( !Sheet_Write( sheet, out ) ) {
		return 1;
	}
	printf( "mkfont: wrote %s (%dx%d sheet, %d px glyphs)\n", out, sheet.side, sheet.side, pixels );
	return 0;
}
