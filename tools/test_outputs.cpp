// Checks of the committed art as the game will load it: the font directory,
// every sprite with its colour key, the window icon and the background.
#include "test.h"
#include "img.h"
#include "fontsheet.h"
#include "sprites.h"
#include "bg.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

struct SpriteFile {
	const char *name;
	int w, h;
};

static const SpriteFile SPRITE_FILES[] = {
	{ "player1", 32, 40 }, { "player2", 32, 40 },
	{ "tank1", 32, 32 }, { "tank2", 32, 32 }, { "tank3", 32, 32 }, { "tank4", 32, 32 },
	{ "heli1", 64, 64 }, { "heli2", 64, 64 }, { "heli3", 64, 64 },
	{ "shot", 4, 14 }, { "bullet1", 8, 8 }, { "bullet2", 8, 8 },
	{ "boom_s1", 32, 32 }, { "boom_s2", 32, 32 }, { "boom_s3", 32, 32 },
	{ "boom_s4", 32, 32 }, { "boom_s5", 32, 32 }, { "boom_s6", 32, 32 },
	{ "boom_l1", 64, 64 }, { "boom_l2", 64, 64 }, { "boom_l3", 64, 64 }, { "boom_l4", 64, 64 },
	{ "boom_l5", 64, 64 }, { "boom_l6", 64, 64 }, { "boom_l7", 64, 64 }, { "boom_l8", 64, 64 },
	{ "wreck", 32, 32 }
};

static std::string root;

// loads gfx/<name>.png; an empty image when it cannot be read
static Image Load_Gfx( const char *name ) {
	Image img;
	if ( !Png_Read( img, root + "/gfx/" + name + ".png" ) ) {
		img.w = img.h = 0;
	}
	return img;
}

// number of pixels that are not the colour key
static int Painted_Count( const Image &img ) {
	int n = 0;
	for ( int y = 0; y < img.h; y++ ) {
		for ( int x = 0; x < img.w; x++ ) {
			n += !Img_IsKey( img, x, y );
		}
	}
	return n;
}

// average brightness of the painted pixels
static float Painted_Luma( const Image &img ) {
	float sum = 0.0f;
	int n = 0;
	for ( int y = 0; y < img.h; y++ ) {
		for ( int x = 0; x < img.w; x++ ) {
			if ( !Img_IsKey( img, x, y ) ) {
				sum += Col_Luma( Img_Get( img, x, y ) );
				n++;
			}
		}
	}
	return n ? sum / n : 0.0f;
}

// true when the painted silhouette is mirror-symmetric left to right
static bool Silhouette_Symmetric( const Image &img ) {
	for ( int y = 0; y < img.h; y++ ) {
		for ( int x = 0; x < img.w / 2; x++ ) {
			if ( Img_IsKey( img, x, y ) != Img_IsKey( img, img.w - 1 - x, y ) ) {
				return false;
			}
		}
	}
	return true;
}

// the font directory loads, glyphs sit inside their cut, overlay text fits
static void Test_FontFiles( void ) {
	Test_Group( "font directory" );
	GlyphSheet s;
	CHECK( Sheet_Read( s, root + "/font_sm" ) );
	if ( s.side != 256 ) {
		CHECK( s.side == 256 );
		return;
	}
	bool inkWhereExpected = true, insideCut = true;
	for ( int c = 0; c < SHEET_GLYPHS; c++ ) {
		int cut = Sheet_CutLeft( s, c );
		int cellx = ( c % 16 ) * 16, celly = ( c / 16 ) * 16;
		int ink = 0;
		for ( int y = celly; y < celly + 16; y++ ) {
			for ( int x = cellx; x < cellx + 16; x++ ) {
				if ( s.coverage[y * 256 + x] ) {
					ink++;
					insideCut = insideCut && x >= cut && x < cut + s.widths[c] + 2;
				}
			}
		}
		bool printable = ( c > 32 && c < 127 ) || ( c > 160 && c != 173 );
		bool blank = c < 32 || ( c >= 127 && c < 160 );
		if ( ( printable && ink == 0 ) || ( blank && ( ink != 0 || s.widths[c] != EMPTY_GLYPH_WIDTH ) ) ) {
			inkWhereExpected = false;
			printf( "  glyph %d: ink %d width %d\n", c, ink, s.widths[c] );
		}
	}
	CHECK( inkWhereExpected );
	CHECK( insideCut );
	CHECK( s.widths[' '] >= 3 && s.widths[' '] <= 6 );
	CHECK( s.widths['W'] > s.widths['i'] );
	// the longest lines of the debug overlay, which is 140 pixels wide
	static const char *lines[] = { "FPS: 777 (777c)", "DBG_BIT: YES [YES]", "Fullscreen: No",
		"S.Memory: SW", "D.Buffer: Yes", "Cycles 12", "DBG_BOX: YES [YES]" };
	for ( const char *line : lines ) {
		CHECK( Sheet_TextWidth( s, line ) <= 136 );
	}
}

