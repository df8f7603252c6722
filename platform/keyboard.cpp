// Keyboard snapshots taken once per game cycle.
#include "platform/keyboard.h"

// Keeps SDL's own key-state array; SDL updates it whenever events are pumped.
void init_input() {
	keyp = SDL_GetKeyState(nullptr);
}

// Moves this cycle's keys to prev, copies SDL's array, and drains the event queue.
void poll_input() {
	for (int k = 0; k < NUM_KEYS; k++) {
		prev[k] = keys[k];
		keys[k] = keyp[k];
	}
	mod = SDL_GetModState();
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
