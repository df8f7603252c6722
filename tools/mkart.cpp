// mkart: paints every sprite and the window icon into a gfx directory.
// usage: mkart [outdir]
#include "sprites.h"

#include <cstdio>
#include <string>

static std::string outDir = "gfx";

// writes one picture under the output directory; false on failure
static bool Art_Save( const Image &img, const std::string &name ) {
	std::string path = outDir + "/" + name;
	if ( !Png_Write( img, path ) ) {
		return false;
	}
	printf( "mkart: %s %dx%d\n", path.c_str(), img.w, img.h );
	return true;
}

// writes a numbered animation: base1.png, base2.png, ...
static bool Art_SaveFrame( const Image &img, const char *base, int frame ) {
	char name[64];
	snprintf( name, sizeof( name ), "%s%d.png", base, frame + 1 );
	return Art_Save( img, name );
}

int main( int argc, char **argv ) {
	if ( argc > 1 ) {
		outDir = argv[1];
	}
	bool ok = true;
	Image img;
	for ( int i = 0; i < PLAYER_FRAMES; i++ ) {
		Draw_Player( img, i );
		ok &= Art_SaveFrame( img, "player", i );
	}
	for ( int i = 0; i < TANK_FRAMES; i++ ) {
		Draw_Tank( img, i );
		ok &= Art_SaveFrame( img, "tank", i );
	}
	for ( int i = 0; i < HELI_FRAMES; i++ ) {
		Draw_Heli( img, i );
		ok &= Art_SaveFrame( img, "heli", i );
	}
	Draw_Shot( img );
	ok &= Art_Save( img, "shot.png" );
	for ( int i = 0; i < BULLET_FRAMES; i++ ) {
		Draw_Bullet( img, i );
		ok &= Art_SaveFrame( img, "bullet", i );
	}
	for ( int i = 0; i < BOOM_S_FRAMES; i++ ) {
		Draw_Boom( img, BOOM_S_SIZE, BOOM_S_FRAMES, i, 11 );
		ok &= Art_SaveFrame( img, "boom_s", i );
	}
	for ( int i = 0; i < BOOM_L_FRAMES; i++ ) {
		Draw_Boom( img, BOOM_L_SIZE, BOOM_L_FRAMES, i, 29 );
		ok &= Art_SaveFrame( img, "boom_l", i );
	}
	Draw_Wreck( img );
	ok &= Art_Save( img, "wreck.png" );
	Draw_Logo( img );
	ok &= Art_Save( img, "logo.png" );
	return ok ? 0 : 1;
}
