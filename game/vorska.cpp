// Start-up, the main loop and its passes.
#include "game/vorska.h"

#include <cstdio>
#include <cstdlib>
#include "entity/ef_def.h"
#include "game/run.h"
#include "platform/message.h"

// Opens the window, builds the tables, loads font and templates, and sets up the level.
Font *startUp() {
	screen = new Screen(SDL_INIT_TIMER | SDL_INIT_VIDEO, 800, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF, "VORSKA",
	                    "gfx/logo.png");
	int xlen = (int)(screen->yr * 0.75);
	vp = new Viewport(screen, (screen->xr - xlen) / 2, 0, xlen, screen->yr);
	debug = new Viewport(screen, 0, 0, 140, 160);
	env = new Env("gfx/ulose.png", vp);
	init_input();
	init_timer();
	videoReport();
	buildEFlags();
	buildEFuncs();
	Font *font = new Font("font_sm", 0.0f, 0.0f, 1.0f);
	addEnD(ENTITY_FILE, PLAYER_ID);
	addEnD(ENTITY_FILE, TANK_ID);
	addEnD(ENTITY_FILE, HELICOPTER_ID);
	setupLevel();
	openSound(SOUND_MAP_FILE);
	return font;
}

// Tells what video mode SDL actually granted.
void videoReport() {
	writeMessage(MESSAGE_OUT, "SDL video mode set \n");
	writeMessagef(MESSAGE_OUT, "  Resolution   : %dx%dx%d\n", screen->xr, screen->yr, screen->cd);
	writeMessagef(MESSAGE_OUT, "  Full-screen  : %s\n", (screen->vidFlags & SDL_FULLSCREEN) ? "Yes" : "No");
	writeMessagef(MESSAGE_OUT, "  Screen memory: %s\n", (screen->vidFlags & SDL_HWSURFACE) ? "Hardware" : "Software");
	writeMessagef(MESSAGE_OUT, "  Double buffer: %s\n", (screen->vidFlags & SDL_DOUBLEBUF) ? "Yes" : "No");
}

// Ends the game when the player has left the world list, so that `player` never dangles.
static void checkPlayer() {
	if (player != nullptr && player->removed) {
		player = nullptr;
		gameover = 1;
	}
}

// Runs one game cycle: input, controls, quits, the world step. Returns 0 on a quit.
int gameCycle(Font *font) {
	poll_input();
	dbg &= ~DBG_TOGGLED;
	checkPlayer();
	muteControl();
	fullScreenControl();
	if (player != nullptr && player->life >= 1) {
		fireControl();
		debugKeys(font);
		moveControl();
		cameraPan();
	}
	if (keyPressed(SDLK_ESCAPE)) {
		return 0;
	}
	if (events[SDL_QUIT]) {
		return 0;
	}
	worldStep();
	checkPlayer();
	reapEntities();
	flushSounds();
	cpsc++;
	playedCycles++;
	cycles = 0;
	return 1;
}

// Draws the field and the entities with their debug boxes, and removes those that must die
// once they have left the view.
void drawWorld() {
	env->draw();
	Entity *e = elist;
	while (e != nullptr) {
		Entity *next = e->next;
		// The entities lie scattered over the heap: ask for the next one now, so that it
		// arrives while this one is drawn instead of stalling the walk (a quarter of the
		// pass with 10,000 entities).
		if (next != nullptr) {
			__builtin_prefetch(&next->x);
			__builtin_prefetch(&next->next);
		}
		if (e->visible()) {
			e->draw();
			if (dbg & DBG_FRAME_BOXES) {
				e->drawFrameBox(200, 200, 200);
			}
		}
		int out = e->chkMove(e->x, e->y, BOUND_VIEW);
		if ((dbg & DBG_HIT_BOXES) && out == 0) {
			e->drawHitBox(250, 0, 0);
		}
		if ((e->flags & ENT_DIE_OOB_VPT) && out != 0) {
			remEn(&elist, e);
		}
		e = next;
	}
	checkPlayer();
	reapEntities();
}

// Shows what was drawn: the overlay over it, then the flip.
void showFrame(Font *font) {
	if (dbg & DBG_OVERLAY) {
		drawDebug(font);
	}
	screen->flip();
	fpsc++;
	frames = 0;
}

// Draws the world and shows it.
void drawPass(Font *font) {
	drawWorld();
	showFrame(font);
}

// Starts up and shows the level once before its first cycle, however long the start-up took,
// so that every game, and every run played back, meets its first cycle with the same world.
Font *startGame() {
	Font *font = startUp();
	drawPass(font);
	return font;
}

// One pass of the main loop: a game cycle when one is due, then a draw. Returns 0 to end.
int loopPass(Font *font) {
	if (gameover != 0) {
		return 0;
	}
	if (cycles >= 1) {
		if (!gameCycle(font)) {
			return 0;
		}
	}
	drawPass(font);
	return 1;
}

// The program: start up, then run the loop until a quit or the end of the game, recorded; the
// run is kept when the game is over, however it ended.
int SDL_main(int argc, char **argv) {
	(void)argc;
	(void)argv;
	lineBufferStreams();
	recordGame();
	Font *font = startGame();
	while (loopPass(font)) {
	}
	keepGameRun();
	return EXIT_PLAYED;
}
