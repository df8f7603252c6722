// The floating stick and the buttons of a touch screen, as the keys they hold.
#include "platform/touch.h"

#include <cmath>

TouchState touchState;

// The arrows of the eight directions, a turn of 45 degrees apart from right towards down (the
// page's y grows downwards); 0 where a direction holds one arrow.
static const int SECTOR_ARROWS[8][2] = {
	{SDLK_RIGHT, 0}, {SDLK_RIGHT, SDLK_DOWN}, {SDLK_DOWN, 0}, {SDLK_LEFT, SDLK_DOWN},
	{SDLK_LEFT, 0},  {SDLK_LEFT, SDLK_UP},    {SDLK_UP, 0},   {SDLK_RIGHT, SDLK_UP},
};

// The key each button presses, in the order of pressPolls.
static const int BUTTON_KEYS[TOUCH_BUTTONS] = {SDLK_p, SDLK_m};

// A finger goes down: it takes the stick, centred where it lands, unless another finger has it.
void touchDown(TouchState *touch, int finger, int x, int y) {
	if (touch->down && touch->finger != finger) {
		return;
	}
	touch->down = true;
	touch->finger = finger;
	touch->startX = touch->x = x;
	touch->startY = touch->y = y;
}

// A finger moves: the stick follows only the finger that owns it.
void touchMove(TouchState *touch, int finger, int x, int y) {
	if (touch->down && touch->finger == finger) {
		touch->x = x;
		touch->y = y;
	}
}

// A finger leaves the screen (or the browser takes it away): the stick is free again only when
// it was the one that owned it.
void touchUp(TouchState *touch, int finger) {
	if (touch->down && touch->finger == finger) {
		touch->down = false;
	}
}

// A button is tapped: its key is held for the next few polls. Keys without a button are refused.
void touchPress(TouchState *touch, int key) {
	for (int b = 0; b < TOUCH_BUTTONS; b++) {
		if (BUTTON_KEYS[b] == key) {
			touch->pressPolls[b] = TOUCH_PRESS_POLLS;
		}
	}
}

// Holds in keyState what touch holds at this poll, and counts the buttons' presses down; keys
// already held stay held.
void touchKeys(TouchState *touch, Uint8 *keyState) {
	for (int b = 0; b < TOUCH_BUTTONS; b++) {
		if (touch->pressPolls[b] > 0) {
			keyState[BUTTON_KEYS[b]] = 1;
			touch->pressPolls[b]--;
		}
	}
	if (!touch->down) {
		return;
	}
	keyState[SDLK_SPACE] = 1;
	long long dx = (long long)touch->x - touch->startX;
	long long dy = (long long)touch->y - touch->startY;
	if (dx * dx + dy * dy <= TOUCH_DEAD_ZONE * TOUCH_DEAD_ZONE) {
		return;
	}
	const double eighthTurn = 3.14159265358979323846 / 4.0;
	int sector = ((int)std::lround(std::atan2((double)dy, (double)dx) / eighthTurn) + 8) % 8;
	for (int key : SECTOR_ARROWS[sector]) {
		if (key != 0) {
			keyState[key] = 1;
		}
	}
}