// first and last rows and columns of a glyph's ink in its cell; false when blank
static bool Glyph_Ink( const GlyphSheet &s, int code, int &top, int &bottom, int &left, int &right ) {
	int cellx = ( code % 16 ) * s.cell, celly = ( code / 16 ) * s.cell;
	top = left = 1000;
	bottom = right = -1;
	for ( int y = 0; y < s.cell; y++ ) {
		for ( int x = 0; x < s.cell; x++ ) {
			if ( s.coverage[( celly + y ) * s.side + cellx + x] > 40 ) {
				top = y < top ? y : top;
				bottom = y > bottom ? y : bottom;
				left = x < left ? x : left;
				right = x > right ? x : right;
			}
		}
	}
	return bottom >= 0;
}

// glyphs share one baseline, descenders and accents reach past it, digits
// line up in columns and each glyph sits in the middle of its cut
static void Test_FontShapes( void ) {
	Test_Group( "font shapes" );
	GlyphSheet s;
	if ( !Sheet_Read( s, root + "/font_sm" ) ) {
		CHECK( false );
		return;
	}
	int top, bottom, left, right;
	int base = Glyph_Ink( s, 'H', top, bottom, left, right ) ? bottom : -1;
	int capTop = top;
	bool shared = base > 8 && base < 15;
	for ( const char *p = "EHIxo1mz"; *p; p++ ) {
		shared = shared && Glyph_Ink( s, *p, top, bottom, left, right ) && bottom == base;
	}
	CHECK( shared );
	bool below = true;
	for ( const char *p = "gpqy"; *p; p++ ) {
		below = below && Glyph_Ink( s, *p, top, bottom, left, right ) && bottom > base && bottom < s.cell;
	}
	CHECK( below );
	// E with acute (201) rises above the plain capital, and stays in the cell
	CHECK( Glyph_Ink( s, 201, top, bottom, left, right ) && top < capTop && top >= 0 );
	bool digits = true;
	for ( int c = '1'; c <= '9'; c++ ) {
		digits = digits && s.widths[c] == s.widths['0'];
	}
	CHECK( digits );
	bool centred = true;
	for ( const char *p = "HOoMn0"; *p; p++ ) {
		int cut = Sheet_CutLeft( s, *p ) - ( *p % 16 ) * s.cell;
		Glyph_Ink( s, *p, top, bottom, left, right );
		int gapLeft = left - cut, gapRight = cut + s.widths[(int)*p] - 1 - right;
		centred = centred && abs( gapLeft - gapRight ) <= 2;
	}
	CHECK( centred );
}

