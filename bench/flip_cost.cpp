// What the SDL underneath charges for a frame, before the game draws anything: the game's own
// screen (800 x 600 x 32, opened as the game opens it) filled and flipped FRAMES times, with
// the processor time of one frame in this process printed. Run it in a real window (under
// Xvfb, say) on each SDL 1.2 runtime: bench/play_cpu.sh's figures stand on this floor.
#include <SDL.h>
#include <cstdio>
#include <ctime>
#include "display/screen.h"

// Frames timed, after as many untimed to settle.
#define FRAMES 300

// Processor time of this process so far, in milliseconds.
static double processMilliseconds() {
	timespec t;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
	return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main() {
	Screen screen(SDL_INIT_VIDEO, 800, 600, 32, SDL_HWSURFACE | SDL_DOUBLEBUF, "VORSKA", nullptr);
	double start = 0;
	for (int i = 0; i < 2 * FRAMES; i++) {
		if (i == FRAMES) {
			start = processMilliseconds();
		}
		SDL_FillRect(screen.bitmap, nullptr, SDL_MapRGB(screen.bitmap->format, (Uint8)i, 0, 0));
		SDL_Flip(screen.bitmap);  // the frame alone, without the game's pacing
	}
	char driver[32] = "?";
	SDL_VideoDriverName(driver, sizeof(driver));
	printf("%.3f ms of processor time a frame: fill and flip of 800 x 600 x 32 on %s\n",
	       (processMilliseconds() - start) / FRAMES, driver);
	return 0;
}
