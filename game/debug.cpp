// The developer's keys and the debug overlay.
#include "game/vorska.h"

#include <cstdio>
#include <cstring>
#include "display/mySDL.h"

// Dumps and the debug toggle and pause, in the order the cycle takes them.
void debugKeys(Font *font) {
	int level = (mod & KMOD_SHIFT) ? 1 : 0;
	if (keyPressed(SDLK_e)) {
		printEnList(level);
	}
	if (keyPressed(SDLK_d) && !(mod & KMOD_CTRL)) {
		printEdList(level);
	}
	if (keyPressed(SDLK_d) && (mod & KMOD_CTRL)) {
		dbg = (dbg == 0) ? DBG_ALL : 0;
		if (!(dbg & DBG_OVERLAY)) {
			debug->clear(0);
		}
	}
	if (keyPressed(SDLK_p)) {
		pauseGame(font);
	}
}

// How far the camera pans in a cycle while Shift and an arrow key are held.
#define PAN_STEP 2

// With Shift held the arrows move the camera instead of the player.
void cameraPan() {
	if (!(mod & KMOD_SHIFT)) {
		return;
	}
	if (keyHeld(SDLK_DOWN)) {
		env->moveCamera(0, PAN_STEP);
	}
	if (keyHeld(SDLK_UP)) {
		env->moveCamera(0, -PAN_STEP);
	}
	if (keyHeld(SDLK_RIGHT)) {
		env->moveCamera(PAN_STEP, 0);
	}
	if (keyHeld(SDLK_LEFT)) {
		env->moveCamera(-PAN_STEP, 0);
	}
}

// Overlay lines are this far apart.
#define OVERLAY_LINE_HEIGHT 16
// The overlay's lines, and the room each has for its text.
#define OVERLAY_LINES      9
#define OVERLAY_LINE_BYTES 64

// The text of the overlay's lines, held in place: it is read on every pass and must cost no
// allocation.
struct OverlayText {
	char lines[OVERLAY_LINES][OVERLAY_LINE_BYTES];
};

// The overlay as last drawn: it is shown every pass but its text changes about once a
// second, so its pixels are kept with the text and font they were drawn for. A font is
// loaded once and never changes under its pointer.
struct OverlayCache {
	OverlayText text;
	Font *font = nullptr;
	SDL_Surface *pixels = nullptr;
};
static OverlayCache overlay;

// The nine lines of the debug overlay as they read now.
static void overlayText(OverlayText *t) {
	int flags = screen->vidFlags;
	snprintf(t->lines[0], OVERLAY_LINE_BYTES, "Debug Info");
	snprintf(t->lines[1], OVERLAY_LINE_BYTES, "FPS: %d (%dc)", (int)fps, (int)cps);
	snprintf(t->lines[2], OVERLAY_LINE_BYTES, "DBG_BIT: %s [%s]", (dbg & DBG_TOGGLED) ? "YES" : "NO",
	         (dbg & DBG_DIE_SEEN) ? "YES" : "NO");
	snprintf(t->lines[3], OVERLAY_LINE_BYTES, "S.Memory: %s", (flags & SDL_HWSURFACE) ? "HW" : "SW");
	snprintf(t->lines[4], OVERLAY_LINE_BYTES, "D.Buffer: %s", (flags & SDL_DOUBLEBUF) ? "Yes" : "No");
	snprintf(t->lines[5], OVERLAY_LINE_BYTES, "Fullscreen: %s", (flags & SDL_FULLSCREEN) ? "Yes" : "No");
	if (SDL_VideoDriverName(t->lines[6], OVERLAY_LINE_BYTES) == nullptr) {
		t->lines[6][0] = '\0';
	}
	snprintf(t->lines[7], OVERLAY_LINE_BYTES, "Frames %d", (int)frames);
	snprintf(t->lines[8], OVERLAY_LINE_BYTES, "Cycles %d", (int)cycles);
}

// Whether the two texts read the same.
static bool sameText(const OverlayText &a, const OverlayText &b) {
	for (int i = 0; i < OVERLAY_LINES; i++) {
		if (strcmp(a.lines[i], b.lines[i]) != 0) {
			return false;
		}
	}
	return true;
}

// A surface of the screen's format and the debug viewport's size; null when SDL cannot make one.
static SDL_Surface *newOverlaySurface() {
	const SDL_PixelFormat *f = screen->bitmap->format;
	return SDL_CreateRGBSurface(SDL_SWSURFACE, debug->xlen, debug->ylen, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask,
	                            f->Amask);
}

// Draws the lines on the overlay's dark blue over the whole of s.
static void paintOverlay(SDL_Surface *s, Font *font, const OverlayText &t) {
	SDL_FillRect(s, nullptr, SDL_MapRGB(screen->bitmap->format, 0, 0, 100));
	for (int i = 0; i < OVERLAY_LINES; i++) {
		font->printsr(s, 0, i * OVERLAY_LINE_HEIGHT, "%s", t.lines[i]);
	}
}

// Draws the nine lines of the debug overlay, painting the text afresh only when it changed.
void drawDebug(Font *font) {
	OverlayText now;
	overlayText(&now);
	SDL_Surface *kept = overlay.pixels;
	// a video mode set anew (full screen where the platform has no toggle) may store pixels otherwise
	if (kept != nullptr &&
	    (kept->w != debug->xlen || kept->h != debug->ylen || !samePixels(kept->format, screen->bitmap->format))) {
		SDL_FreeSurface(kept);
		overlay.pixels = nullptr;
	}
	bool stale = overlay.pixels == nullptr || font != overlay.font || !sameText(now, overlay.text);
	if (overlay.pixels == nullptr) {
		overlay.pixels = newOverlaySurface();
	}
	if (overlay.pixels == nullptr) {
		return;
	}
	if (stale) {
		paintOverlay(overlay.pixels, font, now);
		overlay.text = now;
		overlay.font = font;
	}
	debug->blits(overlay.pixels, 0, 0, debug->xlen, debug->ylen, 0, 0);
}
