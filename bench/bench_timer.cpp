// The period of the game's 13 ms timer as the SDL library in use delivers it: classic SDL 1.2
// rounds timers to its own granularity, sdl12-compat hands them to SDL 2.
#include <benchmark/benchmark.h>
#include "bench/bench_world.h"

namespace {

// One iteration lasts from one expiry of the game timer to the next, so the time per
// iteration is the timer's real period and the rate is game cycles per second.
void BM_GameTimerPeriod(benchmark::State &state) {
	benchGame();
	for (auto _ : state) {
		Sint32 start = cycles.load();
		while (cycles.load() == start) {
			SDL_Delay(1);
		}
	}
	state.counters["cycles_per_s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GameTimerPeriod)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
