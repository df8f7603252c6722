// A touch screen as a third keyboard: a finger put down anywhere on the game is a floating stick
// whose first point is its centre; leaning it past a small dead zone holds the arrows of one of
// eight directions, and the ship fires (Space held) while it is down. Small buttons press P and M.
// Touch only holds keys in the array the rules read, beside the keyboard and the gamepad, so the
// rules are the keyboard's. Only the browser feeds it (platform/web/sdl_events.cpp); elsewhere
// no finger ever comes and nothing is held.
#ifndef PLATFORM_TOUCH_H
#define PLATFORM_TOUCH_H

#include <SDL.h>

// How far a finger must move from where it went down, in the page's pixels, before it steers.
#define TOUCH_DEAD_ZONE 12

// How many polls a button holds its key: a tap lasts through a few, so a poll sees it pressed
// and a later one released, in play and in the pause's quicker polls alike.
#define TOUCH_PRESS_POLLS 3

// The buttons' keys: pause and mute.
#define TOUCH_BUTTONS 2

// The finger that owns the stick, and what the buttons hold.
struct TouchState {
	bool down = false;                       // a finger owns the stick
	int finger = 0;                          // the browser's number for that finger
	int startX = 0, startY = 0;              // where it went down: the stick's centre
	int x = 0, y = 0;                        // where it is now
	int pressPolls[TOUCH_BUTTONS] = {0, 0};  // polls left for which each button holds its key
};

extern TouchState touchState;  // the fingers on the game's page; untouched without a touch screen

void touchDown(TouchState *touch, int finger, int x, int y);
void touchMove(TouchState *touch, int finger, int x, int y);
void touchUp(TouchState *touch, int finger);
void touchPress(TouchState *touch, int key);
void touchKeys(TouchState *touch, Uint8 *keyState);

#endif
