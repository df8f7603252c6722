// The developer's keys, the pause, and the debug overlay.
#include "game/vorska.h"

#include <cstdio>

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
	int phase = 0;
	do {
		poll_input();
		// Yield the processor between polls; the keys are still seen within a millisecond.
		SDL_Delay(1);
	} while (!pauseStep(&phase));
}

// Draws the nine lines of the debug overlay.
void drawDebug(Font *font) {
	char buf[1024];
	int flags = screen->vidFlags;
	debug->clear(SDL_MapRGB(screen->bitmap->format, 0, 0, 100));
	font->printv(debug, 0, 0, "%s", "Debug Info");
	snprintf(buf, sizeof(buf), "FPS: %d (%dc)", (int)fps, (int)cps);
	font->printv(debug, 0, 16, "%s", buf);
	snprintf(buf, sizeof(buf), "DBG_BIT: %s [%s]", (dbg & DBG_TOGGLED) ? "YES" : "NO", (dbg & DBG_DIE_SEEN) ? "YES" : "NO");
	font->printv(debug, 0, 32, "%s", buf);
	snprintf(buf, sizeof(buf), "S.Memory: %s", (flags & SDL_HWSURFACE) ? "HW" : "SW");
	font->printv(debug, 0, 48, "%s", buf);
	snprintf(buf, sizeof(buf), "D.Buffer: %s", (flags & SDL_DOUBLEBUF) ? "Yes" : "No");
	font->printv(debug, 0, 64, "%s", buf);
	snprintf(buf, sizeof(buf), "Fullscreen: %s", (flags & SDL_FULLSCREEN) ? "Yes" : "No");
	font->printv(debug, 0, 80, "%s", buf);
	if (SDL_VideoDriverName(buf, sizeof(buf)) == nullptr) {
		buf[0] = '\0';
	}
	font->printv(debug, 0, 96, "%s", buf);
	snprintf(buf, sizeof(buf), "Frames %d", (int)frames);
	font->printv(debug, 0, 112, "%s", buf);
	snprintf(buf, sizeof(buf), "Cycles %d", (int)cycles);
	font->printv(debug, 0, 128, "%s", buf);
}
