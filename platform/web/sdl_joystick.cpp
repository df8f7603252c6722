// The joystick of SDL 1.2 on the browser's gamepads: a pad in the browser's standard layout is
// shown as SDL 1.2 shows an Xbox-style pad on Linux, its d-pad as a hat.
#define WEB_SDL_SEAM
#include <SDL.h>
#include <emscripten.h>

// The standard layout's button for each of SDL 1.2's Xbox-style buttons: A, B, X, Y, LB, RB,
// Back, Start, Guide and the two stick clicks.
static const int STANDARD_BUTTONS[] = {0, 1, 2, 3, 4, 5, 8, 9, 16, 10, 11};

// The standard layout's d-pad buttons and the hat directions they stand for.
static const struct {
	int button;
	Uint8 hat;
} STANDARD_DPAD[] = {{12, SDL_HAT_UP}, {13, SDL_HAT_DOWN}, {14, SDL_HAT_LEFT}, {15, SDL_HAT_RIGHT}};

// Whether the browser lays the pad out in its standard layout; other pads keep their numbers.
EM_JS(int, webPadIsStandard, (int index), {
	var pads = navigator.getGamepads ? navigator.getGamepads() : [];
	return pads[index] && pads[index].mapping == "standard" ? 1 : 0;
});

// A standard pad has its d-pad as one hat.
int webJoystickNumHats(SDL_Joystick *joystick) {
	return webPadIsStandard(SDL_JoystickIndex(joystick)) ? 1 : 0;
}

// The d-pad of a standard pad as hat 0.
Uint8 webJoystickGetHat(SDL_Joystick *joystick, int hat) {
	Uint8 bits = SDL_HAT_CENTERED;
	if (hat != 0 || !webPadIsStandard(SDL_JoystickIndex(joystick))) {
		return bits;
	}
	for (const auto &d : STANDARD_DPAD) {
		if (SDL_JoystickGetButton(joystick, d.button)) {
			bits |= d.hat;
		}
	}
	return bits;
}

// A button by SDL 1.2's number for it.
Uint8 webJoystickGetButton(SDL_Joystick *joystick, int button) {
	if (!webPadIsStandard(SDL_JoystickIndex(joystick))) {
		return SDL_JoystickGetButton(joystick, button);
	}
	int count = (int)(sizeof STANDARD_BUTTONS / sizeof STANDARD_BUTTONS[0]);
	return button >= 0 && button < count ? SDL_JoystickGetButton(joystick, STANDARD_BUTTONS[button]) : 0;
}
