// SDL 1.2 made good on the browser's SDL: keys and events numbered as SDL 1.2 numbers them,
// timers that fire again, colour keys, the display format, a screen that is the page's canvas,
// a yield to the browser at each flip, and a standard gamepad shown as SDL 1.2 shows an
// Xbox-style pad on Linux.
#include <SDL.h>
#include <SDL_image.h>
#include <emscripten.h>
#include <map>
#include "platform/keyboard.h"

// The names that platform/web/SDL.h gives to this file's functions are the browser's own here.
#undef SDL_SetVideoMode
#undef SDL_Flip
#undef SDL_PollEvent
#undef SDL_AddTimer
#undef SDL_SetColorKey
#undef SDL_FreeSurface
#undef SDL_LockSurface
#undef SDL_UnlockSurface
#undef SDL_FillRect
#undef SDL_BlitSurface
#undef SDL_JoystickNumHats
#undef SDL_JoystickGetHat
#undef SDL_JoystickGetButton
#undef SDL_Quit
#undef main

// The browser's SDL codes a key that has no character as its scancode plus this.
#define WEB_SCANCODE_KEY (1 << 10)

// Ends the program with status once the call that returned from the game's main has unwound:
// an exit from within that call would leave its error to the page, uncaught.
EM_JS(void, webExitLater, (int status), {
	setTimeout(function() {
		try {
			exit(status);
		} catch (e) {
			if (!(e instanceof ExitStatus)) {
				throw e;
			}
		}
	});
});

// The entry: the game's own main, then an exit, which tells the page that the game has ended.
// A main that has yielded to the browser returns to no one who would end the program.
int main(int argc, char **argv) {
	int status = webMain(argc, argv);
	webExitLater(status);
	return status;
}

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

// SDL 1.2's key-state array.
Uint8 *SDL_GetKeyState(int *numkeys) {
	if (numkeys != nullptr) {
		*numkeys = NUM_KEYS;
	}
	return keyState;
}

