// What recording a game costs: a poll with the recorder keeping it, beside the same poll
// unrecorded, with keys that change as a player's do, and the bytes a poll adds to the run.
#include <benchmark/benchmark.h>
#include <cstring>
#include "game/run.h"

namespace {

long pollNumber;

// A player's keys at each poll: Space held but for every seventh poll, the ship weaving left
// and right forty polls each.
void playerPoll() {
	long p = pollNumber++;
	memset(keys, 0, sizeof(keys));
	memset(events, 0, sizeof(events));
	mod = KMOD_NONE;
	keys[SDLK_SPACE] = p % 7 != 0;
	keys[(p / 40) % 2 == 0 ? SDLK_LEFT : SDLK_RIGHT] = 1;
}

void BM_PollUnrecorded(benchmark::State &state) {
	pollHooks.source = playerPoll;
	for (auto _ : state) {
		poll_input();
	}
	pollHooks.source = nullptr;
}
BENCHMARK(BM_PollUnrecorded)->Iterations(1000000);

void BM_PollRecorded(benchmark::State &state) {
	pollHooks.source = playerPoll;
	beginRecording();
	for (auto _ : state) {
		poll_input();
	}
	Run run = endRecording();
	pollHooks.source = nullptr;
	state.counters["bytes_a_poll"] = (double)run.steps.size() / (double)run.polls;
}
BENCHMARK(BM_PollRecorded)->Iterations(1000000);

}  // namespace
