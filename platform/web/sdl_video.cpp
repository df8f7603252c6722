// The video of SDL 1.2 on the browser's SDL: a screen that is the page's canvas, colour keys,
// which the browser's surfaces do not keep, the display format, fills and blits as SDL 1.2 does
// them, a flip that yields to the browser, and full screen, which is the page's.
#define WEB_SDL_SEAM
#include <SDL.h>
#include <emscripten.h>
#include <map>

// Colour keys set on surfaces; the browser's surfaces keep none.
static std::map<SDL_Surface *, Uint32> colorKeys;

// Keeps the colour key for SDL_DisplayFormat, which makes the keyed pixels clear.
int webSetColorKey(SDL_Surface *surface, Uint32 flag, Uint32 key) {
	if (flag & SDL_SRCCOLORKEY) {
		colorKeys[surface] = key;
		surface->flags |= SDL_SRCCOLORKEY;
	} else {
		colorKeys.erase(surface);
		surface->flags &= ~SDL_SRCCOLORKEY;
	}
	return 0;
}

// The colour key of surface, as SDL 1.3 gives it: 0 with key set, -1 when it has none.
int webGetColorKey(SDL_Surface *surface, Uint32 *key) {
	std::map<SDL_Surface *, Uint32>::const_iterator known = colorKeys.find(surface);
	if (known == colorKeys.end()) {
		return -1;
	}
	*key = known->second;
	return 0;
}

// Frees a surface and forgets its colour key.
void webFreeSurface(SDL_Surface *surface) {
	colorKeys.erase(surface);
	SDL_FreeSurface(surface);
}

// The screen is the page's canvas, drawn by fills and blits: locking it would copy the whole
// canvas out and back, and the browser's SDL refuses to fill a locked surface. The game locks
// the screen only around the fills of its outlines, so the screen's lock does nothing.
int webLockSurface(SDL_Surface *surface) {
	return surface == SDL_GetVideoSurface() ? 0 : SDL_LockSurface(surface);
}

// Undoes webLockSurface.
void webUnlockSurface(SDL_Surface *surface) {
	if (surface != SDL_GetVideoSurface()) {
		SDL_UnlockSurface(surface);
	}
}

// A pixel value's alpha byte in the browser's surfaces.
#define WEB_ALPHA_MASK 0xFF000000u

// Fills as SDL 1.2 fills: the screen has no alpha, so a fill of it is opaque whatever the
// value's top byte, where the canvas would keep what a fill with alpha 0 (black is 0) covers.
int webFillRect(SDL_Surface *surface, SDL_Rect *rect, Uint32 color) {
	if (surface == SDL_GetVideoSurface()) {
		color |= WEB_ALPHA_MASK;
	}
	return SDL_FillRect(surface, rect, color);
}

// Blits as SDL 1.2 blits, which reads only the corner of the destination rectangle: the
// browser's SDL clips to its width and height too, and would draw nothing for the 0 x 0 that
// SDL 1.2's callers leave there.
int webBlitSurface(SDL_Surface *source, SDL_Rect *from, SDL_Surface *target, SDL_Rect *to) {
	if (to != nullptr) {
		to->w = from != nullptr ? from->w : source->w;
		to->h = from != nullptr ? from->h : source->h;
	}
	return SDL_UpperBlit(source, from, target, to);
}

// The display format is the canvas's RGBA, opaque but where the colour key made the picture
// clear: the browser's SDL blits through the canvas, which knows alpha but not keys.
SDL_Surface *webDisplayFormat(SDL_Surface *surface) {
	SDL_Surface *copy = SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 32, 0x000000FF, 0x0000FF00,
	                                         0x00FF0000, WEB_ALPHA_MASK);
	if (copy == nullptr) {
		return nullptr;
	}
	std::map<SDL_Surface *, Uint32>::const_iterator key = colorKeys.find(surface);
	SDL_LockSurface(surface);
	SDL_LockSurface(copy);
	for (int y = 0; y < surface->h; y++) {
		const Uint32 *from = (const Uint32 *)((const Uint8 *)surface->pixels + y * surface->pitch);
		Uint32 *to = (Uint32 *)((Uint8 *)copy->pixels + y * copy->pitch);
		for (int x = 0; x < surface->w; x++) {
			bool keyed = key != colorKeys.end() && ((from[x] ^ key->second) & ~WEB_ALPHA_MASK) == 0;
			to[x] = keyed ? 0 : from[x] | WEB_ALPHA_MASK;
		}
	}
	SDL_UnlockSurface(copy);
	SDL_UnlockSurface(surface);
	return copy;
}

// Sets the mode and says what was granted, as SDL 1.2 does: the canvas is neither video
// memory, nor a second buffer, nor the whole screen.
SDL_Surface *webSetVideoMode(int width, int height, int bpp, Uint32 flags) {
	SDL_Surface *screen = SDL_SetVideoMode(width, height, bpp, flags);
	if (screen != nullptr) {
		screen->flags &= ~(Uint32)(SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN);
	}
	return screen;
}

// Waits for the browser to show the next frame; meanwhile it takes its events and runs its timers.
EM_ASYNC_JS(void, webNextFrame, (),
            { await new Promise(function(resume) { requestAnimationFrame(function() { resume(); }); }); });

// Shows the frame. The game's loop never returns to the browser, so it yields here, until the
// display's next refresh, as a double-buffered flip waits for the next retrace.
int webFlip(SDL_Surface *screen) {
	(void)screen;
	webNextFrame();
	return 0;
}

// Asks the page to put its game area in full screen, or out of it, as its Full screen button
// does (page.js); the browser does it a moment later. Answers the state asked for: 1 full
// screen, 0 the page; -1 when there is no full screen to give (no page, or a browser without
// the Fullscreen API).
EM_JS(int, webPageFullScreen, (), {
	var page = window.parent.vorskaPage;
	return page ? page.toggleFullScreen() : -1;
});

// Toggles full screen as SDL 1.2 does, on the screen surface only, keeping its flag: 1 when
// done, 0 when refused. In the page full screen is the game area's, scaled by the browser as
// the window is. Kept and exported, so that the browser test calls it as the game does.
EMSCRIPTEN_KEEPALIVE int webWMToggleFullScreen(SDL_Surface *surface) {
	if (surface == nullptr || surface != SDL_GetVideoSurface()) {
		return 0;
	}
	int full = webPageFullScreen();
	if (full < 0) {
		return 0;
	}
	if (full != 0) {
		surface->flags |= SDL_FULLSCREEN;
	} else {
		surface->flags &= ~(Uint32)SDL_FULLSCREEN;
	}
	return 1;
}
