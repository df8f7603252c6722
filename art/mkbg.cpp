// mkbg: builds the level background and writes it as a PNG.
// usage: mkbg [out.png]
#include "bg.h"

#include <cstdio>

int main(int argc, char **argv) {
	const char *out = argc > 1 ? argv[1] : "gfx/ulose.png";
	static Land land;
	landPaintAll(land);
	if (!pngWrite(land.img, out)) {
		return 1;
	}
	printf("mkbg: wrote %s %dx%d\n", out, BG_W, BG_H);
	return 0;
}
