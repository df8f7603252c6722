// The game clock: three SDL timers that only count, read and reset by the main loop.
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

int init_timer();
// Milliseconds from a clock of a few milliseconds' grain, cheap enough to read a hundred
// thousand times a cycle.
long long coarseMilliseconds();
Uint32 FPSCheck(Uint32 interval, void *param);
Uint32 gameTimer(Uint32 interval, void *param);
Uint32 frameTimer(Uint32 interval, void *param);

#endif
