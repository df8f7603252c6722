// A long headless run of the real start-up and main loop, driven by seeded random keys.
// After every cycle the world list must be well formed and bounded; in the sanitizer build
// every step also runs under AddressSanitizer and UndefinedBehaviorSanitizer, and
// LeakSanitizer looks at what is left at exit. SOAK_CYCLES sets the length (default 20000).
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <ctime>
#include <unistd.h>
#include <fcntl.h>
#include "tests/support/testsupport.h"

namespace {

// More live entities than this means something spawns without end.
const int MAX_SOAK_ENTITIES = 5000;

// The array poll_input copies, in place of SDL's own key state.
Uint8 soakKeys[NUM_KEYS];

// The game's font, held for the whole process like the entry holds it.
Font *soakFont = nullptr;

// The number of game cycles to run: SOAK_CYCLES, or 20000.
long soakCycles() {
	const char *s = getenv("SOAK_CYCLES");
	long n = s != nullptr ? strtol(s, nullptr, 10) : 0;
	return n > 0 ? n : 20000;
}

// Tells what is wrong with the world list, or "" when it is well formed: no loop in the
// links, no removed entity reachable, back links naming the entity before, priorities
// ascending, the count matching num_entities, the player (when there is one) in the list,
// the graveyard emptied, and a bounded size.
std::string worldFault() {
	// Floyd's two walkers: the fast one meets the slow one only if the links loop.
	Entity *slow = elist;
	Entity *fast = elist;
	while (fast != nullptr && fast->next != nullptr) {
		slow = slow->next;
		fast = fast->next->next;
		if (slow == fast) {
			return "the world list loops";
		}
	}
	int count = 0;
	int lastPriority = INT_MIN;
	bool playerSeen = false;
	Entity *before = nullptr;
	for (Entity *e = elist; e != nullptr; before = e, e = e->next) {
		if (e->removed || e->prev != before || e->priority < lastPriority) {
			return "removed, back link or priority wrong at " + e->name;
		}
		lastPriority = e->priority;
		playerSeen = playerSeen || e == player;
		count++;
	}
	if (count != num_entities || count >= MAX_SOAK_ENTITIES || (player != nullptr && !playerSeen) ||
	    graveyardSize() != 0) {
		return "count " + std::to_string(count) + ", num_entities " + std::to_string(num_entities) + ", player " +
		       (playerSeen ? "in" : "out") + ", graveyard " + std::to_string(graveyardSize());
	}
	return "";
}


// The player's keys, changed at random from cycle to cycle: arrows and space are held for
// a while, E and D tapped now and then, Shift held for stretches, Control+D tapped rarely.
// P (which would wait for a key) and Escape (which would quit) are never pressed.
struct RandomPlayer {
	std::mt19937 rng;
	int shift = 0;
	int ctrl = 0;

	explicit RandomPlayer(unsigned seed) : rng(seed) {}

	// 1 with probability per/1000.
	int chance(int per) { return (int)(rng() % 1000) < per; }

	// Sets up the keys for the next cycle.
	void step() {
		const int held[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE};
		for (int k : held) {
			soakKeys[k] ^= chance(80);
		}
		soakKeys[SDLK_e] = chance(3);
		soakKeys[SDLK_d] = chance(3);
		shift ^= chance(10);
		ctrl = chance(2);
		soakKeys[SDLK_d] |= ctrl;
		SDL_SetModState((SDLMod)((shift ? KMOD_LSHIFT : 0) | (ctrl ? KMOD_LCTRL : 0)));
	}
};

TEST(Soak, RealLoopWithRandomKeysKeepsTheWorldSound) {
	long total = soakCycles();
	time_t started = time(nullptr);

	// The dumps of E and D go to standard output; thousands of them are of no use here.
	fflush(stdout);
	int savedOut = dup(1);
	int devNull = open("/dev/null", O_WRONLY);
	ASSERT_GE(devNull, 0);
	dup2(devNull, 1);
	close(devNull);

	soakFont = startUp();
	ASSERT_NE(player, nullptr);
	ASSERT_EQ(worldFault(), "");
	keyp = soakKeys;
	RandomPlayer rp(20240601u);

	long done = 0;
	int restarts = 0;
	int peakEntities = num_entities;
	std::string fault;
	while (done < total && fault.empty()) {
		rp.step();
		cycles = 1;
		int going = loopPass(soakFont);
		done++;
		fault = worldFault();
		peakEntities = std::max(peakEntities, num_entities);
		if (!going && fault.empty()) {
			// No quit key is ever pressed, so only the loss of the last life ends the loop.
			if (gameover == 0) {
				fault = "the loop ended without a game over";
				break;
			}
			// Start the level again as a new game would.
			clearWorld();
			gameover = 0;
			setupLevel();
			restarts++;
			fault = worldFault();
		}
	}

	fflush(stdout);
	dup2(savedOut, 1);
	close(savedOut);
	EXPECT_EQ(fault, "") << "after " << done << " cycles";
	EXPECT_EQ(done, total);
	struct rusage usage;
	getrusage(RUSAGE_SELF, &usage);
	printf("soak: %ld cycles, %d restarts, at most %d entities, %.1f s, peak RSS %ld kB\n", done, restarts,
	       peakEntities, (double)(time(nullptr) - started), usage.ru_maxrss);
}

}  // namespace
