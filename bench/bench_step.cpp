// The world step at the sample level's start-up, after some seconds of play, and in crowded
// stress worlds; the collision pass beside the plain pass over every pair it replaces.
#include <benchmark/benchmark.h>
#include <map>
#include "bench/bench_world.h"
#include "entity/ef_def.h"

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

namespace {

// A tank's death in the variant below: its wreck stops colliding and fires one last bullet.
int lastShot(void *p) {
	ef_nohit(p);
	ef_fire_aimed(p);
	return 0;
}

// The stress world with tanks whose death links a new entity during the collision pass: each
// such death makes the pass rebuild its grid.
void BM_CollisionPassSpawningDeaths(benchmark::State &state) {
	const WorldSave &save = stressSave((int)state.range(0));
	EntityData *tank = getEData("Tank", edlist);
	State *death = nullptr;
	for (size_t i = 0; tank != nullptr && i < tank->states.size(); i++) {
		if (tank->states[i].name == "DEATH") {
			death = &tank->states[i];
		}
	}
	if (death == nullptr || death->frames.empty()) {
		state.SkipWithError("no Tank DEATH frame");
		return;
	}
	EFHandle kept = death->frames[0].enter;
	death->frames[0].enter = lastShot;
	runOnWorld(state, save, 8, collisionPass);
	death->frames[0].enter = kept;
}
BENCHMARK(BM_CollisionPassSpawningDeaths)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
