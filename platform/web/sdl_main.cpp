// The browser's entry: the game's own main, or the playback of the run the page hands over,
// then an exit, which tells the page that the game has ended and how.
#define WEB_SDL_SEAM
#include <SDL.h>
#include <emscripten.h>
#include <cstring>
#include "game/run.h"
#include "platform/message.h"
#include "platform/readfile.h"

// Ends the program with status once the call that returned from the game's main has unwound:
// an exit from within that call would leave its error to the page, uncaught.
EM_JS(void, webExitLater, (int status), {
	setTimeout(function() {
		try {
			exit(status);
		} catch (e) {
			if (!(e instanceof ExitStatus)) {
				throw e;
			}
		}
	});
});

// Gives the frame the game's exit statuses by name, so that the page tells them apart by
// name, not by number.
EM_JS(void, webNameExitStatuses, (int played, int noPlayer, int noVideo, int runOutOfStep, int runRefused), {
	Module.exitStatuses =
		{played : played, noPlayer : noPlayer, noVideo : noVideo, runOutOfStep : runOutOfStep, runRefused : runRefused};
});

// Gives the page the size of the largest file the game reads, so that it refuses a larger one
// before reading it into the frame.
EM_JS(void, webNameLargestFile, (double bytes), { Module.largestFile = bytes; });

// The game's main, or with the arguments --run PATH the run at PATH played back, then an exit.
// A main that has yielded to the browser returns to no one who would end the program.
int main(int argc, char **argv) {
	webNameExitStatuses(EXIT_PLAYED, EXIT_NO_PLAYER, EXIT_NO_VIDEO, RUN_OUT_OF_STEP, RUN_REFUSED);
	webNameLargestFile(MAX_GAME_FILE_BYTES);
	bool run = argc == 3 && strcmp(argv[1], "--run") == 0;
	int status = run ? playRunFile(argv[2], false) : webMain(argc, argv);
	webExitLater(status);
	return status;
}

// Ends SDL at exit, without the browser's note that it ignores the call.
void webQuit() {
	SDL_AudioQuit();
}
