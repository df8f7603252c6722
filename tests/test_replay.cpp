// Runs: a scripted game of thousands of cycles, with fire, weaving, deaths, dumps, a pause of
// hundreds of polls and frames drawn unevenly between cycles, recorded and played back headless
// to the same output and the same world; the run files the reader refuses; data that differ
// from the run's; the runs folder.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <sstream>
#include <unistd.h>
#include "game/run.h"
#include "platform/runstore.h"
#include "tests/support/testsupport.h"

namespace {

const int LAST_CYCLE = 3200;  // Escape, unless the game is over before
const int PAUSE_AT = 300;     // P; the pause's wait then takes 325 polls

int cycleNow;       // the cycle the script plays
long pollsInCycle;  // the polls of it so far

// The scripted player at each poll: fire held but for every seventh cycle, a weave left and
// right, and up for a while, the dumps (Shift+E a full one), mouse moves, a pause, and Escape at the end.
void scriptPoll() {
	long p = pollsInCycle++;
	int c = cycleNow;
	memset(keys, 0, sizeof(keys));
	memset(events, 0, sizeof(events));
	mod = c == 1500 ? KMOD_LSHIFT : KMOD_NONE;
	if (c == PAUSE_AT) {
		keys[SDLK_p] = p < 20 || (p >= 320 && p < 325);
		return;
	}
	keys[SDLK_SPACE] = c % 7 != 0;
	keys[SDLK_LEFT] = (c / 40) % 2 == 0;
	keys[SDLK_RIGHT] = (c / 40) % 2 == 1;
	keys[SDLK_UP] = c >= 100 && c < 130;
	keys[SDLK_e] = c == 500 || c == 1500;
	keys[SDLK_d] = c == 900;
	keys[SDLK_ESCAPE] = c >= LAST_CYCLE;
	events[SDL_MOUSEMOTION] = c % 3 == 0;
}

// Every entity's place, motion, life and state, in list order.
std::string world() {
	std::ostringstream o;
	o << num_entities << " entities, camera " << env->cx << "," << env->cy << " gameover " << gameover << "\n";
	for (Entity *e = elist; e != nullptr; e = e->next) {
		o << e->id << " " << e->x << "," << e->y << " c" << e->xvc << "," << e->yvc << " v" << e->xvel << "," << e->yvel
		  << " life " << e->life << " fl " << e->flags << " " << e->getState() << ":" << e->curframe << "/"
		  << e->framectr << " age " << e->ctr;
		for (const IntTable::value_type &v : e->var) {
			o << " " << v.first << "=" << v.second;
		}
		o << "\n";
	}
	return o.str();
}

// Where two texts part: the first line that differs, in each.
std::string firstDifference(const std::string &played, const std::string &recorded) {
	std::istringstream x(played), y(recorded);
	std::string p, q;
	for (int line = 1; x || y; line++) {
		std::getline(x, p);
		std::getline(y, q);
		if (p != q) {
			return "line " + std::to_string(line) + ": \"" + p + "\" where the game had \"" + q + "\"";
		}
	}
	return "";
}

// What a game said and where it ended.
struct Outcome {
	std::string out, err, world;
};

// Plays the script in game from a fresh start-up, recorded; its run and outcome. Between two
// cycles none to two more frames are drawn, as a real window draws as the timer lets it.
Run recordScript(GameDir &game, Outcome &o, Progress &progress) {
	MessageCatcher err;
	Capture out(1);
	pollHooks.source = scriptPoll;
	beginRecording();
	game.start();
	drawPass(game.font);
	startProgress(progress);
	for (cycleNow = 0;; cycleNow++) {
		pollsInCycle = 0;
		cycles = 1;
		if (!loopPass(game.font)) {
			break;
		}
		for (int k = 0; k < cycleNow % 3; k++) {
			drawPass(game.font);
		}
		noteProgress(progress);
	}
	Run run = endRecording();
	pollHooks.source = nullptr;
	o = Outcome{scrubbed(out.finish()), err.text, world()};
	return run;
}

TEST(Replay, AScriptedGamePlayedBackSaysTheSameAndEndsInTheSameWorld) {
	GameDir game;
	Outcome recorded, played;
	Progress was, is;
	::Run run = recordScript(game, recorded, was);
	ASSERT_GE(run.cycles, 3000);
	EXPECT_GE(was.livesLost, 1);
	EXPECT_GT(run.polls, run.cycles + 300) << "the pause's polls are in the run";
	::Run again;
	std::string why;
	ASSERT_TRUE(decodeRun(encodeRun(run), again, why)) << why;
	game.stop();
	{
		MessageCatcher err;
		Capture out(1);
		EXPECT_EQ(playRun(again, "run", true, &is), RUN_PLAYED);
		played = Outcome{scrubbed(out.finish()), err.text, world()};
	}
	EXPECT_EQ(is.cycles, run.cycles);
	EXPECT_EQ(is.livesLost, was.livesLost);
	EXPECT_TRUE(played.out == recorded.out) << firstDifference(played.out, recorded.out);
	EXPECT_TRUE(played.err == recorded.err) << firstDifference(played.err, recorded.err);
	EXPECT_TRUE(played.world == recorded.world) << firstDifference(played.world, recorded.world);
	EXPECT_NE(recorded.out.find("\n  ID       Player\n"), std::string::npos) << "the full dump is in the output";
}

// A run of a few polls, its files and draws as given.
Run smallRun(const DataFiles &files) {
	::Run r;
	r.polls = 3;
	r.cycles = 2;
	r.files = files;
	r.draws = {7, 11};
	Uint8 zero[POLL_BYTES] = {}, poll[POLL_BYTES] = {};
	poll[SDLK_SPACE] = 1;
	appendChanges(r.steps, zero, poll);
	appendRepeat(r.steps, 3);
	return r;
}

TEST(Replay, DamagedAndHostileRunFilesAreRefusedWithAReason) {
	const std::string good = encodeRun(smallRun({{"data/entity.dat", 5}}));
	::Run r;
	// bytes with the digest that ends a run file, over them
	auto sealed = [](std::string bytes) {
		for (uint64_t d = dataDigest(bytes), i = 0; i < 8; i++) {
			bytes += (char)(d >> (8 * i));
		}
		return bytes;
	};
	auto with = [](void (*change)(::Run &)) {
		::Run bad = smallRun({});
		change(bad);
		return encodeRun(bad);
	};
	const struct {
		std::string bytes;
		const char *why;
	} cases[] = {
		{"", "not a run"},
		{"PK\3\4 a zip", "not a run"},
		{std::string("VRUN\2") + good.substr(5), "a run of version 2"},
		{good.substr(0, good.size() - 9), "damaged or cut short"},
		{good.substr(0, 5) + "x" + good.substr(6), "damaged or cut short"},
		{with([](::Run &b) { b.polls = b.cycles = 1000000000; }), "claims 1000000000 polls"},
		{with([](::Run &b) { b.cycles = 4; }), "more game cycles than polls"},
		{with([](::Run &b) { b.files[std::string(5000, 'a')] = 1; }), "claims 5000 bytes in a path"},
		{with([](::Run &b) { b.draws.assign(70000, 1); }), "claims 70000 draws"},
		{with([](::Run &b) { b.steps = std::string("\2\346\2\1\0\1\3", 7); }), "a change lies outside its poll"},
		{with([](::Run &b) { b.steps = std::string("\0\0", 2); }), "a step holds no poll"},
		{with([](::Run &b) { b.steps = std::string("\0\2", 2); }), "its steps hold 2 polls of 3"},
		{with([](::Run &b) { b.steps += std::string("\0\1", 2); }), "claims 1 polls, more than 0"},
		{sealed(good.substr(0, good.size() - 8) + "\1"), "it goes on past its polls"},
	};
	std::string why;
	ASSERT_TRUE(decodeRun(good, r, why)) << why;
	for (const auto &c : cases) {
		EXPECT_FALSE(decodeRun(c.bytes, r, why)) << c.why;
		EXPECT_NE(why.find(c.why), std::string::npos) << why << " for " << c.why;
	}
	TempDir dir;
	std::string big = dir.write("big.vrun", good);
	ASSERT_EQ(truncate(big.c_str(), 100L << 20), 0);
	EXPECT_FALSE(readRun(big, r, why));
	EXPECT_NE(why.find("larger than 16777216 bytes"), std::string::npos) << why;
}


TEST(Replay, ARunOnOtherDataIsRefusedNamingTheFileThatDiffers) {
	GameDir game;
	game.put("gfx/tank1.png", "another picture");
	ASSERT_EQ(chdir(game.dir.path.c_str()), 0);
	const struct {
		DataFiles files;
		const char *said;
	} cases[] = {
		{{{"gfx/shot.png", dataDigest(readFile("gfx/shot.png"))},
	      {"gfx/tank1.png", dataDigest(readFile(repoRoot() + "/gfx/tank1.png"))}},
	     "the run was played on other data: gfx/tank1.png differs"},
		{{{"gfx/gone.png", 5}}, "gfx/gone.png is missing"},
		{{{"data/entity.dat", NO_DATA_FILE}}, "data/entity.dat is there now, and was not"},
	};
	for (const auto &c : cases) {
		MessageCatcher err;
		EXPECT_EQ(playRun(smallRun(c.files), "run", true, nullptr), RUN_REFUSED) << c.said;
		EXPECT_NE(err.text.find(c.said), std::string::npos) << err.text;
	}
}

// The names in folder, one a line, in order.
std::string namesIn(const std::string &folder) {
	Capture out(1);
	EXPECT_EQ(system(("ls '" + folder + "'").c_str()), 0);
	return out.finish();
}

TEST(Replay, TheRunsFolderKeepsTheNewestFiftyOfItsOwnAndSaysOnceWhenItCannotBeHad) {
	TempDir state;
	setenv("XDG_STATE_HOME", state.path.c_str(), 1);
	const std::string folder = state.path + "/vorska/runs";
	state.write("vorska/runs/mine.vrun", "a run the player named");
	state.write("vorska/runs/2000-01-01-000000.vrun", "the oldest");
	std::string why;
	std::string first = keepRun("one", why);
	std::string second = keepRun("two", why);
	EXPECT_NE(first, second) << "two games in one second";
	EXPECT_EQ(readFile(first), "one");
	EXPECT_EQ(readFile(second), "two");
	EXPECT_EQ(first.compare(0, folder.size() + 1, folder + "/"), 0) << first;
	for (int i = 0; i < RUNS_KEPT; i++) {
		keepRun("more", why);
	}
	std::string names = namesIn(folder);
	EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), RUNS_KEPT + 1) << names;
	EXPECT_NE(names.find("mine.vrun"), std::string::npos);
	EXPECT_EQ(names.find("2000-01-01"), std::string::npos);
	EXPECT_NE(readFile(first), "one") << "the oldest of the game's runs goes first";
	setenv("XDG_STATE_HOME", state.write("a-file", "").c_str(), 1);
	{
		MessageCatcher err;
		recordGame();
		keepGameRun();
		EXPECT_EQ(err.text, "Runs are not saved: " + state.path + "/a-file/vorska: Not a directory\n");
	}
	setenv("XDG_STATE_HOME", "not/absolute", 1);
	std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
	setenv("HOME", state.at("home").c_str(), 1);
	EXPECT_EQ(keepRun("three", why).find(state.at("home/.local/state/vorska/runs/")), 0u);
	setenv("HOME", home.c_str(), 1);
	unsetenv("XDG_STATE_HOME");
}

}  // namespace
