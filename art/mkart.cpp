// mkart: paints every sprite and the window icon into a gfx directory and,
// given a second directory, the desktop icons into it.
// usage: mkart [outdir [icondir]]
#include "sprites.h"

#include <cstdio>
#include <string>

// writes one picture and says so; false when the file could not be written
static bool artSave(const Image &img, const std::string &path) {
	if (!pngWrite(img, path)) {
		return false;
	}
	printf("mkart: %s %dx%d\n", path.c_str(), img.w, img.h);
	return true;
}

int main(int argc, char **argv) {
	std::string dir = argc > 1 ? argv[1] : "gfx";
	bool ok = true;
	for (int i = 0; i < artCount(); i++) {
		Image img;
		std::string name;
		artRender(i, img, name);
		ok = artSave(img, dir + "/" + name) && ok;
	}
	for (int i = 0; argc > 2 && i < ICON_COUNT; i++) {
		Image img;
		std::string name;
		iconRender(i, img, name);
		ok = artSave(img, std::string(argv[2]) + "/" + name) && ok;
	}
	return ok ? 0 : 1;
}
