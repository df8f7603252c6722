// The game clock: three SDL timers that only count, read and reset by the main loop, and the
// wait for the next game cycle that a paced window sleeps in between frames.
#ifndef PLATFORM_TIMER_H
#define PLATFORM_TIMER_H

#include <SDL.h>
#include <atomic>

// Shared with SDL's timer thread, hence atomic.
extern std::atomic<Sint32> cycles;  // 13 ms expiries not yet consumed by a game cycle
extern std::atomic<Sint32> frames;  // 15 ms expiries since the last flip
extern std::atomic<Sint32> fpsc;    // flips in the current second
extern std::atomic<Sint32> fps;     // flips in the last whole second
extern std::atomic<Sint32> cpsc;    // game cycles in the current second
extern std::atomic<Sint32> cps;     // game cycles in the last whole second

// Game cycles run since start-up: the clock of play, which runs as the game runs, however fast
// that is, so that what the game says and does is the same when a run is played back.
extern long playedCycles;

// The longest waitForNextCycle sleeps without a cycle: a stalled clock still lets the loop
// draw and see the window's events a few times a second.
#define PACE_MAX_WAIT_US 100000

int init_timer();
// Sleeps until a game cycle is due (the game timer has counted an expiry), at once when one is
// due already, and PACE_MAX_WAIT_US at the most. The game timer wakes the sleeper, so a due
// cycle costs no polling and no delay.
void waitForNextCycle();
Uint32 FPSCheck(Uint32 interval, void *param);
Uint32 gameTimer(Uint32 interval, void *param);
Uint32 frameTimer(Uint32 interval, void *param);

#endif
