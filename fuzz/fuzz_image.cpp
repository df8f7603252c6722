// libFuzzer target: any bytes as the picture of an animation frame. A fixed small definition
// file names the input's file in FRAME lines; the reader loads, keys and converts it, and an
// entity made from the template is animated and drawn with it, debug outlines included.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include "display/env.h"
#include "display/screen.h"
#include "entity/entity.h"
#include "game/vorska.h"

// Swallows what the reader prints; its formatting still runs.
class NullBuf : public std::streambuf {
protected:
	int overflow(int c) override {
		return c;
	}
};

static NullBuf nullBuf;
static std::string workDir;    // the folder holding the definition file and the picture
static std::string defFile;
static std::string imageFile;
static Env *field;

// Removes the files and their folder at exit.
static void removeWorkDir() {
	unlink(defFile.c_str());
	unlink(imageFile.c_str());
	rmdir(workDir.c_str());
}

// Writes a whole file; the target cannot go on without it.
static void writeFile(const std::string &path, const void *data, size_t size) {
	FILE *f = fopen(path.c_str(), "wb");
	if (f == nullptr) {
		abort();
	}
	if (size > 0 && fwrite(data, 1, size, f) != size) {
		abort();
	}
	fclose(f);
}

// Starts the dummy video once, writes the definition file and builds a small field to draw in.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	if (SDL_Init(SDL_INIT_VIDEO) != 0) {
		abort();
	}
	// the game's own screen global: the debug outlines draw through it
	screen = new Screen();
	screen->bitmap = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
	if (screen->bitmap == nullptr) {
		abort();
	}
	screen->xr = 800;
	screen->yr = 600;
	field = new Env();
	field->set(new Viewport(screen, 175, 0, 450, 600));
	field->xlen = 450;
	field->ylen = 2000;
	field->cy = 1000;
	buildEFlags();
	char tmpl[] = "/tmp/vorska_fuzz_image_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	workDir = tmpl;
	defFile = workDir + "/entity.dat";
	imageFile = workDir + "/frame.png";
	std::string def =
		"ENTITY Img NAME Img WIDTH 20 HEIGHT 20\n"
		"  STATE SHOW\n"
		"    FRAME " + imageFile + " DELAY 0 XOFF -3 YOFF -3 END_FRAME\n"
		"    FRAME " + imageFile + " DELAY 0 SOFF 7 END_FRAME\n"
		"  END_STATE\n"
		"END_ENTITY\n";
	writeFile(defFile, def.data(), def.size());
	atexit(removeWorkDir);
	std::cerr.rdbuf(&nullBuf);
	return 0;
}

// Frees every frame bitmap of the registry (each registered frame holds its own) and empties it.
static void clearRegistry() {
	freeEdListBitmaps(edlist);
	edlist.clear();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	writeFile(imageFile, data, size);
	addEnD(defFile, "Img");
	Entity e(defFile, "Img", field);
	e.x = 100;
	e.y = 1100;
	for (int i = 0; i < 3; i++) {
		e.visible();
		e.draw();
		e.drawFrameBox(200, 200, 200);
		e.drawHitBox(250, 0, 0);
		e.addAnimPhase(1);
	}
	clearRegistry();
	return 0;
}
