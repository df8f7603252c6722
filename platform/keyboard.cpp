// Keyboard snapshots taken once per game cycle.
#include "platform/keyboard.h"

#include <cstring>
#include "platform/gamepad.h"
#include "platform/touch.h"

// The keyboard state this module owns; the rules only read it.
Uint8 *keyp = nullptr;
Uint8 keys[NUM_KEYS];
Uint8 prev[NUM_KEYS];
SDLMod mod = KMOD_NONE;
Uint8 events[NUM_EVENTS];
PollHooks pollHooks = {nullptr, nullptr, nullptr};

// What holdKeysAcrossRefocus keeps held, and from when.
static Uint8 heldKeys[NUM_KEYS];
static SDLMod heldMod = KMOD_NONE;
static Uint32 heldSince = 0;
static bool holding = false;

// Keeps SDL's own key-state array, which SDL updates whenever events are pumped, and starts
// with no key down: the first poll of a game sees the same last keys in every game.
void init_input() {
	keyp = SDL_GetKeyState(nullptr);
	memset(keys, 0, sizeof(keys));
	memset(prev, 0, sizeof(prev));
	memset(events, 0, sizeof(events));
	mod = KMOD_NONE;
	holding = false;
	init_pad();
}

// Keeps this cycle's keys and modifiers held for a while.
void holdKeysAcrossRefocus() {
	for (int k = 0; k < NUM_KEYS; k++) {
		heldKeys[k] = keys[k];
	}
	heldMod = mod;
	heldSince = SDL_GetTicks();
	holding = true;
}

// Copies SDL's array, what the keys held across a refocus, the fingers and a gamepad hold, and
// drains the event queue.
static void readSDL() {
	holding = holding && SDL_GetTicks() - heldSince < REFOCUS_HOLD_MS;
	for (int k = 0; k < NUM_KEYS; k++) {
		keys[k] = keyp[k] | (holding ? heldKeys[k] : 0);
	}
	touchKeys(&touchState, keys);  // and what fingers hold on a touch screen, as a gamepad does below
	PadState pad;
	readPad(&pad);
	padKeys(pad, keys);
	mod = (SDLMod)(SDL_GetModState() | (holding ? heldMod : KMOD_NONE));
	for (int t = 0; t < NUM_EVENTS; t++) {
		events[t] = 0;
	}
	SDL_Event ev;
	while (SDL_PollEvent(&ev)) {
		if (ev.type < NUM_EVENTS) {
			events[ev.type] = 1;
		}
	}
}

// Moves this cycle's keys to prev and takes the new ones, from SDL or from the run played back.
void poll_input() {
	for (int k = 0; k < NUM_KEYS; k++) {
		prev[k] = keys[k];
	}
	if (pollHooks.source != nullptr) {
		pollHooks.source();
	} else {
		readSDL();
	}
	if (pollHooks.tap != nullptr) {
		pollHooks.tap();
	}
}

// A millisecond's sleep, unless a run played back passes it over.
void idleBetweenPolls() {
	if (pollHooks.idle == nullptr || pollHooks.idle()) {
		SDL_Delay(1);
	}
}
