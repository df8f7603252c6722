// The three SDL timers behind the game clock. They run on SDL's timer thread and only count.
#include "platform/timer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// The counters, shared with SDL's timer thread.
std::atomic<Sint32> cycles(0);
std::atomic<Sint32> frames(0);
std::atomic<Sint32> fpsc(0);
std::atomic<Sint32> fps(0);
std::atomic<Sint32> cpsc(0);
std::atomic<Sint32> cps(0);
long playedCycles = 0;

// What a main thread sleeping between frames waits on.
static std::mutex cycleLock;
static std::condition_variable cycleDue;

// Wakes the sleeper. The lock is taken between the timer's count and the notice, so that a
// sleeper that found no cycle due is already waiting when the notice comes.
static void wakeForCycle() {
	{ std::lock_guard<std::mutex> hold(cycleLock); }
	cycleDue.notify_one();
}

// Publishes the per-second rates shown by the debug overlay.
Uint32 FPSCheck(Uint32 interval, void *param) {
	(void)param;
	fps = fpsc.load();
	fpsc = 0;
	cps = cpsc.load();
	cpsc = 0;
	return interval;
}

// Paces the game: one expiry makes one game cycle due, and wakes a main thread sleeping
// between frames.
Uint32 gameTimer(Uint32 interval, void *param) {
	(void)param;
	cycles++;
	wakeForCycle();
	return interval;
}

// Counts display periods since the last flip.
Uint32 frameTimer(Uint32 interval, void *param) {
	(void)param;
	frames++;
	return interval;
}

// Sleeps until a game cycle is due, or PACE_MAX_WAIT_US at the most.
void waitForNextCycle() {
	std::chrono::steady_clock::time_point limit =
		std::chrono::steady_clock::now() + std::chrono::microseconds(PACE_MAX_WAIT_US);
	std::unique_lock<std::mutex> hold(cycleLock);
	cycleDue.wait_until(hold, limit, [] { return cycles >= 1; });
}

// Resets the counters and starts the three timers; they run until the process ends.
int init_timer() {
	fpsc = 0;
	fps = 0;
	frames = 0;
	cycles = 0;
	SDL_AddTimer(1000, FPSCheck, nullptr);
	SDL_AddTimer(13, gameTimer, nullptr);
	SDL_AddTimer(15, frameTimer, nullptr);
	return 1;
}
