// Pacing of a real window's frames. The game draws in software and its picture changes only in
// game cycles, so a frame presented between two cycles repeats the last one at full cost:
// after presenting, the main thread sleeps until the next game cycle is due (the game timer
// wakes it), and the frame drawn after that cycle is presented at once. Headless runs (the
// dummy driver) are not paced.
#ifndef PLATFORM_PACE_H
#define PLATFORM_PACE_H

// The longest a paced loop sleeps without a cycle: a stalled clock still lets it draw and see
// the window's events a few times a second.
#define PACE_MAX_WAIT_US 100000

// How late the kernel may wake the timer thread that classic SDL 1.2 starts, which looks at its
// timers every millisecond: the slack lets the kernel gather those wake-ups into fewer, and
// SDL 1.2 counts each period from when it was due, so the game keeps its pace. SDL 2 (under
// sdl12-compat) sleeps until its next timer and counts from the wake-up, so it gets none.
#define TIMER_THREAD_SLACK_NS 8000000L

// Sleeps, just after a frame was presented, until a game cycle is due (the game timer has
// counted an expiry); at once when one is due already.
void waitForNextCycle();

// Wakes waitForNextCycle: the game timer calls it after counting an expiry.
void wakeForCycle();

// The slack for the timer thread of the SDL the game runs on: TIMER_THREAD_SLACK_NS for classic
// SDL 1.2, 0 (none asked) for sdl12-compat, whose versions start at 1.2.50.
long timerThreadSlack();

// Sets the timer slack that threads started from now on inherit (0: this thread's own
// default again); nothing where the system has no such setting.
void setNewThreadTimerSlack(long nanoseconds);

#endif