// Takes an event as SDL 1.2 gives it: renumbered, a key event with SDL 1.2's key code, and
// the key-state array updated by it.
int webPollEvent(SDL_Event *event) {
	if (!SDL_PollEvent(event)) {
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

// SDL 1.2 keeps time in steps of this many milliseconds and lengthens each timer's period to a
// whole number of them: the game's 13 ms timer fires every 20 ms, 50 game cycles a second.
#define SDL12_TIMER_STEP_MS 10

// A timer that fires again with the period its callback returns, as SDL 1.2's timers do.
struct WebTimer {
	SDL_TimerCallback callback;
	void *param;
	Uint32 interval;  // milliseconds, whole steps
	double due;       // when it fires next, on emscripten_get_now's clock
};

// A period lengthened to whole steps of SDL 1.2's timer clock.
static Uint32 timerPeriod(Uint32 ms) {
	return (ms + SDL12_TIMER_STEP_MS - 1) / SDL12_TIMER_STEP_MS * SDL12_TIMER_STEP_MS;
}

extern "C" EMSCRIPTEN_KEEPALIVE void webFireTimer(WebTimer *timer);

// Calls the game back after ms, unless the game has ended by then. A plain timeout, because
// emscripten's own keep the runtime alive, and a game that ended must end.
EM_JS(void, webTimeout, (double ms, WebTimer *timer), {
	setTimeout(
		function() {
			if (!ABORT) {
				_webFireTimer(timer);
			}
		},
		ms);
});

// Runs the timer's callback and sets it again for its next period; a period missed while the
// browser was busy elsewhere is dropped, as SDL 1.2 drops it.
void webFireTimer(WebTimer *timer) {
	Uint32 next = timer->callback(timer->interval, timer->param);
	if (next == 0) {
		delete timer;
		return;
	}
	timer->interval = timerPeriod(next);
	double now = emscripten_get_now();
	timer->due += timer->interval;
	if (timer->due < now) {
		timer->due = now + timer->interval;
	}
	webTimeout(timer->due - now, timer);
}

// Starts a timer that fires every interval milliseconds until its callback returns 0.
SDL_TimerID webAddTimer(Uint32 interval, SDL_TimerCallback callback, void *param) {
	Uint32 period = timerPeriod(interval);
	WebTimer *timer = new WebTimer{callback, param, period, emscripten_get_now() + period};
	webTimeout(period, timer);
	return 1;
}

// Colour keys set on surfaces; the browser's surfaces keep none.
static std::map<SDL_Surface *, Uint32> colorKeys;

// Keeps the colour key for SDL_DisplayFormat, which makes the keyed pixels clear.
int webSetColorKey(SDL_Surface *surface, Uint32 flag, Uint32 key) {
	if (flag & SDL_SRCCOLORKEY) {
		colorKeys[surface] = key;
		surface->flags |= SDL_SRCCOLORKEY;
	} else {
		colorKeys.erase(surface);
		surface->flags &= ~SDL_SRCCOLORKEY;
	}
	return 0;
}

// The colour key of surface, as SDL 1.3 gives it: 0 with key set, -1 when it has none.
int SDL_GetColorKey(SDL_Surface *surface, Uint32 *key) {
	std::map<SDL_Surface *, Uint32>::const_iterator known = colorKeys.find(surface);
	if (known == colorKeys.end()) {
		return -1;
	}
	*key = known->second;
	return 0;
}

// Frees a surface and forgets its colour key.
void webFreeSurface(SDL_Surface *surface) {
	colorKeys.erase(surface);
	SDL_FreeSurface(surface);
}

// The screen is the page's canvas, drawn by fills and blits: locking it would copy the whole
// canvas out and back, and the browser's SDL refuses to fill a locked surface. The game locks
// the screen only around the fills of its outlines, so the screen's lock does nothing.
int webLockSurface(SDL_Surface *surface) {
	return surface == SDL_GetVideoSurface() ? 0 : SDL_LockSurface(surface);
}

// Undoes webLockSurface.
void webUnlockSurface(SDL_Surface *surface) {
	if (surface != SDL_GetVideoSurface()) {
		SDL_UnlockSurface(surface);
	}
}

// A pixel value's alpha byte in the browser's surfaces.
#define WEB_ALPHA_MASK 0xFF000000u

// Fills as SDL 1.2 fills: the screen has no alpha, so a fill of it is opaque whatever the
// value's top byte, where the canvas would keep what a fill with alpha 0 (black is 0) covers.
int webFillRect(SDL_Surface *surface, SDL_Rect *rect, Uint32 color) {
	if (surface == SDL_GetVideoSurface()) {
		color |= WEB_ALPHA_MASK;
	}
	return SDL_FillRect(surface, rect, color);
}

// Blits as SDL 1.2 blits, which reads only the corner of the destination rectangle: the
// browser's SDL clips to its width and height too, and would draw nothing for the 0 x 0 that
// SDL 1.2's callers leave there.
int webBlitSurface(SDL_Surface *source, SDL_Rect *from, SDL_Surface *target, SDL_Rect *to) {
	if (to != nullptr) {
		to->w = from != nullptr ? from->w : source->w;
		to->h = from != nullptr ? from->h : source->h;
	}
	return SDL_UpperBlit(source, from, target, to);
}

// The display format is the canvas's RGBA, opaque but where the colour key made the picture
// clear: the browser's SDL blits through the canvas, which knows alpha but not keys.
SDL_Surface *SDL_DisplayFormat(SDL_Surface *surface) {
	SDL_Surface *copy = SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 32, 0x000000FF, 0x0000FF00,
	                                         0x00FF0000, WEB_ALPHA_MASK);
	if (copy == nullptr) {
		return nullptr;
	}
	std::map<SDL_Surface *, Uint32>::const_iterator key = colorKeys.find(surface);
	SDL_LockSurface(surface);
	SDL_LockSurface(copy);
	for (int y = 0; y < surface->h; y++) {
		const Uint32 *from = (const Uint32 *)((const Uint8 *)surface->pixels + y * surface->pitch);
		Uint32 *to = (Uint32 *)((Uint8 *)copy->pixels + y * copy->pitch);
		for (int x = 0; x < surface->w; x++) {
			bool keyed = key != colorKeys.end() && ((from[x] ^ key->second) & ~WEB_ALPHA_MASK) == 0;
			to[x] = keyed ? 0 : from[x] | WEB_ALPHA_MASK;
		}
	}
	SDL_UnlockSurface(copy);
	SDL_UnlockSurface(surface);
	return copy;
}

// The browser's SDL decodes every picture by its content, so the type is not needed.
SDL_Surface *IMG_LoadTyped_RW(SDL_RWops *src, int freesrc, char *type) {
	(void)type;
	return IMG_Load_RW(src, freesrc);
}

// Sets the mode and says what was granted, as SDL 1.2 does: the canvas is neither video
// memory, nor a second buffer, nor the whole screen.
SDL_Surface *webSetVideoMode(int width, int height, int bpp, Uint32 flags) {
	SDL_Surface *screen = SDL_SetVideoMode(width, height, bpp, flags);
	if (screen != nullptr) {
		screen->flags &= ~(Uint32)(SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN);
	}
	return screen;
}

// Waits for the browser to show the next frame; meanwhile it takes its events and runs its timers.
EM_ASYNC_JS(void, webNextFrame, (),
            { await new Promise(function(resume) { requestAnimationFrame(function() { resume(); }); }); });

// Shows the frame. The game's loop never returns to the browser, so it yields here, until the
// display's next refresh, as a double-buffered flip waits for the next retrace.
int webFlip(SDL_Surface *screen) {
	(void)screen;
	webNextFrame();
	return 0;
}

// Ends SDL at exit, without the browser's note that it ignores the call.
void webQuit() {
	SDL_AudioQuit();
}

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