// every sprite has its size, a keyed background and something painted
static void Test_SpriteFiles( void ) {
	Test_Group( "sprite files" );
	for ( const SpriteFile &f : SPRITE_FILES ) {
		Image img = Load_Gfx( f.name );
		bool sized = img.w == f.w && img.h == f.h;
		if ( !sized ) {
			printf( "  %s: %dx%d, expected %dx%d\n", f.name, img.w, img.h, f.w, f.h );
			CHECK( sized );
			continue;
		}
		bool corners = Img_IsKey( img, 0, 0 ) && Img_IsKey( img, f.w - 1, 0 ) && Img_IsKey( img, 0, f.h - 1 )
			&& Img_IsKey( img, f.w - 1, f.h - 1 );
		int painted = Painted_Count( img );
		if ( !corners || painted < f.w * f.h / 24 ) {
			printf( "  %s: corners keyed %d, painted %d\n", f.name, corners, painted );
		}
		CHECK( corners );
		CHECK( painted >= f.w * f.h / 24 );
	}
	Image logo = Load_Gfx( "logo" );
	CHECK( logo.w == LOGO_SIZE && logo.h == LOGO_SIZE );
	// the icon is shown without a mask, so it must be fully painted
	CHECK( Painted_Count( logo ) == LOGO_SIZE * LOGO_SIZE );
	// desktops show the larger icons as they are, square and opaque
	for ( int size : ICON_SIZES ) {
		Image icon;
		CHECK( Png_Read( icon, root + "/icons/vorska_" + std::to_string( size ) + ".png" ) && icon.w == size
			&& icon.h == size && Painted_Count( icon ) == size * size );
	}
}

// frames of one animation differ in the way the animation means
static void Test_Animations( void ) {
	Test_Group( "animations" );
	Image p1 = Load_Gfx( "player1" ), p2 = Load_Gfx( "player2" );
	CHECK( p1.px != p2.px );
	// only the engine flames flicker: everything above them is identical
	bool hullSame = p1.w == p2.w;
	for ( int y = 0; y < 33 && hullSame; y++ ) {
		for ( int x = 0; x < p1.w; x++ ) {
			Color a = Img_Get( p1, x, y ), b = Img_Get( p2, x, y );
			hullSame = hullSame && a.r == b.r && a.g == b.g && a.b == b.b;
		}
	}
	CHECK( hullSame );
	CHECK( Silhouette_Symmetric( p1 ) && Silhouette_Symmetric( p2 ) );
	Image t[4];
	for ( int i = 0; i < 4; i++ ) {
		t[i] = Load_Gfx( ( "tank" + std::to_string( i + 1 ) ).c_str() );
	}
	CHECK( t[0].px != t[1].px && t[1].px != t[2].px && t[2].px != t[3].px && t[0].px != t[2].px );
	// the turret points straight down in the first and third frames
	CHECK( Silhouette_Symmetric( t[0] ) && Silhouette_Symmetric( t[2] ) );
	// the barrel reaches the bottom rows in the middle
	CHECK( !Img_IsKey( t[0], 15, 29 ) && !Img_IsKey( t[0], 16, 29 ) );
	Image h1 = Load_Gfx( "heli1" ), h2 = Load_Gfx( "heli2" ), h3 = Load_Gfx( "heli3" );
	CHECK( h1.px != h2.px && h2.px != h3.px && h1.px != h3.px );
	Image b1 = Load_Gfx( "bullet1" ), b2 = Load_Gfx( "bullet2" );
	CHECK( b1.px != b2.px );
}

// explosions start hot and end in smoke; the wreck is darker than a tank
static void Test_Explosions( void ) {
	Test_Group( "explosions and colours" );
	Image first = Load_Gfx( "boom_s1" ), last = Load_Gfx( "boom_s6" ), mid = Load_Gfx( "boom_s3" );
	CHECK( Painted_Luma( first ) > 180.0f );
	CHECK( Painted_Luma( last ) < 120.0f );
	CHECK( Painted_Count( mid ) > Painted_Count( first ) );
	Image lfirst = Load_Gfx( "boom_l1" ), llast = Load_Gfx( "boom_l8" ), lmid = Load_Gfx( "boom_l4" );
	CHECK( Painted_Luma( lfirst ) > 180.0f && Painted_Luma( llast ) < 120.0f );
	CHECK( Painted_Count( lmid ) > Painted_Count( lfirst ) * 3 );
	CHECK( Painted_Luma( Load_Gfx( "wreck" ) ) < Painted_Luma( Load_Gfx( "tank1" ) ) * 0.7f );
	// the player's bolt is bright and blue, the enemy's bullet red-orange
	Image shot = Load_Gfx( "shot" ), bullet = Load_Gfx( "bullet1" );
	Color sc = Img_Get( shot, 1, 7 ), bc = Img_Get( bullet, 0, 4 );
	CHECK( Painted_Luma( shot ) > 150.0f && sc.b >= sc.r );
	CHECK( bc.r > bc.b + 60.0f );
}

