// Unit tests of the building blocks: PNG files, random numbers and noise,
// splines and zones, shape masks, the sprite painter and the glyph sheet.
#include "test.h"
#include "img.h"
#include "noise.h"
#include "paint.h"
#include "bg.h"
#include "fontsheet.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>

// a fresh scratch directory under /tmp
static std::string Scratch_Dir( void ) {
	char name[] = "/tmp/checkart.XXXXXX";
	const char *dir = mkdtemp( name );
	return dir ? dir : "/tmp";
}

// pixels written to a PNG come back unchanged
static void Test_Png( void ) {
	Test_Group( "png files" );
	Image img;
	Img_Init( img, 3, 2, Col_Make( 0, 0, 0 ) );
	Img_Set( img, 0, 0, KEY_COLOR );
	Img_Set( img, 2, 0, Col_Make( 1, 2, 3 ) );
	Img_Set( img, 1, 1, Col_Make( 255, 254, 253 ) );
	Img_Set( img, 2, 1, Col_Make( 300, -5, 127.6f ) );
	std::string path = Scratch_Dir() + "/t.png";
	CHECK( Png_Write( img, path ) );
	Image back;
	CHECK( Png_Read( back, path ) );
	CHECK( back.w == 3 && back.h == 2 );
	CHECK( back.px == img.px );
	CHECK( Img_IsKey( back, 0, 0 ) && !Img_IsKey( back, 2, 0 ) );
	Color c = Img_Get( back, 2, 1 );
	CHECK( c.r == 255 && c.g == 0 && c.b == 128 );
	CHECK( !Png_Read( back, "/nonexistent/x.png" ) );
	CHECK( !Png_Write( img, "/nonexistent/x.png" ) );
	unlink( path.c_str() );
}

// the generator is repeatable and its ranges hold
static void Test_Rng( void ) {
	Test_Group( "random numbers" );
	Rng a, b, c;
	Rng_Seed( a, 5 );
	Rng_Seed( b, 5 );
	Rng_Seed( c, 6 );
	bool same = true, differ = false;
	for ( int i = 0; i < 100; i++ ) {
		unsigned int va = Rng_Next( a ), vb = Rng_Next( b ), vc = Rng_Next( c );
		same = same && va == vb;
		differ = differ || va != vc;
	}
	CHECK( same );
	CHECK( differ );
	// pinned so that a change to the generator, which would silently redraw
	// every committed picture, is noticed
	Rng_Seed( a, 1 );
	CHECK( Rng_Next( a ) == 1245324245u );
	bool seen[4] = { false, false, false, false };
	bool inRange = true;
	for ( int i = 0; i < 1000; i++ ) {
		int v = Rng_Int( a, 3, 7 );
		inRange = inRange && v >= 3 && v < 7;
		if ( v >= 3 && v < 7 ) {
			seen[v - 3] = true;
		}
		float f = Rng_Float( a );
		inRange = inRange && f >= 0.0f && f < 1.0f;
	}
	CHECK( inRange );
	CHECK( seen[0] && seen[1] && seen[2] && seen[3] );
	CHECK( Rng_Int( a, 9, 9 ) == 9 );
}

// value noise is continuous, bounded, and pinned to the lattice hashes
static void Test_Noise( void ) {
	Test_Group( "noise" );
	CHECK( Noise_Value( 3.0f, 7.0f, 9 ) == Hash_Float( 3, 7, 9 ) );
	CHECK( Noise_Value( -4.0f, -2.0f, 9 ) == Hash_Float( -4, -2, 9 ) );
	bool bounded = true, smooth = true;
	for ( int i = 0; i < 2000; i++ ) {
		float x = i * 0.173f - 50.0f, y = i * 0.091f - 30.0f;
		float v = Noise_Value( x, y, 3 );
		float f = Noise_Fbm( x, y, 4, 3 );
		bounded = bounded && v >= 0.0f && v < 1.0f && f >= 0.0f && f < 1.0f;
		smooth = smooth && fabsf( Noise_Value( x + 0.01f, y, 3 ) - v ) < 0.05f;
	}
	CHECK( bounded );
	CHECK( smooth );
	CHECK( Smooth_Step( 0.0f, 1.0f, -1.0f ) == 0.0f && Smooth_Step( 0.0f, 1.0f, 2.0f ) == 1.0f );
	CHECK( fabsf( Smooth_Step( 2.0f, 4.0f, 3.0f ) - 0.5f ) < 1e-6f );
}

