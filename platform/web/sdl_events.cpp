// Keys and events as SDL 1.2 numbers them, on the browser's SDL, which numbers them as SDL 1.3
// does, and SDL 1.2's key-state array, which the browser's SDL does not keep; and the fingers on
// a touch screen, which SDL 1.2 knows nothing of, taken at the same poll.
#define WEB_SDL_SEAM
#include <SDL.h>
#include <emscripten.h>
#include "platform/keyboard.h"
#include "platform/touch.h"

// The browser's SDL codes a key that has no character as its scancode plus this.
#define WEB_SCANCODE_KEY (1 << 10)

// A browser key code and SDL 1.2's code for the same key.
struct KeyNumber {
	int web;
	int sdl12;
};

static const KeyNumber KEY_NUMBERS[] = {
	{SDL_SCANCODE_UP | WEB_SCANCODE_KEY, SDLK_UP},       {SDL_SCANCODE_DOWN | WEB_SCANCODE_KEY, SDLK_DOWN},
	{SDL_SCANCODE_RIGHT | WEB_SCANCODE_KEY, SDLK_RIGHT}, {SDL_SCANCODE_LEFT | WEB_SCANCODE_KEY, SDLK_LEFT},
	{SDL_SCANCODE_INSERT | WEB_SCANCODE_KEY, 277},       {SDL_SCANCODE_HOME | WEB_SCANCODE_KEY, 278},
	{SDL_SCANCODE_END | WEB_SCANCODE_KEY, 279},          {SDL_SCANCODE_PAGEUP | WEB_SCANCODE_KEY, 280},
	{SDL_SCANCODE_PAGEDOWN | WEB_SCANCODE_KEY, 281},     {SDL_SCANCODE_RSHIFT | WEB_SCANCODE_KEY, 303},
	{SDL_SCANCODE_LSHIFT | WEB_SCANCODE_KEY, 304},       {SDL_SCANCODE_RCTRL | WEB_SCANCODE_KEY, 305},
	{SDL_SCANCODE_LCTRL | WEB_SCANCODE_KEY, 306},        {SDL_SCANCODE_RALT | WEB_SCANCODE_KEY, 307},
	{SDL_SCANCODE_LALT | WEB_SCANCODE_KEY, 308},
};

// SDL 1.2's code of F1; F2 to F12 follow it, as their scancodes do.
#define SDL12_F1 282

// A browser event number and SDL 1.2's number for the same event.
struct EventNumber {
	Uint32 web;
	Uint32 sdl12;
};

static const EventNumber EVENT_NUMBERS[] = {
	{SDL_WINDOWEVENT, 1},      // focus and visibility: SDL_ACTIVEEVENT
	{SDL_KEYDOWN, 2},          // SDL_KEYDOWN
	{SDL_KEYUP, 3},            // SDL_KEYUP
	{SDL_MOUSEMOTION, 4},      // SDL_MOUSEMOTION
	{SDL_MOUSEBUTTONDOWN, 5},  // SDL_MOUSEBUTTONDOWN
	{SDL_MOUSEBUTTONUP, 6},    // SDL_MOUSEBUTTONUP
	{SDL_JOYAXISMOTION, 7},    // SDL_JOYAXISMOTION
	{SDL_JOYBUTTONDOWN, 10},   // SDL_JOYBUTTONDOWN
	{SDL_JOYBUTTONUP, 11},     // SDL_JOYBUTTONUP
	{WEB_SDL_QUIT, SDL_QUIT},  // the page is going away
	{SDL_EVENT_COMPAT2, 16},   // SDL_VIDEORESIZE
};

// SDL 1.2's key-state array, kept up to date from the key events as they are taken.
static Uint8 keyState[NUM_KEYS];

// SDL 1.2's code for the browser's key code web; 0 (unknown) for a key SDL 1.2 has no code for.
static int sdl12Key(int web) {
	if (web > 0 && web < 128) {
		return web;  // characters, Escape, Space and Delete have the same codes
	}
	for (const KeyNumber &k : KEY_NUMBERS) {
		if (k.web == web) {
			return k.sdl12;
		}
	}
	if (web >= (SDL_SCANCODE_F1 | WEB_SCANCODE_KEY) && web <= (SDL_SCANCODE_F12 | WEB_SCANCODE_KEY)) {
		return SDL12_F1 + web - (SDL_SCANCODE_F1 | WEB_SCANCODE_KEY);
	}
	return 0;
}

// SDL 1.2's number for the browser's event number web; numbers SDL 1.2 has no event for are
// left as they are, beyond SDL 1.2's range.
static Uint32 sdl12Event(Uint32 web) {
	for (const EventNumber &e : EVENT_NUMBERS) {
		if (e.web == web) {
			return e.sdl12;
		}
	}
	return web;
}

// What the game's frame saw a finger or a button do (frame.js queues them as they come).
enum TouchKind { TOUCH_NONE, TOUCH_DOWN, TOUCH_MOVE, TOUCH_UP, TOUCH_PRESS };

// Takes the oldest touch the frame has queued: its kind (TOUCH_NONE when there is none), the
// finger's number (a button's key for a press) and its point in the page's pixels. The browser's
// SDL has its own view of fingers, but it loses those the browser cancels, and mouse drags look
// like fingers to it; the frame's own listeners have neither fault.
EM_JS(int, webNextTouch, (int *finger, int *x, int *y), {
	var queue = Module.touches;
	if (!queue || queue.length == 0) {
		return 0;
	}
	var touch = queue.shift();
	HEAP32[finger >> 2] = touch.finger;
	HEAP32[x >> 2] = touch.x;
	HEAP32[y >> 2] = touch.y;
	return {down : 1, move : 2, up : 3, press : 4}[touch.kind];
});

// Gives the touch screen what happened on it since the last poll.
static void takeTouches() {
	int finger = 0, x = 0, y = 0;
	for (int kind = webNextTouch(&finger, &x, &y); kind != TOUCH_NONE; kind = webNextTouch(&finger, &x, &y)) {
		if (kind == TOUCH_DOWN) {
			touchDown(&touchState, finger, x, y);
		} else if (kind == TOUCH_MOVE) {
			touchMove(&touchState, finger, x, y);
		} else if (kind == TOUCH_UP) {
			touchUp(&touchState, finger);
		} else if (kind == TOUCH_PRESS) {
			touchPress(&touchState, finger);
		}
	}
}

// SDL 1.2's key-state array.
Uint8 *webGetKeyState(int *numkeys) {
	if (numkeys != nullptr) {
		*numkeys = NUM_KEYS;
	}
	return keyState;
}

// Takes an event as SDL 1.2 gives it: renumbered, a key event with SDL 1.2's key code, and
// the key-state array updated by it. When none is left, which ends every poll, the touches.
int webPollEvent(SDL_Event *event) {
	if (!SDL_PollEvent(event)) {
		takeTouches();
		return 0;
	}
	if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
		int key = sdl12Key(event->key.keysym.sym);
		keyState[key] = event->type == SDL_KEYDOWN ? 1 : 0;
		event->key.keysym.sym = key;
	}
	event->type = sdl12Event(event->type);
	return 1;
}
