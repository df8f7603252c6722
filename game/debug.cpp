// The developer's keys, the pause, and the debug overlay.
#include "game/vorska.h"

#include <cstdio>
#include <string>
#include <vector>

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

// Advances the pause's wait after a poll; returns 1 when the pause is over.
// Phase 0 waits for the release of the P that paused, phase 1 lets that release pass,
// phase 2 waits for the release of the next P or of Escape.
int pauseStep(int *phase) {
	if (*phase == 0) {
		if (!keyReleased(SDLK_p)) {
			return 0;
		}
		*phase = 1;
	}
	if (*phase == 1) {
		if (keys[SDLK_p] == 0 && prev[SDLK_p] != 0) {
			return 0;
		}
		*phase = 2;
	}
	return (keyReleased(SDLK_p) || keyReleased(SDLK_ESCAPE)) ? 1 : 0;
}

// Shows the "Paused" box and waits, polling, until the next P (or Escape) is released.
void pauseGame(Font *font) {
	Uint32 white = SDL_MapRGB(screen->bitmap->format, 255, 255, 255);
	Uint32 blue = SDL_MapRGB(screen->bitmap->format, 0, 0, 255);
	font->messagev(vp, blue, white, -1, -1, "Paused");
	screen->flip();
	holdSounds(true);
	int phase = 0;
	do {
		poll_input();
		muteControl();
		// Yield the processor between polls; the keys are still seen within a millisecond.
		SDL_Delay(1);
	} while (!pauseStep(&phase));
	holdSounds(false);
}

// Overlay lines are this far apart.
#define OVERLAY_LINE_HEIGHT 16

// The overlay as last drawn: it is shown every pass but its text changes about once a
// second, so its pixels are kept with the lines, font and size they were drawn for. A font
// is loaded once and never changes under its pointer.
struct OverlayCache {
	std::vector<std::string> lines;
	Font *font = nullptr;
	SDL_Surface *pixels = nullptr;
};
static OverlayCache overlay;

// The nine lines of the debug overlay as they read now.
static std::vector<std::string> overlayLines() {
	char buf[1024];
	int flags = screen->vidFlags;
	std::vector<std::string> lines;
	lines.push_back("Debug Info");
	snprintf(buf, sizeof(buf), "FPS: %d (%dc)", (int)fps, (int)cps);
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "DBG_BIT: %s [%s]", (dbg & DBG_TOGGLED) ? "YES" : "NO",
	         (dbg & DBG_DIE_SEEN) ? "YES" : "NO");
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "S.Memory: %s", (flags & SDL_HWSURFACE) ? "HW" : "SW");
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "D.Buffer: %s", (flags & SDL_DOUBLEBUF) ? "Yes" : "No");
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "Fullscreen: %s", (flags & SDL_FULLSCREEN) ? "Yes" : "No");
	lines.push_back(buf);
	if (SDL_VideoDriverName(buf, sizeof(buf)) == nullptr) {
		buf[0] = '\0';
	}
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "Frames %d", (int)frames);
	lines.push_back(buf);
	snprintf(buf, sizeof(buf), "Cycles %d", (int)cycles);
	lines.push_back(buf);
	return lines;
}

// Draws the lines on the overlay's dark blue, on a new surface of the screen's format and
// the debug viewport's size; null when SDL cannot make one.
static SDL_Surface *renderOverlay(Font *font, const std::vector<std::string> &lines) {
	const SDL_PixelFormat *f = screen->bitmap->format;
	SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, debug->xlen, debug->ylen, f->BitsPerPixel, f->Rmask, f->Gmask,
	                                      f->Bmask, f->Amask);
	if (s == nullptr) {
		return nullptr;
	}
	SDL_FillRect(s, nullptr, SDL_MapRGB(screen->bitmap->format, 0, 0, 100));
	for (size_t i = 0; i < lines.size(); i++) {
		font->printsr(s, 0, (int)i * OVERLAY_LINE_HEIGHT, "%s", lines[i].c_str());
	}
	return s;
}

// Draws the nine lines of the debug overlay, drawing the text afresh only when it changed.
void drawDebug(Font *font) {
	std::vector<std::string> lines = overlayLines();
	SDL_Surface *kept = overlay.pixels;
	if (kept == nullptr || lines != overlay.lines || font != overlay.font || kept->w != debug->xlen ||
	    kept->h != debug->ylen) {
		if (kept != nullptr) {
			SDL_FreeSurface(kept);
		}
		overlay.pixels = renderOverlay(font, lines);
		overlay.lines = lines;
		overlay.font = font;
	}
	if (overlay.pixels != nullptr) {
		debug->blits(overlay.pixels, 0, 0, debug->xlen, debug->ylen, 0, 0);
	}
}
