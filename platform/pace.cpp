// The frame pacing's sleep. The game timer wakes the sleeper through a condition variable, so
// that a due cycle costs no polling and no delay.
#include "platform/pace.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <SDL.h>
#include "platform/timer.h"
#ifdef __linux__
#include <sys/prctl.h>
#endif

static std::mutex cycleLock;
static std::condition_variable cycleDue;

// Sleeps until a game cycle is due, or PACE_MAX_WAIT_US at the most. In the browser the flip
// has already waited for the display's next refresh (webFlip, platform/web), and the timers
// run only while the page has the thread: nothing is left to wait for, and a wait here would
// hold the page.
void waitForNextCycle() {
#ifndef __EMSCRIPTEN__
	std::chrono::steady_clock::time_point limit =
		std::chrono::steady_clock::now() + std::chrono::microseconds(PACE_MAX_WAIT_US);
	std::unique_lock<std::mutex> hold(cycleLock);
	cycleDue.wait_until(hold, limit, [] { return cycles >= 1; });
#endif
}

// Wakes the sleeper. The lock is taken between the timer's count and the notice, so that a
// sleeper that found no cycle due is already waiting when the notice comes.
void wakeForCycle() {
	{ std::lock_guard<std::mutex> hold(cycleLock); }
	cycleDue.notify_one();
}

// Classic SDL 1.2 polls its timers; sdl12-compat, numbered from 1.2.50 on, does not.
long timerThreadSlack() {
	const SDL_version *v = SDL_Linked_Version();
	return v->major == 1 && v->minor == 2 && v->patch < 50 ? TIMER_THREAD_SLACK_NS : 0;
}

// Asks the kernel for the slack that the calling thread passes on to the threads it starts.
void setNewThreadTimerSlack(long nanoseconds) {
#ifdef __linux__
	prctl(PR_SET_TIMERSLACK, (unsigned long)nanoseconds);
#else
	(void)nanoseconds;
#endif
}
