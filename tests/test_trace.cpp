// The golden trace: the real start-up with a fixed seed and a frozen definition file, then a
// scripted player (weaving, fire held and tapped, deaths, the dumps, the debug view, a pause
// and a camera pan). Every 100 cycles the world and a digest of the screen are written down;
// the whole text must match tests/golden/trace.golden, and a second run must repeat it, as
// must a run without a sound device, but for its one line saying so.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <sstream>
#include "tests/support/testsupport.h"

namespace {

const int TRACE_CYCLES = 3000;
const int TRACE_EVERY = 100;

// What the player does from cycle `from` on, until the next row.
struct ScriptRow {
	int from;
	const char *keys;  // held keys: L R U D (arrows), S (space); taps: E, d (D), P
	int mods;
};

const ScriptRow SCRIPT[] = {
	{0, "SL", 0},
	{60, "SR", 0},
	{130, "SLU", 0},
	{170, "SD", 0},
	{200, "", 0},
	{210, "E", 0},
	{211, "", 0},
	{220, "d", 0},
	{221, "", 0},
	{230, "E", KMOD_LSHIFT},
	{231, "", 0},
	{240, "d", KMOD_RSHIFT},
	{241, "", 0},
	{250, "d", KMOD_LCTRL},
	{251, "", 0},
	{252, "d", KMOD_RCTRL},
	{253, "", 0},
	{300, "S", 0},
	{301, "", 0},
	{305, "S", 0},
	{306, "", 0},
	{350, "P", 0},
	{351, "", 0},
	{400, "L", 0},
	{430, "", 0},
	{1200, "R", 0},
	{1230, "", 0},
	{1500, "U", KMOD_LSHIFT},
	{1560, "L", KMOD_LSHIFT},
	{1580, "SR", 0},
	{1700, "SLD", 0},
	{1800, "SU", 0},
	{1900, "", 0},
	{2600, "SRU", 0},
	{2800, "E", 0},
	{2801, "", 0},
};

// FNV-1a over bytes: a short, stable digest for texts and pixels too long to keep.
unsigned digest(const void *data, size_t n) {
	unsigned h = 2166136261u;
	for (size_t i = 0; i < n; i++) {
		h = (h ^ ((const unsigned char *)data)[i]) * 16777619u;
	}
	return h;
}

// Text kept whole when short, else by its length and digest.
std::string kept(const std::string &text) {
	std::ostringstream o;
	o << "[" << std::count(text.begin(), text.end(), '\n') << " lines, digest " << std::hex
	  << digest(text.data(), text.size()) << "]\n";
	return std::count(text.begin(), text.end(), '\n') <= 40 ? text : o.str();
}

// One line per entity whose box is near the camera window.
std::string nearby() {
	std::ostringstream o;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->y + e->h >= env->cy - 50 && e->y <= env->cy + 650) {
			o << "  " << e->id << " " << e->x << "," << e->y << " " << e->w << "x" << e->h << " v" << e->xvel << ","
			  << e->yvel << " c" << e->xvc << "," << e->yvc << " life " << e->life << "/" << e->maxlife << " dmg "
			  << e->damage << " fl " << e->flags << " " << e->getState() << ":" << e->curframe << "/" << e->framectr
			  << " age " << e->ctr << "\n";
		}
	}
	return o.str();
}

// The world and the screen as they are.
std::string checkpoint(int cycle) {
	Capture out(1);
	printEnList(1);
	std::string world = scrubbed(out.finish());
	SDL_Surface *s = screen->bitmap;
	std::ostringstream o;
	o << "== cycle " << cycle << ": " << num_entities << " entities, camera " << env->cx << "," << env->cy << " dbg "
	  << dbg << " gameover " << gameover << " world " << std::hex << digest(world.data(), world.size()) << " screen "
	  << digest(s->pixels, (size_t)s->pitch * s->h) << std::dec << "\n";
	return o.str() + nearby();
}

// The keys of the script row for this cycle.
void setKeys(Uint8 *keyboard, const ScriptRow &row) {
	const int codes[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_SPACE, SDLK_e, SDLK_d, SDLK_p};
	const char *names = "LRUDSEdP";
	for (int i = 0; i < 8; i++) {
		keyboard[codes[i]] = strchr(row.keys, names[i]) != nullptr;
	}
	SDL_SetModState((SDLMod)row.mods);
}

// Plays the script once from a fresh start-up and returns the trace.
std::string runTrace() {
	GameDir game;
	game.put("data/entity.dat", readFile(repoRoot() + "/tests/golden/trace_entity.dat"));
	srand(1);
	Capture out(1);
	std::string trace = game.start();
	trace = scrubbed(out.finish() + trace, game.dir.path, "$DIR");
	// the counters shown by the overlay stop, so that its text is the same on every run
	SDL_QuitSubSystem(SDL_INIT_TIMER);
	fps = cps = frames = 0;
	size_t row = 0;
	for (int c = 0; c < TRACE_CYCLES; c++) {
		if (c % TRACE_EVERY == 0) {
			trace += checkpoint(c);
		}
		while (row + 1 < sizeof(SCRIPT) / sizeof(SCRIPT[0]) && SCRIPT[row + 1].from <= c) {
			row++;
		}
		setKeys(game.keyboard, SCRIPT[row]);
		Capture out(1);
		Capture err(2);
		cycles = 1;
		int going =
			strchr(SCRIPT[row].keys, 'P') != nullptr ? pausedCycle(game.font, game.keyboard) : loopPass(game.font);
		std::string said = kept(scrubbed(out.finish())) + err.finish();
		if (!said.empty()) {
			trace += "-- cycle " + std::to_string(c) + " said:\n" + said;
		}
		if (!going) {
			Capture err(2);
			clearWorld();
			gameover = 0;
			setupLevel();
			trace += "-- game over at cycle " + std::to_string(c) + "; the level starts again\n" + err.finish();
		}
	}
	return trace + checkpoint(TRACE_CYCLES);
}

TEST(Trace, ScriptedGameMatchesTheGoldenTraceTwice) {
	std::string first = runTrace();
	expectGolden(runtimeGolden("trace"), first);
	EXPECT_TRUE(first == runTrace()) << "a second run differs from the first";
}

TEST(Trace, WithoutASoundDeviceTheGameSaysSoOnceAndPlaysTheSame) {
	setenv("SDL_AUDIODRIVER", "none", 1);  // no such driver
	std::string trace = runTrace();
	size_t said = trace.find("Sound is off: ");
	ASSERT_NE(said, std::string::npos);
	trace.erase(said, trace.find('\n', said) + 1 - said);
	EXPECT_EQ(trace.find("Sound is off"), std::string::npos);
	expectGolden(runtimeGolden("trace"), trace);
}

}  // namespace
