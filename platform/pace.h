// Pacing of a real window's frames. The game draws in software and changes only in game
// cycles, so a frame shown more often than the display refreshes is work nobody sees: after
// presenting, the main thread sleeps until the display can show another frame or a game
// cycle is due, whichever comes first. Headless runs (the dummy driver) are not paced.
#ifndef PLATFORM_PACE_H
#define PLATFORM_PACE_H

// How long a frame stays on the display: SDL 1.2 cannot tell the display's rate, so 60 Hz.
#define REFRESH_PERIOD_US 16667

// Sleeps, just after a frame was presented, until the display can show the next one or a
// game cycle is due (the game timer has counted an expiry); at once when one is due already.
void waitForNextFrame();

// Wakes waitForNextFrame: the game timer calls it after counting an expiry.
void wakeForCycle();

#endif
