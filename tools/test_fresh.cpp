// The committed art must be exactly what the generators make today, so a
// change to a tool that was not followed by tools/make_art.sh is caught.
#include "test.h"
#include "img.h"
#include "sprites.h"
#include "bg.h"
#include "fontft.h"

#include <string>

// every sprite file equals a fresh drawing of it
static void Test_FreshSprites( const std::string &root ) {
	Test_Group( "sprites are current" );
	int stale = 0;
	for ( int i = 0; i < Art_Count(); i++ ) {
		Image fresh, committed;
		std::string name;
		Art_Render( i, fresh, name );
		bool same = Png_Read( committed, root + "/gfx/" + name ) && committed.w == fresh.w
			&& committed.h == fresh.h && committed.px == fresh.px;
		if ( !same ) {
			printf( "  gfx/%s differs from the generator\n", name.c_str() );
			stale++;
		}
	}
	CHECK( stale == 0 );
}

// every desktop icon equals a fresh drawing at its size
static void Test_FreshIcons( const std::string &root ) {
	Test_Group( "icons are current" );
	for ( int i = 0; i < ICON_COUNT; i++ ) {
		Image fresh, committed;
		std::string name;
		Icon_Render( i, fresh, name );
		CHECK( Png_Read( committed, root + "/icons/" + name ) && committed.w == fresh.w && committed.px == fresh.px );
	}
}

// the font directory equals a fresh rasterisation
static void Test_FreshFont( const std::string &root ) {
	Test_Group( "font is current" );
	GlyphSheet fresh, committed;
	CHECK( Font_BuildSheet( FONT_DEFAULT_PATH, FONT_DEFAULT_PIXELS, fresh ) );
	CHECK( Sheet_Read( committed, root + "/font_sm" ) );
	bool widths = true;
	for ( int i = 0; i < SHEET_GLYPHS; i++ ) {
		widths = widths && fresh.widths[i] == committed.widths[i];
	}
	CHECK( widths );
	CHECK( fresh.coverage == committed.coverage );
}

// the background equals a fresh build of all its layers
static void Test_FreshBackground( const std::string &root ) {
	Test_Group( "background is current" );
	static Land land;
	Land_PaintAll( land );
	Image committed;
	CHECK( Png_Read( committed, root + "/gfx/ulose.png" ) );
	CHECK( committed.px == land.img.px );
}

// all freshness checks against a repository root
void Fresh_Run( const char *root ) {
	Test_FreshSprites( root );
	Test_FreshIcons( root );
	Test_FreshFont( root );
	Test_FreshBackground( root );
}
