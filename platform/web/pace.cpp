// Pacing in the browser: the flip has already waited for the display's next refresh (webFlip),
// and the timers run only while the page has the thread, so the main loop never sleeps on its
// own; nor does the browser have a timer thread to give slack to.
#include "platform/pace.h"

// The flip paces the frames.
int paceFrames() {
	return 0;
}

// No timer thread.
long timerThreadSlack() {
	return 0;
}

// Nothing to set.
void setNewThreadTimerSlack(long nanoseconds) {
	(void)nanoseconds;
}
