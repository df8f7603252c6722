// mkart: paints every sprite and the window icon into a gfx directory.
// usage: mkart [outdir]
#include "sprites.h"

#include <cstdio>
#include <string>

int main( int argc, char **argv ) {
	std::string dir = argc > 1 ? argv[1] : "gfx";
	bool ok = true;
	for ( int i = 0; i < Art_Count(); i++ ) {
		Image img;
		std::string name;
		Art_Render( i, img, name );
		std::string path = dir + "/" + name;
		if ( Png_Write( img, path ) ) {
			printf( "mkart: %s %dx%d\n", path.c_str(), img.w, img.h );
		} else {
			ok = false;
		}
	}
	return ok ? 0 : 1;
}
