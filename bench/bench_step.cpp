// The world step at the sample level's start-up, after some seconds of play, and in crowded
// stress worlds; the collision pass beside the plain pass over every pair it replaces.
#include <benchmark/benchmark.h>
#include <map>
#include "bench/bench_world.h"

namespace {

// The saved stress world of n entities, built on first use.
const WorldSave &stressSave(int n) {
	static std::map<int, WorldSave> saves;
	if (saves.count(n) == 0) {
		stressWorld(n);
		saveWorld(&saves[n]);
	}
	return saves[n];
}

// The level after 600 cycles of play with the player firing, built on first use.
const WorldSave &playedSave() {
	static WorldSave save;
	static int made = 0;
	if (!made) {
		playedWorld(600);
		saveWorld(&save);
		made = 1;
	}
	return save;
}

void BM_WorldStepStartUp(benchmark::State &state) {
	static WorldSave save;
	startUpWorld();
	saveWorld(&save);
	runOnWorld(state, save, 32, stepWorld);
}
BENCHMARK(BM_WorldStepStartUp)->Unit(benchmark::kMicrosecond);

void BM_WorldStepInFlight(benchmark::State &state) {
	runOnWorld(state, playedSave(), 32, stepWorld);
}
BENCHMARK(BM_WorldStepInFlight)->Unit(benchmark::kMicrosecond);

void BM_WorldStepStress(benchmark::State &state) {
	runOnWorld(state, stressSave((int)state.range(0)), 16, stepWorld);
}
BENCHMARK(BM_WorldStepStress)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_CollisionPassStress(benchmark::State &state) {
	runOnWorld(state, stressSave((int)state.range(0)), 8, collisionPass);
}
BENCHMARK(BM_CollisionPassStress)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_CollisionPassReferenceStress(benchmark::State &state) {
	runOnWorld(state, stressSave((int)state.range(0)), 8, collisionPassReference);
}
BENCHMARK(BM_CollisionPassReferenceStress)->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
