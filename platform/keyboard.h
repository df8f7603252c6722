// Keyboard snapshots: this cycle's keys, the previous cycle's, modifiers and event flags.
#ifndef PLATFORM_KEYBOARD_H
#define PLATFORM_KEYBOARD_H

#include <SDL.h>

#define NUM_KEYS   323
#define NUM_EVENTS 32

extern Uint8 *keyp;               // SDL's own key-state array
extern Uint8 keys[NUM_KEYS];      // this cycle's copy of keyp
extern Uint8 prev[NUM_KEYS];      // the previous cycle's keys
extern SDLMod mod;                // modifiers taken this cycle
extern Uint8 events[NUM_EVENTS];  // 1 for each event type seen by the last poll

void init_input();
void poll_input();

// How long after the window goes to or from full screen a key held across the change reads
// held whatever SDL says: SDL releases every key when its window loses the input focus, as it
// does on the way, and reads back those still down when the focus returns, some polls later.
// Without it a held key would read released and pressed again (a held F11 would switch back
// and forth, held fire would fire twice more). A key let go meanwhile reads released after it.
#define REFOCUS_HOLD_MS 250

// Keeps the keys and modifiers of this cycle's snapshot held for the next REFOCUS_HOLD_MS.
void holdKeysAcrossRefocus();

// Where the polls come from and where they go besides the rules: a run played back fills each
// poll in place of SDL, a recording keeps each poll as the rules will read it, and the pause
// waits between its polls as the one or the other needs. A null member leaves SDL's way.
struct PollHooks {
	void (*source)();  // fills keys, mod and events; prev already holds the last poll's keys
	void (*tap)();     // sees keys, mod and events as the poll leaves them
	bool (*idle)();    // between two polls of the pause: whether to sleep the millisecond
};
extern PollHooks pollHooks;

// Waits between two polls of the pause: gives the processor away for a millisecond, and a key
// is still seen at once. The sleep is called here, not through the hook, because in the
// browser only direct calls may yield.
void idleBetweenPolls();

// Key tests as the rules use them.
inline bool keyHeld(int k) {
	return keys[k] != 0;
}
inline bool keyPressed(int k) {
	return keys[k] != 0 && prev[k] == 0;
}
inline bool keyReleased(int k) {
	return keys[k] == 0 && prev[k] != 0;
}

#endif
