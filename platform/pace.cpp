// Pacing on the desktop: a real window sleeps between frames; the dummy driver of the tests,
// the benchmarks, the playtest and the fuzzers shows its frames to nobody and runs as fast as
// it goes.
#include "platform/pace.h"

#include <SDL.h>
#include <cstring>
#ifdef __linux__
#include <sys/prctl.h>
#endif

// Only a real window is paced.
int paceFrames() {
	char name[32];
	bool headless = SDL_VideoDriverName(name, sizeof(name)) != nullptr && strcmp(name, "dummy") == 0;
	return headless ? 0 : 1;
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
