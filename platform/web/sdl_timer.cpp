// Timers as SDL 1.2 runs them, on the browser's clock: each fires again with the period its
// callback returns, in SDL 1.2's steps of time.
#define WEB_SDL_SEAM
#include <SDL.h>
#include <emscripten.h>

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
