// Heap allocations of steady play: the real game cycle (poll, controls, world step) with the
// player holding fire and weaving, and the draw passes that follow it. Every allocation of
// the process is counted (bench/count_heap.h), operator new's and SDL's too.
#include <benchmark/benchmark.h>
#include <cstring>
#include "bench/bench_world.h"
#include "bench/count_heap.h"

namespace {

// Draw passes after each game cycle: the paced window shows one frame a cycle.
#define DRAWS_PER_CYCLE 1
// Cycles of play before the world is restored, so that the player rarely dies for good.
#define CYCLES_PER_WORLD 500
// Cycles the player holds one direction before turning.
#define WEAVE_CYCLES 25

// The keys the player holds; poll_input copies them in place of SDL's own.
Uint8 heldKeys[NUM_KEYS];

// Holds fire and the arrow of the direction the player weaves in at cycle n.
void holdKeys(long n) {
	memset(heldKeys, 0, sizeof(heldKeys));
	heldKeys[SDLK_SPACE] = 1;
	heldKeys[(n / WEAVE_CYCLES) % 2 == 0 ? SDLK_LEFT : SDLK_RIGHT] = 1;
}

void BM_AllocationsInPlay(benchmark::State &state) {
	Font *font = benchGame();
	const WorldSave &save = playedSave();
	Uint8 *sdlKeys = keyp;
	keyp = heldKeys;
	long cycleAllocations = 0;
	long drawAllocations = 0;
	long n = 0;
	{
		Quiet q;
		for (auto _ : state) {
			if (n % CYCLES_PER_WORLD == 0) {
				state.PauseTiming();
				restoreWorld(save);
				state.ResumeTiming();
			}
			holdKeys(n++);
			long before = heapAllocations();
			cycles = 1;
			gameCycle(font);
			long between = heapAllocations();
			for (int d = 0; d < DRAWS_PER_CYCLE; d++) {
				drawPass(font);
			}
			cycleAllocations += between - before;
			drawAllocations += heapAllocations() - between;
		}
	}
	keyp = sdlKeys;
	state.counters["per_cycle"] = (double)(cycleAllocations + drawAllocations) / (double)n;
	state.counters["world"] = (double)cycleAllocations / (double)n;
	state.counters["per_draw"] = (double)drawAllocations / (double)n / DRAWS_PER_CYCLE;
}
BENCHMARK(BM_AllocationsInPlay)->Unit(benchmark::kMicrosecond);

}  // namespace
