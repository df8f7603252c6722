// The player's controls: firing, steering, the pause, mute and full screen.
#include "game/vorska.h"

#include "platform/sound.h"

// A volley: three shots from just above the player, straight and slanting either way.
#define SHOT_YOFF  (-36)
#define SHOT_YVEL  (-20000)
#define SHOT_SLANT 5000

// Queues one volley of three shots on the player.
void fireVolley() {
	const int rows = 1;
	for (int g = 0; g < rows; g++) {
		player->addSpawnR(ENTITY_FILE, SHOT_ID, 10 * g + 1, SHOT_YOFF, 0, SHOT_YVEL, g);
		player->addSpawnR(ENTITY_FILE, SHOT_ID, 10 * g + 1, SHOT_YOFF, -SHOT_SLANT, SHOT_YVEL, g);
		player->addSpawnR(ENTITY_FILE, SHOT_ID, 10 * g + 1, SHOT_YOFF, SHOT_SLANT, SHOT_YVEL, g);
	}
	playSound(SOUND_VOLLEY);
	// counts on from whatever the data set, stopping at the top of the int range
	int &fired = player->var["SHOTSFIRED"];
	fired = saturatingAdd(fired, 8);
}

// Fires on every fourth cycle while space is held, and on each press and release.
void fireControl() {
	bool autofire = keyHeld(SDLK_SPACE) && (player->ctr & 3) == 0;
	if (autofire || keyPressed(SDLK_SPACE) || keyReleased(SDLK_SPACE)) {
		fireVolley();
	}
}

// Steps the player by PLAYER_STEP pixels for each held arrow, staying in the field and the view.
void moveControl() {
	if (mod & KMOD_SHIFT) {
		return;
	}
	if (keyHeld(SDLK_DOWN) && player->chkMove(player->x, player->y + PLAYER_STEP) == 0) {
		player->moveY(PLAYER_STEP);
	}
	if (keyHeld(SDLK_UP) && player->chkMove(player->x, player->y - PLAYER_STEP) == 0) {
		player->moveY(-PLAYER_STEP);
	}
	if (keyHeld(SDLK_RIGHT) && player->chkMove(player->x + PLAYER_STEP, player->y) == 0) {
		player->moveX(PLAYER_STEP);
	}
	if (keyHeld(SDLK_LEFT) && player->chkMove(player->x - PLAYER_STEP, player->y) == 0) {
		player->moveX(-PLAYER_STEP);
	}
}

// M mutes and unmutes all sound.
void muteControl() {
	if (keyPressed(SDLK_m)) {
		toggleMute();
	}
}

// F11, or Alt+Enter, switches between the window and full screen; the video-mode report is
// written again for the mode the game is now in.
void fullScreenControl() {
	static_assert(SDLK_F11 < NUM_KEYS && SDLK_RETURN < NUM_KEYS, "the keys are read from the key array");
	bool altEnter = keyPressed(SDLK_RETURN) && (mod & KMOD_ALT);
	if ((keyPressed(SDLK_F11) || altEnter) && screen->toggleFullScreen()) {
		videoReport();
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
		fullScreenControl();
		idleBetweenPolls();
	} while (!pauseStep(&phase));
	holdSounds(false);
}
