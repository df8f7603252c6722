// mkbg: builds the level background and writes it as a PNG.
// usage: mkbg [out.png]
#include "bg.h"

#include <cstdio>

// pulls every colour a little toward grey and down, so sprites stand out
static void Land_Grade( Land &land ) {
	for ( int y = 0; y < BG_H; y++ ) {
		for ( int x = 0; x < BG_W; x++ ) {
			Color c = Img_Get( land.img, x, y );
			float l = Col_Luma( c );
			c = Col_Mix( c, Col_Make( l, l, l ), 0.15f );
			Img_Set( land.img, x, y, Col_Scale( c, 0.94f ) );
		}
	}
}

int main( int argc, char **argv ) {
	const char *out = argc > 1 ? argv[1] : "gfx/ulose.png";
	static Land land;
	Land_Init( land );
	Ground_Paint( land );
	Fields_Paint( land );
	River_Paint( land );
	Coast_Paint( land );
	Roads_Paint( land );
	Base_Paint( land );
	Marks_Paint( land );
	Buildings_Paint( land );
	Trees_Paint( land );
	Land_Grade( land );
	if ( !Png_Write( land.img, out ) ) {
		return 1;
	}
	printf( "mkbg: wrote %s %dx%d\n", out, BG_W, BG_H );
	return 0;
}