// the background has the size the level needs, stays dark, and varies
static void Test_Background( void ) {
	Test_Group( "background" );
	std::string path = root + "/gfx/ulose.png";
	struct stat st;
	CHECK( stat( path.c_str(), &st ) == 0 && st.st_size < 4 * 1024 * 1024 );
	Image bg;
	CHECK( Png_Read( bg, path ) );
	if ( bg.w != BG_W || bg.h != BG_H ) {
		CHECK( bg.w == BG_W && bg.h == BG_H );
		return;
	}
	// mean brightness of ten bands of 640 rows
	float band[10] = {};
	double total = 0.0;
	for ( int y = 0; y < BG_H; y++ ) {
		for ( int x = 0; x < BG_W; x++ ) {
			float l = Col_Luma( Img_Get( bg, x, y ) );
			band[y / 640] += l;
			total += l;
		}
	}
	float mean = (float)( total / ( (double)BG_W * BG_H ) );
	CHECK( mean > 40.0f && mean < 95.0f );
	float lo = 1e9f, hi = 0.0f;
	for ( int i = 0; i < 10; i++ ) {
		band[i] /= 640.0f * BG_W;
		lo = fminf( lo, band[i] );
		hi = fmaxf( hi, band[i] );
	}
	CHECK( hi - lo > 8.0f );
	// no block of the land is a flat colour
	int flat = 0;
	for ( int by = 0; by < BG_H; by += 40 ) {
		for ( int bx = 0; bx + 40 <= BG_W; bx += 40 ) {
			double s = 0.0, s2 = 0.0;
			for ( int y = by; y < by + 40; y++ ) {
				for ( int x = bx; x < bx + 40; x++ ) {
					double l = Col_Luma( Img_Get( bg, x, y ) );
					s += l;
					s2 += l * l;
				}
			}
			double m = s / 1600.0;
			if ( ( s2 / 1600.0 - m * m ) < 1.0 ) {
				printf( "  flat block at %d,%d: variance %.1f\n", bx, by, s2 / 1600.0 - m * m );
				flat++;
			}
		}
	}
	CHECK( flat == 0 );
	// the river runs the whole way from below the base to the sea; each band
	// is probed on three rows, since a bridge may hide the water on one
	bool river = true;
	for ( int y = 800; y < 6200; y += 50 ) {
		bool water = false;
		for ( int row = y; row < y + 50 && !water; row += 20 ) {
			for ( int x = 0; x < BG_W && !water; x++ ) {
				Color c = Img_Get( bg, x, row );
				water = c.b > c.r + 14.0f && c.b > c.g;
			}
		}
		if ( !water ) {
			printf( "  no water in row %d\n", y );
		}
		river = river && water;
	}
	CHECK( river );
	// the last screen shows the base: much of it is grey concrete
	int grey = 0;
	for ( int y = 0; y < 600; y++ ) {
		for ( int x = 0; x < BG_W; x++ ) {
			Color c = Img_Get( bg, x, y );
			float l = Col_Luma( c );
			grey += fabsf( c.r - c.g ) < 8.0f && fabsf( c.g - c.b ) < 10.0f && l > 60.0f && l < 120.0f;
		}
	}
	CHECK( grey > BG_W * 600 / 4 );
	// the first screen starts over the sea
	int sea = 0;
	for ( int y = BG_H - 40; y < BG_H; y++ ) {
		for ( int x = 0; x < BG_W; x++ ) {
			Color c = Img_Get( bg, x, y );
			sea += c.b > c.r + 14.0f;
		}
	}
	CHECK( sea > BG_W * 40 * 9 / 10 );
}

// every output check, against the files under a repository root
void Outputs_Run( const char *dir ) {
	root = dir;
	Test_FontFiles();
	Test_FontShapes();
	Test_SpriteFiles();
	Test_Animations();
	Test_Explosions();
	Test_Background();
}
