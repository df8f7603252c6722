// The dummy video that the fuzz targets draw into, opened once per process.
#ifndef FUZZ_FUZZ_SCREEN_H
#define FUZZ_FUZZ_SCREEN_H
#include <cstdlib>
#include "display/screen.h"

// An 800 x 600 x 32 screen on SDL's dummy driver; aborts when it cannot be had.
inline Screen *fuzzScreen() {
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	if (SDL_Init(SDL_INIT_VIDEO) != 0) {
		abort();
	}
	Screen *s = new Screen();
	s->bitmap = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
	if (s->bitmap == nullptr) {
		abort();
	}
	s->xr = 800;
	s->yr = 600;
	return s;
}

#endif
