// The first gamepad that appears, read once per poll into the key array.
#include "platform/gamepad.h"

// What holds each key: a direction of the stick or the d-pad, or a button.
struct PadBinding {
	int key;        // SDL 1.2 key code held
	int stickAxis;  // 0 for x, 1 for y, -1 for none
	int stickSign;  // the side of the axis that holds the key
	Uint8 hatBits;  // the d-pad direction that holds the key, 0 for none
	int button;     // the button that holds the key, -1 for none
};

static const PadBinding PAD_BINDINGS[] = {
	{SDLK_LEFT, 0, -1, SDL_HAT_LEFT, -1},     {SDLK_RIGHT, 0, 1, SDL_HAT_RIGHT, -1},
	{SDLK_UP, 1, -1, SDL_HAT_UP, -1},         {SDLK_DOWN, 1, 1, SDL_HAT_DOWN, -1},
	{SDLK_SPACE, -1, 0, 0, PAD_BUTTON_FIRE},  {SDLK_p, -1, 0, 0, PAD_BUTTON_START},
	{SDLK_ESCAPE, -1, 0, 0, PAD_BUTTON_BACK},
};

static SDL_Joystick *pad = nullptr;

// Starts SDL's joystick support; the pad itself is opened when it first appears, since a
// browser shows a pad only once a button on it has been pressed.
void init_pad() {
	if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) {
		// read when polled, not queued as events the game has no use for
		SDL_JoystickEventState(SDL_IGNORE);
	}
}

// Reads the first pad there is into pad; a state with nothing held when there is none.
void readPad(PadState *state) {
	*state = PadState();
	if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
		return;
	}
	for (int i = 0; pad == nullptr && i < SDL_NumJoysticks(); i++) {
		pad = SDL_JoystickOpen(i);
	}
	if (pad == nullptr) {
		return;
	}
	SDL_JoystickUpdate();
	state->x = SDL_JoystickGetAxis(pad, 0);
	state->y = SDL_JoystickGetAxis(pad, 1);
	state->hat = SDL_JoystickNumHats(pad) > 0 ? SDL_JoystickGetHat(pad, 0) : 0;
	for (int b = 0; b < PAD_BUTTONS && b < SDL_JoystickNumButtons(pad); b++) {
		if (SDL_JoystickGetButton(pad, b)) {
			state->buttons |= 1u << b;
		}
	}
}

// Whether binding b is held in pad.
static bool padHolds(const PadBinding &b, const PadState &pad) {
	int lean = b.stickAxis == 0 ? pad.x : b.stickAxis == 1 ? pad.y : 0;
	bool stick = b.stickAxis >= 0 && lean * b.stickSign > PAD_STICK_DEAD_ZONE;
	bool hat = (pad.hat & b.hatBits) != 0;
	bool button = b.button >= 0 && (pad.buttons & (1u << b.button)) != 0;
	return stick || hat || button;
}

// Holds in keyState every key that pad holds; keys already held stay held.
void padKeys(const PadState &pad, Uint8 *keyState) {
	for (const PadBinding &b : PAD_BINDINGS) {
		if (padHolds(b, pad)) {
			keyState[b.key] = 1;
		}
	}
}
