// The draw pass with the dummy video driver beside a bare fill-and-flip of the same screen,
// a whole game cycle in the largest stress world, and reading every template of the sample data.
#include <benchmark/benchmark.h>
#include "bench/bench_world.h"

namespace {

Font *gameFont = nullptr;

// One draw pass of the game.
void drawOnce() {
	drawPass(gameFont);
}

// A world step and a draw pass: one game cycle without input.
void cycleOnce() {
	stepWorld();
	drawPass(gameFont);
}

void BM_DrawPassInFlight(benchmark::State &state) {
	gameFont = benchGame();
	runOnWorld(state, playedSave(), 32, drawOnce);
}
BENCHMARK(BM_DrawPassInFlight)->Unit(benchmark::kMicrosecond);

void BM_FillAndFlip(benchmark::State &state) {
	benchGame();
	Uint32 black = SDL_MapRGB(screen->bitmap->format, 0, 0, 0);
	// the viewports leave their clipping on the screen: fill all of it, as a frame would
	SDL_SetClipRect(screen->bitmap, nullptr);
	for (auto _ : state) {
		screen->fill(0, 0, screen->xr, screen->yr, black);
		screen->flip();
	}
}
BENCHMARK(BM_FillAndFlip)->Unit(benchmark::kMicrosecond);

void BM_GameCycleStress(benchmark::State &state) {
	static WorldSave save;
	gameFont = benchGame();
	stressWorld((int)state.range(0));
	saveWorld(&save);
	runOnWorld(state, save, 16, cycleOnce);
}
BENCHMARK(BM_GameCycleStress)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A whole game cycle at the limit of live entities, all of one group piled on the player,
// whose template spawns itself: every bullet fires a line wave every cycle and the world is
// full. The argument is the cycles played on the pile before it is piled up again: 1 times
// the cycle in which all of them hit the player, 3 the three in which they die.
void BM_GameCycleAtTheLimit(benchmark::State &state) {
	static WorldSave save;
	gameFont = benchGame();
	SelfSpawningBullets selfSpawning;
	limitWorld();
	saveWorld(&save);
	Quiet q;  // the limit's messages
	runOnWorld(state, save, (int)state.range(0), cycleOnce);
}
BENCHMARK(BM_GameCycleAtTheLimit)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// The templates of the sample data, in the order of the file.
const char *TEMPLATES[] = {"Player", "Shot", "Bullet", "Tank", "Helicopter"};


// Gives the frames of list their pictures again: the reading below releases every picture,
// those that the game's own templates share with the fresh ones too.
void reloadFramePictures(EDList &list) {
	for (EntityData &d : list) {
		for (State &s : d.states) {
			for (Frame &f : s.frames) {
				std::string why;
				if (f.bitmap != nullptr) {
					frameImage(f.name, &f.bitmap, why);
				}
			}
		}
	}
}

void BM_ReadAllTemplates(benchmark::State &state) {
	benchGame();
	// the live entities point into the game's registry: set it aside, unmoved, meanwhile
	EDList kept;
	std::swap(kept, edlist);
	{
		Quiet q;
		for (auto _ : state) {
			for (size_t i = 0; i < sizeof(TEMPLATES) / sizeof(TEMPLATES[0]); i++) {
				addEnD(ENTITY_FILE, TEMPLATES[i]);
			}
			state.PauseTiming();
			freeEdListBitmaps(edlist);
			edlist.clear();
			state.ResumeTiming();
		}
	}
	std::swap(kept, edlist);
	reloadFramePictures(edlist);
}
BENCHMARK(BM_ReadAllTemplates)->Unit(benchmark::kMillisecond);

}  // namespace
