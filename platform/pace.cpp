// The frame pacing's sleep. The game timer wakes the sleeper through a condition variable, so
// that a due cycle costs no polling and no delay.
#include "platform/pace.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include "platform/timer.h"

static std::mutex cycleLock;
static std::condition_variable cycleDue;

// Sleeps until one refresh period after now, or until a game cycle is due. In the browser
// the flip has already waited for the display's next refresh (webFlip, platform/web), and
// the timers run only while the page has the thread: nothing is left to wait for, and a
// wait here would hold the page.
void waitForNextFrame() {
#ifndef __EMSCRIPTEN__
	std::chrono::steady_clock::time_point refresh =
		std::chrono::steady_clock::now() + std::chrono::microseconds(REFRESH_PERIOD_US);
	std::unique_lock<std::mutex> hold(cycleLock);
	cycleDue.wait_until(hold, refresh, [] { return cycles >= 1; });
#endif
}

// Wakes the sleeper. The lock is taken between the timer's count and the notice, so that a
// sleeper that found no cycle due is already waiting when the notice comes.
void wakeForCycle() {
	{ std::lock_guard<std::mutex> hold(cycleLock); }
	cycleDue.notify_one();
}
