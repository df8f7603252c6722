// libFuzzer target: any bytes as the decoded picture of an animation frame. SDL_image and
// libpng carry no coverage, so the fuzzer would learn nothing from their input; instead the
// bytes describe a surface as a decoder would hand it over, and the game's own code takes it
// from there: it is keyed, converted and shared as a frame picture, named by the FRAME lines
// of a small definition file, and an entity made from that template is animated and drawn,
// debug outlines included. The bytes are:
//   byte 0      depth: 8, 15, 16, 24 or 32 bits (low three bits), a colour key of the
//               picture's own when bit 3 is set, per-surface alpha when bit 4 is set,
//               an alpha channel (32 bits) when bit 5 is set;
//   bytes 1, 2  width and height - 1, low six bits (so 1 to 64: larger pictures take the
//               same paths, only slower);
//   bytes 3..6  the picture's own colour key, and the alpha value in byte 7;
//   then the palette of an 8-bit picture (256 x RGB, short palettes stay black), then the
//   pixels, row by row; missing bytes are zero.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include "fuzz/fuzz_support.h"
#include "display/env.h"
#include "display/screen.h"
#include "entity/entity.h"
#include "game/vorska.h"

// The name the picture is filed under; no such file exists, the picture is only shared.
#define FRAME_PATH "fuzz-frame.png"
// Bytes of the header before the palette and the pixels.
#define HEADER_BYTES 8

static std::string workDir;  // the folder holding the definition file
static std::string defFile;
static Env *field;

// Removes the definition file and its folder at exit.
static void removeWorkDir() {
	unlink(defFile.c_str());
	rmdir(workDir.c_str());
}

// Starts the dummy video once, writes the definition file and builds a small field to draw in.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	screen = fuzzScreen();
	field = new Env();
	field->set(new Viewport(screen, 175, 0, 450, 600));
	field->xlen = 450;
	field->ylen = 2000;
	field->cy = 1000;
	buildEFlags();
	char tmpl[] = "/dev/shm/vorska_fuzz_image_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	workDir = tmpl;
	defFile = workDir + "/entity.dat";
	std::string def = "ENTITY Img NAME Img WIDTH 20 HEIGHT 20\n"
					  "  STATE SHOW\n"
					  "    FRAME " FRAME_PATH " DELAY 0 XOFF -3 YOFF -3 END_FRAME\n"
					  "    FRAME " FRAME_PATH " DELAY 0 SOFF 7 END_FRAME\n"
					  "  END_STATE\n"
					  "END_ENTITY\n";
	FILE *f = fopen(defFile.c_str(), "wb");
	if (f == nullptr || fwrite(def.data(), 1, def.size(), f) != def.size()) {
		abort();
	}
	fclose(f);
	atexit(removeWorkDir);
	setMessageSink(discardMessage);
	return 0;
}

// The byte at i of the input, zero past its end.
static Uint8 byteAt(const uint8_t *data, size_t size, size_t i) {
	return i < size ? data[i] : 0;
}

// Copies up to n bytes of the input from offset at to out; what the input lacks stays zero.
static void copyBytes(const uint8_t *data, size_t size, size_t at, void *out, size_t n) {
	if (at < size) {
		memcpy(out, data + at, size - at < n ? size - at : n);
	}
}

// The bit depth chosen by the low three bits of the first byte.
static int depthOf(Uint8 b) {
	static const int depths[] = {8, 15, 16, 24, 32, 32, 24, 8};
	return depths[b & 7];
}

// A surface as a decoder would make it, with size, depth, palette, keys and pixels from the bytes.
static SDL_Surface *pictureFrom(const uint8_t *data, size_t size) {
	Uint8 mode = byteAt(data, size, 0);
	int depth = depthOf(mode);
	int w = (byteAt(data, size, 1) & 63) + 1;
	int h = (byteAt(data, size, 2) & 63) + 1;
	Uint32 amask = depth == 32 && (mode & 32) ? 0xff000000 : 0;
	SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, depth, 0, 0, 0, amask);
	if (s == nullptr) {
		return nullptr;
	}
	size_t at = HEADER_BYTES;
	if (depth == 8) {
		Uint8 rgb[256 * 3] = {0};
		copyBytes(data, size, at, rgb, sizeof rgb);
		at += sizeof rgb;
		SDL_Color colours[256];
		for (int i = 0; i < 256; i++) {
			colours[i].r = rgb[i * 3];
			colours[i].g = rgb[i * 3 + 1];
			colours[i].b = rgb[i * 3 + 2];
		}
		SDL_SetColors(s, colours, 0, 256);
	}
	// a fresh surface is all zero, so rows the input does not reach stay black
	size_t rowBytes = (size_t)w * s->format->BytesPerPixel;
	for (int y = 0; y < h && at < size; y++, at += rowBytes) {
		copyBytes(data, size, at, (Uint8 *)s->pixels + y * s->pitch, rowBytes);
	}
	Uint32 key = byteAt(data, size, 3) | (byteAt(data, size, 4) << 8) | (byteAt(data, size, 5) << 16) |
	             ((Uint32)byteAt(data, size, 6) << 24);
	if (mode & 8) {
		SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
	}
	if (mode & 16) {
		SDL_SetAlpha(s, SDL_SRCALPHA, byteAt(data, size, 7));
	}
	return s;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	if (size > HEADER_BYTES + 768 + 64 * 64 * 4) {
		return 0;
	}
	SDL_Surface *picture = pictureFrom(data, size);
	if (picture == nullptr) {
		return 0;
	}
	adoptFrameImage(FRAME_PATH, picture);
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
	freeEdListBitmaps(edlist);
	edlist.clear();
	return 0;
}
