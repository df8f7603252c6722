// What sound costs a game cycle: the sounds asked for during the cycle and their start at its
// end, with the mixer running as in play (the dummy audio driver mixes into nothing).
#include <benchmark/benchmark.h>
#include "bench/bench_world.h"

namespace {

// One iteration is a busy cycle's sound: the volley, an enemy's shot and a tank's death asked
// for, then started on their voices.
void BM_SoundCycle(benchmark::State &state) {
	benchGame();
	for (auto _ : state) {
		playSound(SOUND_VOLLEY);
		playSound(SOUND_FIRE_AIMED);
		playSound(SOUND_DEATH_SMALL);
		flushSounds();
	}
}
BENCHMARK(BM_SoundCycle)->Unit(benchmark::kMicrosecond);

// One iteration is a quiet cycle's sound: nothing asked for, the flush finds nothing to start.
void BM_SoundCycleQuiet(benchmark::State &state) {
	benchGame();
	for (auto _ : state) {
		flushSounds();
	}
}
BENCHMARK(BM_SoundCycleQuiet)->Unit(benchmark::kMicrosecond);

}  // namespace
