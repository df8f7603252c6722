// What the fuzz targets share: the dummy video they draw into, opened once per process, and
// what swallows the messages and dumps that the game prints.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H
#include <cstdlib>
#include <streambuf>
#include "display/screen.h"
#include "platform/message.h"

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

// Swallows what the dumps print on cout; their formatting still runs.
class NullBuf : public std::streambuf {
public:
	NullBuf() { setp(space, space + sizeof(space)); }

protected:
	// Starts the buffer over: a call per buffer of text instead of one per character. Never
	// fails, even for end-of-file: a failed write would stop the stream's formatting for good.
	int overflow(int c) override {
		setp(space, space + sizeof(space));
		return traits_type::not_eof(c);
	}

private:
	char space[4096];
};

#endif