// splines pass through their points, stay flat beyond them, and report slopes
static void Test_Spline( void ) {
	Test_Group( "splines" );
	static const float pts[] = { 0, 10, 100, 50, 200, 20, 300, 80 };
	Spline sp = { pts, 4 };
	bool through = true;
	for ( int i = 0; i < 4; i++ ) {
		through = through && fabsf( Spline_Eval( sp, pts[i * 2], nullptr ) - pts[i * 2 + 1] ) < 1e-3f;
	}
	CHECK( through );
	float slope = 1.0f;
	CHECK( Spline_Eval( sp, -50.0f, &slope ) == 10.0f && slope == 0.0f );
	CHECK( Spline_Eval( sp, 999.0f, &slope ) == 80.0f && slope == 0.0f );
	bool slopes = true;
	for ( float t = 5.0f; t < 295.0f; t += 17.0f ) {
		Spline_Eval( sp, t, &slope );
		float fd = ( Spline_Eval( sp, t + 0.05f, nullptr ) - Spline_Eval( sp, t - 0.05f, nullptr ) ) / 0.1f;
		slopes = slopes && fabsf( slope - fd ) < 0.02f;
	}
	CHECK( slopes );
}

// zone weights share the land out completely, base at the top, coast at the bottom
static void Test_Zones( void ) {
	Test_Group( "zones" );
	bool sums = true;
	for ( int y = 0; y < BG_H; y += 37 ) {
		for ( int x = 0; x < BG_W; x += 53 ) {
			float w[ZONE_COUNT];
			Zone_Weights( (float)x, (float)y, w );
			float total = 0.0f;
			for ( int z = 0; z < ZONE_COUNT; z++ ) {
				sums = sums && w[z] >= 0.0f;
				total += w[z];
			}
			sums = sums && fabsf( total - 1.0f ) < 1e-4f;
		}
	}
	CHECK( sums );
	CHECK( Zone_Weight( 200.0f, 10.0f, ZONE_BASE ) > 0.99f );
	CHECK( Zone_Weight( 200.0f, BG_H - 10.0f, ZONE_COAST ) > 0.99f );
	CHECK( Zone_Weight( 200.0f, 3900.0f, ZONE_FARM ) > 0.9f );
}

// masks cover exactly the pixels whose centres are inside
static void Test_Masks( void ) {
	Test_Group( "shape masks" );
	Mask m;
	Mask_Box( m, 10, 10, 2.0f, 2.0f, 6.0f, 6.0f );
	CHECK( Mask_Count( m ) == 16 );
	CHECK( m.in[2 * 10 + 2] && m.in[5 * 10 + 5] && !m.in[6 * 10 + 6] && !m.in[1 * 10 + 2] );
	Mask_Ellipse( m, 32, 32, 16.0f, 16.0f, 8.0f, 8.0f, 0.0f );
	CHECK( abs( Mask_Count( m ) - 201 ) < 10 );
	// a rotated long ellipse still has about the same area
	Mask_Ellipse( m, 32, 32, 16.0f, 16.0f, 12.0f, 3.0f, 0.7f );
	CHECK( abs( Mask_Count( m ) - 113 ) < 10 );
	// a left half mirrored about x = 16 gives a symmetric shape
	float pts[16] = { 16.0f, 2.0f, 5.0f, 20.0f, 9.0f, 28.0f, 16.0f, 26.0f };
	int n = Poly_Mirror( pts, 4, 16.0f );
	CHECK( n == 8 );
	Mask_Polygon( m, 32, 32, pts, n );
	bool symmetric = Mask_Count( m ) > 100;
	for ( int y = 0; y < 32; y++ ) {
		for ( int x = 0; x < 16; x++ ) {
			symmetric = symmetric && m.in[y * 32 + x] == m.in[y * 32 + 31 - x];
		}
	}
	CHECK( symmetric );
	float p[2] = { 11.0f, 5.0f };
	Poly_Rotate( p, 1, 5.0f, 5.0f, 1.5707963f );
	CHECK( fabsf( p[0] - 5.0f ) < 1e-4f && fabsf( p[1] - 11.0f ) < 1e-4f );
}

