// The screen after every draw pass of a scripted stretch of real play, against a golden list
// of hashes: the field, the sprites, the debug boxes and the overlay (on, with the boxes, and
// off) must reach the screen pixel for pixel as they always have. The overlay's rates and
// counters are set by the script, the timers stopped. VORSKA_REGOLD=1 rewrites the list.
// Both lists were recorded from the drawing code as it was before the pass was sped up.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "tests/support/testsupport.h"
#include "game/vorska.h"

namespace {

const int PASSES = 720;

// FNV-1a over the bytes of the screen surface.
unsigned long long screenHash() {
	const Uint8 *p = (const Uint8 *)screen->bitmap->pixels;
	unsigned long long h = 14695981039346656037ull;
	for (int i = 0; i < screen->bitmap->h * screen->bitmap->pitch; i++) {
		h = (h ^ p[i]) * 1099511628211ull;
	}
	return h;
}

// Sets the keys, debug bits and overlay counters of pass i: fire held, the ship weaving, the
// boxes on at 240, everything off at 480 (as Control+D does), now and then a draw alone.
void scriptPass(int i, Uint8 *keyboard) {
	keyboard[SDLK_SPACE] = 1;
	keyboard[SDLK_LEFT] = (i / 40) % 2;
	keyboard[SDLK_RIGHT] = 1 - (i / 40) % 2;
	keyboard[SDLK_UP] = (i / 100) % 2;
	if (i == 240 || i == 480) {
		dbg = (i == 240) ? DBG_ALL : 0;
		debug->clear(0);
	}
	cycles = (i % 4 == 3) ? 0 : 1;
	fps = 60 - i / 90;
	cps = 76 + i / 150;
	frames = (i / 25) % 3;
}

TEST(DrawPixels, ScriptedPlayDrawsTheGoldenScreens) {
	GameDir game;
	game.put("data/entity.dat", readFile(repoRoot() + "/tests/golden/trace_entity.dat"));
	srand(1);
	Capture out(1);
	game.start();
	SDL_QuitSubSystem(SDL_INIT_TIMER);
	std::string hashes;
	for (int i = 0; i < PASSES && gameover == 0; i++) {
		scriptPass(i, game.keyboard);
		loopPass(game.font);
		char line[32];
		snprintf(line, sizeof(line), "pass %3d %016llx\n", i, screenHash());
		hashes += line;
	}
	out.finish();
	expectGolden(runtimeGolden("draw_pixels"), hashes);
}

}  // namespace
