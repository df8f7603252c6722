// The play-field: background loading, the camera and drawing through the viewport.
#include "display/env.h"

#include <algorithm>
#include <cstdio>
#include "display/gamefile.h"
#include "display/mySDL.h"
#include "platform/message.h"

Env::Env() {
	init();
}

Env::Env(const char *b) {
	init();
	load(b);
}

Env::Env(const char *b, Viewport *v) {
	init();
	load(b);
	set(v);
}

Env::Env(const char *file, const char *name) {
	init();
	loadEnv(file, name);
}

Env::~Env() {
	free();
}

// Sets the defaults: no background, an empty world, the camera at the origin, no viewport.
void Env::init() {
	bg = nullptr;
	xlen = ylen = 0;
	cx = cy = 0;
	vp = nullptr;
}

// Releases the background.
void Env::free() {
	if (bg != nullptr) {
		SDL_FreeSurface(bg);
		bg = nullptr;
	}
}

// Replaces the background with image b in the display format; the world takes its size.
void Env::load(const char *b) {
	free();
	if (b == nullptr) {
		writeMessage(MESSAGE_ERR, "Could not load Env background: (null)\n");
		return;
	}
	std::string why;
	SDL_Surface *img = loadPicture(b, MAX_BACKGROUND_PIXELS, why);
	if (img == nullptr) {
		writeMessage(MESSAGE_ERR, "Could not load Env background: " + std::string(b) + reasonSuffix(why) + "\n");
		return;
	}
	// Without a video mode there is no display format; SDL would crash when video was
	// never started, so ask first. A field that cannot be converted is not loaded.
	SDL_Surface *conv = nullptr;
	if (SDL_GetVideoSurface() != nullptr) {
		conv = SDL_DisplayFormat(img);
	}
	SDL_FreeSurface(img);
	if (conv == nullptr) {
		writeMessagef(MESSAGE_ERR, "Could not convert Env background: %s\n", b);
		return;
	}
	bg = conv;
	if (bg->flags & SDL_HWSURFACE) {
		writeMessage(MESSAGE_ERR, "Got HW Surface\n");
	}
	xlen = bg->w;
	ylen = bg->h;
}

// Announces a named field load; nothing is loaded from the file.
void Env::loadEnv(const char *file, const char *name) {
	if (file == nullptr || name == nullptr) {
		writeMessage(MESSAGE_ERR, "Env::loadEnv  Null arguments\n");
		return;
	}
	writeMessagef(MESSAGE_OUT, "Env::loadEnv  Loading %s from %s\n", name, file);
}

// Shows the field in viewport v; a null v keeps the current one.
void Env::set(Viewport *v) {
	if (v != nullptr) {
		vp = v;
	}
}

// Puts the camera anywhere, without clamping.
void Env::setCamera(int x, int y) {
	cx = x;
	cy = y;
}

// Moves the camera by (x, y) and keeps its window inside the background.
void Env::moveCamera(int x, int y) {
	if (vp == nullptr) {
		return;
	}
	// The far edge last, so a background smaller than the viewport sits against its far edge.
	cx = std::min(std::max(cx + x, 0), xlen - vp->xlen);
	cy = std::min(std::max(cy + y, 0), ylen - vp->ylen);
}

// The coordinates an SDL rectangle holds.
#define SDL_RECT_MIN (-32768)
#define SDL_RECT_MAX 32767

// Blits the camera window of the background into the viewport. SDL rectangles hold 16-bit
// coordinates, so a window beyond them is blitted from a surface that starts at the window's
// corner and shares the background's pixels.
void Env::draw() {
	if (bg == nullptr || vp == nullptr) {
		return;
	}
	if (cx >= SDL_RECT_MIN && cy >= SDL_RECT_MIN && cx + vp->xlen - 1 <= SDL_RECT_MAX &&
	    cy + vp->ylen - 1 <= SDL_RECT_MAX) {
		vp->blits(bg, cx, cy, vp->xlen, vp->ylen, 0, 0);
		return;
	}
	// the window's corner inside the background; a camera before its start keeps that offset
	int ox = cx < 0 ? 0 : cx;
	int oy = cy < 0 ? 0 : cy;
	if (ox >= bg->w || oy >= bg->h || cx - ox < SDL_RECT_MIN || cy - oy < SDL_RECT_MIN) {
		return;  // the window holds none of the background
	}
	SDL_PixelFormat *f = bg->format;
	Uint8 *corner = (Uint8 *)bg->pixels + (size_t)oy * bg->pitch + (size_t)ox * f->BytesPerPixel;
	SDL_Surface *window = SDL_CreateRGBSurfaceFrom(corner, bg->w - ox, bg->h - oy, f->BitsPerPixel, bg->pitch, f->Rmask,
	                                               f->Gmask, f->Bmask, f->Amask);
	if (window == nullptr) {
		return;
	}
	copyBlitKeys(bg, window);
	vp->blits(window, cx - ox, cy - oy, vp->xlen, vp->ylen, 0, 0);
	SDL_FreeSurface(window);
}
