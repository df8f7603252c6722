// How this platform paces a real window's frames, and the timer slack of the thread that counts
// the game's cycles. The wait itself is the clock's (platform/timer.h); what differs is whether
// the main loop needs it: the desktop build's answers are platform/pace.cpp, the browser's
// platform/web/pace.cpp.
#ifndef PLATFORM_PACE_H
#define PLATFORM_PACE_H

// How late the kernel may wake the timer thread that classic SDL 1.2 starts, which looks at its
// timers every millisecond: the slack lets the kernel gather those wake-ups into fewer, and
// SDL 1.2 counts each period from when it was due, so the game keeps its pace. SDL 2 (under
// sdl12-compat) sleeps until its next timer and counts from the wake-up, so it gets none.
#define TIMER_THREAD_SLACK_NS 8000000L

// 1 when the main loop must sleep after presenting a frame until a game cycle is due (the
// game draws in software and its picture changes only in game cycles, so a frame presented
// between two cycles repeats the last one at full cost); 0 when nobody watches the frames or
// presenting has already waited for the display. Asked once the video is open.
int paceFrames();

// The slack for the timer thread of the SDL the game runs on: TIMER_THREAD_SLACK_NS for classic
// SDL 1.2, 0 (none asked) for sdl12-compat, whose versions start at 1.2.50.
long timerThreadSlack();

// Sets the timer slack that threads started from now on inherit (0: this thread's own
// default again); nothing where the system has no such setting.
void setNewThreadTimerSlack(long nanoseconds);

#endif