// the painter keys the background, outlines shapes and lights them from the upper left
static void Test_Painter( void ) {
	Test_Group( "sprite painter" );
	Sprite s;
	Spr_Init( s, 24, 24 );
	Mask m;
	Mask_Ellipse( m, 24, 24, 12.0f, 12.0f, 7.0f, 7.0f, 0.0f );
	Spr_Fill( s, m, Paint_Make( Col_Make( 150, 150, 150 ), MAT_MATTE, PROFILE_ROUND, 0.0f, 4.0f, 7.0f ) );
	Spr_Plot( s, 1, 1, KEY_COLOR, MAT_GLOW );
	Image out;
	Spr_Render( s, out );
	CHECK( out.w == 24 && out.h == 24 );
	CHECK( Img_IsKey( out, 23, 23 ) && Img_IsKey( out, 0, 23 ) );
	// a painted pixel that happens to be magenta must not turn transparent
	CHECK( !Img_IsKey( out, 1, 1 ) );
	// glow pixels get no outline
	CHECK( Img_IsKey( out, 2, 1 ) && Img_IsKey( out, 1, 2 ) );
	// the pixel just left of the disc is a dark outline
	CHECK( !m.in[12 * 24 + 4] && !Img_IsKey( out, 4, 12 ) );
	CHECK( Col_Luma( Img_Get( out, 4, 12 ) ) < Col_Luma( Img_Get( out, 6, 12 ) ) );
	CHECK( Img_IsKey( out, 2, 12 ) );
	// the upper-left side of a dome catches more light than the lower right
	CHECK( Col_Luma( Img_Get( out, 8, 8 ) ) > Col_Luma( Img_Get( out, 15, 15 ) ) );
}

// glyphs land inside the window the game cuts out of the sheet
static void Test_Sheet( void ) {
	Test_Group( "glyph sheet" );
	GlyphSheet sheet;
	Sheet_Init( sheet, 256 );
	CHECK( sheet.cell == 16 && sheet.coverage.size() == 65536u );
	CHECK( sheet.widths[0] == EMPTY_GLYPH_WIDTH );
	unsigned char full[5 * 20];
	for ( int i = 0; i < 100; i++ ) {
		full[i] = 200;
	}
	// 'A' is code 65: column 1, row 4; with width 7 the cut starts at 16 + 8 - 3
	Sheet_PutGlyph( sheet, 65, full, 3, 3, 3, 0, 3, 7, 12 );
	CHECK( sheet.widths[65] == 7 );
	CHECK( Sheet_CutLeft( sheet, 65 ) == 21 );
	int row = 4 * 16;
	CHECK( sheet.coverage[( row + 9 ) * 256 + 21] == 200 );
	CHECK( sheet.coverage[( row + 11 ) * 256 + 23] == 200 );
	CHECK( sheet.coverage[( row + 12 ) * 256 + 21] == 0 );
	CHECK( sheet.coverage[( row + 9 ) * 256 + 20] == 0 );
	// a negative left bearing is pulled right instead of being cut off
	Sheet_PutGlyph( sheet, 66, full, 2, 1, 2, -2, 8, 6, 12 );
	int cut = Sheet_CutLeft( sheet, 66 );
	CHECK( sheet.coverage[( row + 4 ) * 256 + cut] == 200 );
	CHECK( sheet.coverage[( row + 4 ) * 256 + cut - 1] == 0 );
	// ink past the cut's right edge (advance + 2) is dropped
	Sheet_PutGlyph( sheet, 67, full, 5, 1, 5, 0, 8, 2, 12 );
	cut = Sheet_CutLeft( sheet, 67 );
	CHECK( sheet.coverage[( row + 4 ) * 256 + cut + 3] == 200 );
	CHECK( sheet.coverage[( row + 4 ) * 256 + cut + 4] == 0 );
	// an advance too wide for the cell is narrowed
	Sheet_PutGlyph( sheet, 68, full, 1, 1, 1, 0, 1, 40, 12 );
	CHECK( sheet.widths[68] == 14 );
	CHECK( Sheet_TextWidth( sheet, "AB" ) == 13 );
	CHECK( Sheet_TextWidth( sheet, "" ) == 0 );
	std::string dir = Scratch_Dir();
	CHECK( Sheet_Write( sheet, dir ) );
	GlyphSheet back;
	CHECK( Sheet_Read( back, dir ) );
	CHECK( back.coverage == sheet.coverage && back.widths[67] == 2 && back.side == 256 );
	// a raw file of the wrong length is refused
	FILE *f = fopen( ( dir + "/font.raw" ).c_str(), "ab" );
	fputc( 0, f );
	fclose( f );
	CHECK( !Sheet_Read( back, dir ) );
	unlink( ( dir + "/font.ini" ).c_str() );
	unlink( ( dir + "/font.raw" ).c_str() );
	unlink( ( dir + "/font.dat" ).c_str() );
	rmdir( dir.c_str() );
}

// every unit group
void Units_Run( void ) {
	Test_Png();
	Test_Rng();
	Test_Noise();
	Test_Spline();
	Test_Zones();
	Test_Masks();
	Test_Painter();
	Test_Sheet();
}
