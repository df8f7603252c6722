// The touch screen as keys: the floating stick's dead zone and eight directions, Space while a
// finger is down, a second finger that neither steers nor lets go, and the buttons' presses.
#include <gtest/gtest.h>
#include <vector>
#include "platform/keyboard.h"
#include "platform/touch.h"

namespace {

// The keys touch holds at one poll, on a board where E is held already (and must stay held).
std::vector<int> heldKeys(TouchState *touch) {
	Uint8 board[NUM_KEYS] = {};
	board[SDLK_e] = 1;
	touchKeys(touch, board);
	std::vector<int> held;
	for (int k = 0; k < NUM_KEYS; k++) {
		if (board[k] != 0 && k != SDLK_e) {
			held.push_back(k);
		}
	}
	EXPECT_EQ(board[SDLK_e], 1);
	return held;
}

const int L = SDLK_LEFT, R = SDLK_RIGHT, U = SDLK_UP, D = SDLK_DOWN, FIRE = SDLK_SPACE;

// Where the first finger leans from where it went down, and the keys held.
TEST(Touch, TheStickLeansPastItsDeadZoneInEightDirections) {
	struct Case {
		int dx, dy;
		std::vector<int> held;
	} cases[] = {
		{0, 0, {FIRE}},
		{TOUCH_DEAD_ZONE, 0, {FIRE}},  // on the edge of the dead zone
		{0, -TOUCH_DEAD_ZONE - 1, {FIRE, U}},
		{9, 9, {FIRE, D, R}},  // 12.7 from the centre: past the zone, though on neither axis alone
		{30, 0, {FIRE, R}},
		{30, 12, {FIRE, R}},  // 21.8 degrees below right
		{30, 13, {FIRE, D, R}},
		{30, 30, {FIRE, D, R}},
		{0, 30, {FIRE, D}},
		{-30, 30, {FIRE, D, L}},
		{-30, 0, {FIRE, L}},
		{-30, -30, {FIRE, U, L}},
		{-12, -30, {FIRE, U}},
		{30, -30, {FIRE, U, R}},
	};
	for (const Case &c : cases) {
		TouchState touch;
		touchDown(&touch, 7, 100, 200);
		touchMove(&touch, 7, 100 + c.dx, 200 + c.dy);
		EXPECT_EQ(heldKeys(&touch), c.held) << c.dx << "," << c.dy;
	}
}

// A second finger neither moves nor frees the stick, nor takes it once the first has gone; the
// next finger down does. A button's key is pressed for a few polls; keys without one are refused.
TEST(Touch, TheFirstFingerOwnsTheStickAndButtonsPressForAFewPolls) {
	TouchState touch;
	EXPECT_EQ(heldKeys(&touch), std::vector<int>());
	touchDown(&touch, 1, 100, 100);
	touchMove(&touch, 1, 50, 100);
	touchDown(&touch, 2, 300, 300);
	touchMove(&touch, 2, 300, 100);
	EXPECT_EQ(heldKeys(&touch), std::vector<int>({FIRE, L}));
	touchUp(&touch, 2);
	EXPECT_EQ(heldKeys(&touch), std::vector<int>({FIRE, L}));
	touchDown(&touch, 2, 300, 300);
	touchUp(&touch, 1);
	touchMove(&touch, 2, 200, 300);
	EXPECT_EQ(heldKeys(&touch), std::vector<int>());
	touchDown(&touch, 3, 10, 10);
	touchMove(&touch, 3, 10, 40);
	EXPECT_EQ(heldKeys(&touch), std::vector<int>({FIRE, D}));
	touchUp(&touch, 3);
	touchPress(&touch, SDLK_p);
	touchPress(&touch, SDLK_ESCAPE);
	for (int poll = 0; poll < TOUCH_PRESS_POLLS; poll++) {
		EXPECT_EQ(heldKeys(&touch), std::vector<int>({SDLK_p})) << poll;
	}
	EXPECT_EQ(heldKeys(&touch), std::vector<int>());
	touchPress(&touch, SDLK_m);
	EXPECT_EQ(heldKeys(&touch), std::vector<int>({SDLK_m}));
}

}  // namespace
