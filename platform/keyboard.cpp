// Keyboard snapshots taken once per game cycle.
#include "platform/keyboard.h"
#include "platform/gamepad.h"
#include "platform/touch.h"

// The keyboard state this module owns; the rules only read it.
Uint8 *keyp = nullptr;
Uint8 keys[NUM_KEYS];
Uint8 prev[NUM_KEYS];
SDLMod mod = KMOD_NONE;
Uint8 events[NUM_EVENTS];

// What holdKeysAcrossRefocus keeps held, and from when.
static Uint8 heldKeys[NUM_KEYS];
static SDLMod heldMod = KMOD_NONE;
static Uint32 heldSince = 0;
static bool holding = false;

// Keeps SDL's own key-state array; SDL updates it whenever events are pumped.
void init_input() {
	keyp = SDL_GetKeyState(nullptr);
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

// Moves this cycle's keys to prev, copies SDL's array and what a gamepad holds, and drains
// the event queue.
void poll_input() {
	holding = holding && SDL_GetTicks() - heldSince < REFOCUS_HOLD_MS;
	for (int k = 0; k < NUM_KEYS; k++) {
		prev[k] = keys[k];
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
