// The process entry: everything else lives in vorska_core.
#include "game/vorska.h"

int main(int argc, char **argv) {
	return SDL_main(argc, argv);
}
