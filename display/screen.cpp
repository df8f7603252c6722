// The window's video surface and the viewports drawn into it.
#include "display/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "display/mySDL.h"
#include "platform/keyboard.h"
#include "platform/message.h"
#include "platform/pace.h"
#include "platform/timer.h"

// An unopened screen.
Screen::Screen() {}

// Opens the video at once.
Screen::Screen(int SDLFlags, int x, int y, int cd, int vidFlags, const char *caption, const char *icon) {
	init(SDLFlags, x, y, cd, vidFlags, caption, icon);
}

// Asks SDL 2 under sdl12-compat to present frames the way classic SDL 1.2 does, through the
// window's shared-memory framebuffer. By default it presents through OpenGL, which without a
// GPU (a virtual machine, Xvfb) runs in Mesa's software rasterizer at about 4 ms of CPU a
// frame, where the framebuffer costs half a millisecond; the game draws every pixel itself
// and gains nothing from OpenGL. A player's own settings win; classic SDL 1.2 reads neither.
static void preferFramebufferPresent() {
	setenv("SDL_RENDER_DRIVER", "software", 0);
	setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
}

// Asks sdl12-compat to scale the picture to the full screen by repeating pixels rather than
// blending them. Full screen on SDL 2 keeps the 800 x 600 picture and stretches it to the
// screen's height in every frame, in software without a GPU: blending took 6 ms of CPU a
// frame at 1920 x 1080, repeating 3 ms, and keeps the pixel art crisp. A player's own setting
// wins; classic SDL 1.2 does not scale.
static void preferNearestScaling() {
	setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
}

// Starts SDL, sets caption and icon, and sets the video mode; failures end the process.
void Screen::init(int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon) {
	preferFramebufferPresent();
	preferNearestScaling();
	bitmap = openVideo(initflags, x, y, cd, scrnflags, caption, icon);
	if (bitmap == nullptr) {
		failStartup(EXIT_NO_VIDEO);
	}
	SDLFlags = initflags;
	title = caption != nullptr ? caption : "";
	this->icon = icon != nullptr ? icon : "";
	xr = x;
	yr = y;
	this->cd = cd;
	vidFlags = (int)bitmap->flags;
	// decided once: only a real window is paced
	paced = paceFrames();
}

// Locks the video surface when SDL requires it.
void Screen::lock() {
	if (bitmap != nullptr) {
		::lock(bitmap);
	}
}

// Undoes lock.
void Screen::unlock() {
	if (bitmap != nullptr) {
		::unlock(bitmap);
	}
}

// Draws an orthogonal line on the video surface.
void Screen::line(int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b) {
	drawLine32(bitmap, x1, y1, x2, y2, r, g, b);
}

// Fills a rectangle with a ready pixel value.
void Screen::fill(int x, int y, int w, int h, Uint32 c) {
	if (bitmap == nullptr) {
		return;
	}
	SDL_Rect r = Rect(x, y, w, h);
	SDL_FillRect(bitmap, &r, c);
}

// Blits a rectangle of source to a position of the video surface.
void Screen::blits(SDL_Surface *source, int x1, int y1, int w, int h, int x2, int y2) {
	if (bitmap == nullptr) {
		return;
	}
	blit(source, x1, y1, w, h, bitmap, x2, y2);
}

// Shows what was drawn at once, then in a real window sleeps until a game cycle is due. Were
// SDL_Flip itself to wait for the display (SDL 2 under sdl12-compat may), a cycle that fell
// due meanwhile still ends the sleep at once.
void Screen::flip() {
	if (bitmap == nullptr) {
		return;
	}
	SDL_Flip(bitmap);
	if (paced) {
		waitForNextCycle();
	}
}

// Switches between the window and full screen, through SDL 1.2's own toggle or, where the
// platform has none, by setting the mode again with the picture and the held keys carried
// over. Returns 1 when it switched; when the platform refuses, says so on standard error and
// returns 0, and the game plays on in the mode it had. The viewports hold the screen, not its
// surface, so they follow a new one.
int Screen::toggleFullScreen() {
	if (bitmap == nullptr) {
		return 0;
	}
	const char *wanted = (vidFlags & SDL_FULLSCREEN) ? "the window" : "full screen";
	bool refused = false;
	if (SDL_WM_ToggleFullScreen(bitmap) == 0) {
		bitmap = changeVideoMode(bitmap, xr, yr, cd, (Uint32)vidFlags ^ SDL_FULLSCREEN, &refused);
	} else if (SDL_GetVideoSurface() != nullptr) {
		bitmap = SDL_GetVideoSurface();  // SDL 1.2 does not promise to keep the surface
	}
	if (refused) {
		writeMessagef(MESSAGE_ERR, "Screen::toggleFullScreen: %s refused: %s\n", wanted, SDL_GetError());
	}
	if (bitmap == nullptr) {
		failStartup(EXIT_NO_VIDEO);  // not even the mode it had: no video to play on
	}
	vidFlags = (int)bitmap->flags;
	if (refused) {
		return 0;
	}
	// the game is played with keys alone: no pointer over the picture that fills the screen
	SDL_ShowCursor((vidFlags & SDL_FULLSCREEN) ? SDL_DISABLE : SDL_ENABLE);
	// the picture in its new place at once, also in the pause, which draws nothing more
	SDL_Flip(bitmap);
	holdKeysAcrossRefocus();
	return 1;
}

// A viewport on no screen.
Viewport::Viewport() {
	sc = nullptr;
	xp = 0;
	yp = 0;
	xlen = 0;
	ylen = 0;
}

// A viewport on sc.
Viewport::Viewport(Screen *sc, int xp, int yp, int xlen, int ylen) {
	set(sc, xp, yp, xlen, ylen);
}

// Places the viewport.
int Viewport::set(Screen *sc, int xp, int yp, int xlen, int ylen) {
	this->sc = sc;
	this->xp = xp;
	this->yp = yp;
	this->xlen = xlen;
	this->ylen = ylen;
	return 1;
}

// Locks the screen.
void Viewport::lock() {
	if (sc != nullptr) {
		sc->lock();
	}
}

// Unlocks the screen.
void Viewport::unlock() {
	if (sc != nullptr) {
		sc->unlock();
	}
}

// Clips all further drawing on the screen to this viewport.
void Viewport::clipTo() {
	if (sc != nullptr && sc->bitmap != nullptr) {
		SDL_Rect r = Rect(xp, yp, xlen, ylen);
		SDL_SetClipRect(sc->bitmap, &r);
	}
}

// Draws an orthogonal line in viewport coordinates.
void Viewport::line(int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b) {
	if (sc != nullptr) {
		clipTo();
		sc->line(x1 + xp, y1 + yp, x2 + xp, y2 + yp, r, g, b);
	}
}

// Fills a rectangle in viewport coordinates.
void Viewport::fill(int x, int y, int w, int h, Uint32 c) {
	if (sc != nullptr) {
		clipTo();
		sc->fill(x + xp, y + yp, w, h, c);
	}
}

// Fills the whole viewport.
void Viewport::clear(Uint32 c) {
	fill(0, 0, xlen, ylen, c);
}

// Blits a rectangle of source to a position in viewport coordinates.
void Viewport::blits(SDL_Surface *source, int x1, int y1, int w, int h, int x2, int y2) {
	if (sc != nullptr) {
		clipTo();
		sc->blits(source, x1, y1, w, h, x2 + xp, y2 + yp);
	}
}

// Flips the whole screen.
void Viewport::flip() {
	if (sc != nullptr) {
		sc->flip();
	}
}
