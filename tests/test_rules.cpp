// The rules of play driven through the main loop where the golden trace does not go: pacing,
// quits, the top of the field, a player leaving the world, the movement accumulators at their
// limits, a field too small for the level, the pause's wait, and the real start-up's report.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include "tests/support/testsupport.h"
#include "entity/ef_def.h"

namespace {

// A world of 450 x 2000 with the level set up from the test templates.
struct Level : public ::testing::Test {
	GameWorld *w = nullptr;
	void SetUp() override {
		w = new GameWorld(testData("small.dat"), 450, 2000);
		setupLevel();
	}
	void TearDown() override { delete w; }
};

TEST_F(Level, PacingAndQuitsOnEscapeWindowCloseAndGameOver) {
	int cy = env->cy;
	w->key(SDLK_UP, true);
	cycles = 0;
	EXPECT_EQ(loopPass(&w->font), 1);
	EXPECT_EQ(env->cy, cy);  // no cycle: no scroll and no poll
	EXPECT_EQ(keys[SDLK_UP], 0);
	cycles = 7;
	EXPECT_EQ(loopPass(&w->font), 1);
	EXPECT_EQ(env->cy, cy - 1);  // several expiries still make one cycle
	EXPECT_EQ(cycles.load(), 0);
	w->key(SDLK_ESCAPE, true);
	EXPECT_EQ(w->cycle(), 0);
	EXPECT_EQ(env->cy, cy - 1);  // left in the middle of the cycle
	EXPECT_EQ(w->cycle(), 1);    // held, not newly pressed
	w->key(SDLK_ESCAPE, false);
	SDL_Event quit;
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
	player->life = 0;  // the close request quits even when the player is dead
	EXPECT_EQ(w->cycle(), 0);
	player->life = 1;
	EXPECT_EQ(w->cycle(), 1);
	gameover = 1;
	EXPECT_EQ(w->cycle(), 0);
}

TEST_F(Level, DeadPlayerHasNoKeys) {
	player->life = 0;
	w->key(SDLK_SPACE, true);
	w->key(SDLK_p, true);  // would wait forever if it paused
	Capture out(1);
	w->key(SDLK_e, true);
	EXPECT_EQ(w->cycle(), 1);
	EXPECT_EQ(out.finish(), "");
	EXPECT_EQ(player->slist, nullptr);
}

TEST_F(Level, TopOfTheFieldKillsEnemiesOnlyWhenThePlayerNeverFired) {
	Entity *b = loadEntity(ENTITY_FILE, "Bullet", env);
	b->x = 300;
	b->y = 100;
	player->var["SHOTSFIRED"] = 8;
	env->cy = 0;
	w->cycle();
	EXPECT_EQ(elist->next->getState(), "ROLL");  // a tank: the player fired
	player->var["SHOTSFIRED"] = 0;
	player->yvel = 500;
	env->cy = 1;
	w->cycle();
	EXPECT_EQ(env->cy, 0);
	EXPECT_EQ(player->yvel, 0);
	for (Entity *e = elist; e != nullptr; e = e->next) {
		EXPECT_EQ(e->getState(), e->group == "ENEMY" && e->type != "BULLET" ? "DEATH" : "FLY") << e->id;
	}
	for (int i = 0; i < 5; i++) {
		w->cycle();
	}
	EXPECT_EQ(num_entities, 2);  // the player and the bullet
}

TEST_F(Level, PlayerLeavingTheWorldEndsTheGameCleanly) {
	remEn(&elist, player);
	// until the cycle notices, behaviours treat the removed player as absent
	int before = num_entities;
	ef_fire_aimed(elist);
	ef_fire_linewave(elist);
	ef_player_gone(elist);
	ef_player_invuln_enter(elist);
	EXPECT_EQ(num_entities, before);
	EXPECT_EQ(elist->slist, nullptr);
	EXPECT_EQ(gameover, 0);
	EXPECT_EQ(w->cycle(), 1);  // that pass still draws
	EXPECT_EQ(player, nullptr);
	EXPECT_EQ(gameover, 1);
	EXPECT_EQ(w->cycle(), 0);
}

// The pixels of the overlay's "Fullscreen:" line, folded into one number.
static Uint32 fullScreenLine() {
	Uint32 sum = 0;
	for (int y = 80; y < 96; y++) {
		for (int x = 0; x < 140; x++) {
			sum = sum * 31 + ((Uint32 *)screen->bitmap->pixels)[y * screen->bitmap->pitch / 4 + x];
		}
	}
	return sum;
}

// F11 and Alt+Enter switch to full screen and back, once a press, in play and while the ship is
// down; a key held across the switch reads held while SDL lets it go, SDL's own key array and
// the picture survive a mode set anew, and the report and the overlay tell the mode.
TEST(FullScreen, F11AndAltEnterSwitchKeepingKeysAndPicture) {
	GameDir game;
	game.start();
	static std::string report;  // the video-mode reports
	MessageSink before =
		setMessageSink([](MessageStream to, const std::string &text) { report += to == MESSAGE_OUT ? text : ""; });
	auto cycle = [&game](int key, bool down) {
		game.keyboard[key] = down;
		cycles = 1;
		loopPass(game.font);
	};
	cycle(SDLK_LEFT, true);
	Uint32 windowed = fullScreenLine();
	((Uint32 *)screen->bitmap->pixels)[599 * screen->bitmap->pitch / 4 + 799] = 0xABCDEF;  // nothing draws there
	SDL_GetKeyState(nullptr)[SDLK_UP] = 1;
	int x0 = player->x;
	cycle(SDLK_F11, true);
	EXPECT_NE(screen->vidFlags & SDL_FULLSCREEN, 0);
	EXPECT_NE(fullScreenLine(), windowed);
	EXPECT_EQ(((Uint32 *)screen->bitmap->pixels)[599 * screen->bitmap->pitch / 4 + 799], 0xABCDEFu);
	EXPECT_EQ(SDL_GetKeyState(nullptr)[SDLK_UP], 1);
	cycle(SDLK_LEFT, false);  // as SDL lets it go while the focus moves; F11 still held
	EXPECT_EQ(player->x, x0 - 2 * PLAYER_STEP);
	cycle(SDLK_RETURN, true);  // Enter without Alt
	EXPECT_NE(screen->vidFlags & SDL_FULLSCREEN, 0);
	SDL_Delay(REFOCUS_HOLD_MS);
	game.keyboard[SDLK_F11] = 0;
	int x1 = player->x;
	cycle(SDLK_RETURN, false);
	EXPECT_EQ(player->x, x1);  // let go for good
	player->life = 0;
	SDL_SetModState(KMOD_LALT);
	cycle(SDLK_RETURN, true);
	EXPECT_EQ(screen->vidFlags & SDL_FULLSCREEN, 0);
	EXPECT_EQ(fullScreenLine(), windowed);
	setMessageSink(before);
	SDL_SetModState(KMOD_NONE);
	SDL_GetKeyState(nullptr)[SDLK_UP] = 0;
	auto told = [](const char *full) {
		return std::string("SDL video mode set \n  Resolution   : 800x600x32\n  Full-screen  : ") + full +
		       "\n  Screen memory: Software\n  Double buffer: No\n";
	};
	EXPECT_EQ(report, told("Yes") + told("No"));  // two switches, each told
}

// A switch SDL refuses is said, and the game plays on in its window. Classic SDL 1.2's dummy
// driver has no toggle, so the mode is set anew, and no OpenGL, so that mode is refused.
TEST(FullScreen, RefusedIsSaidAndThePlayGoesOn) {
	GameDir game;
	game.start();
	if (SDL_Linked_Version()->patch >= 50) {
		GTEST_SKIP() << "sdl12-compat toggles the dummy driver's window";
	}
	screen->vidFlags |= SDL_OPENGL;
	MessageCatcher err;
	EXPECT_EQ(screen->toggleFullScreen(), 0);
	EXPECT_EQ(err.text, "Screen::toggleFullScreen: full screen refused: OpenGL not available\n");
	EXPECT_EQ(screen->vidFlags & (SDL_FULLSCREEN | SDL_OPENGL), 0);
	EXPECT_EQ(game.play(5), 5);
}

// The accumulators spend whole thousands strictly beyond 1000, lose refused steps, stop a
// bounded entity at its edge at once and hold a free one far out, without overflowing.
TEST(MovementPass, AccumulatorsBoundsAndHugeVelocities) {
	GameWorld w(testData("small.dat"), 450, 2000);
	env->cy = 1000;
	Entity *e = loadEntity(ENTITY_FILE, "Tank", env);
	struct Row {
		int flags, x, y, xvel, yvel, xvc, yvc, wantX, wantY, wantXvc, wantYvc;
	};
	const int vpt = ENT_MOV_OOB_VPT, both = ENT_MOV_OOB_VPT | ENT_MOV_OOB_ENV;
	const Row rows[] = {
		{0, 100, 1100, 2500, 0, 0, 0, 102, 1100, 500, 0},
		{0, 100, 1100, 2500, 0, 500, 0, 102, 1100, 1000, 0},
		{0, 100, 1100, 2500, 0, 1000, 0, 103, 1100, 500, 0},
		{0, 100, 1100, 0, -1000, 0, 0, 100, 1100, 0, -1000},
		{0, 100, 1100, 0, -1000, 0, -1000, 100, 1099, 0, -1000},
		{0, 100, 1000, 0, -5000, 0, 0, 100, 1000, 0, -1000},  // the camera window stops it
		{both, 100, 2, 0, -5000, 0, 0, 100, -2, 0, -1000},
		{vpt, 100, 1100, 2000000000, 0, 0, 0, 450 - 32, 1100, 1000, 0},
		{vpt, 100, 1100, -2000000000, 0, 0, 0, 0, 1100, -1000, 0},
		{both, 0, 1100, 2000000000, 0, 0, 0, 1999999, 1100, 1000, 0},
		{both, (1 << 30) - 5, 1100, 2000000000, 0, 0, 0, 1 << 30, 1100, 1000, 0},
		{0, 100, 1100, 0, INT_MAX, 0, 0x7fffff00, 100, 1568, 0, 647},  // saturated, not wrapped
	};
	for (const Row &r : rows) {
		e->flags = r.flags;
		e->x = r.x;
		e->y = r.y;
		e->xvel = r.xvel;
		e->yvel = r.yvel;
		e->xvc = r.xvc;
		e->yvc = r.yvc;
		movementPass();
		EXPECT_EQ(std::vector<int>({e->x, e->y, e->xvc, e->yvc}),
		          std::vector<int>({r.wantX, r.wantY, r.wantXvc, r.wantYvc}))
			<< r.x << "," << r.y << " v " << r.xvel << "," << r.yvel;
	}
}

// The pause waits for the release of its own P, then for the release of the next P or Escape.
TEST(Pause, WaitEndsOnTheNextReleaseOfPOrEscape) {
	GameWorld w(testData("small.dat"), 450, 2000);
	// {key, down, wanted result}; phase 0 restarts the wait
	const int steps[][3] = {{SDLK_p, 1, 0}, {SDLK_p, 0, 0}, {SDLK_p, 0, 0}, {SDLK_p, 1, 0},      {SDLK_p, 0, 1},
	                        {-1, 0, 0},     {SDLK_p, 1, 0}, {SDLK_p, 0, 0}, {SDLK_ESCAPE, 1, 0}, {SDLK_ESCAPE, 0, 1}};
	int phase = 0;
	w.key(SDLK_p, true);
	poll_input();  // the cycle's poll that saw P pressed
	for (const int *s : steps) {
		if (s[0] < 0) {
			phase = 0;
			continue;
		}
		w.key(s[0], s[1]);
		poll_input();
		EXPECT_EQ(pauseStep(&phase), s[2]) << "key " << s[0] << " down " << s[1];
	}
}

// The game's own start-up: the report, the windows, and the templates read without a complaint.
TEST(StartUp, ReportsTheModeAndReadsTheGameDataCleanly) {
	GameDir game;
	Capture out(1);
	std::string err = game.start();
	std::string report = out.finish();
	EXPECT_EQ(report.substr(0, report.find("  Screen memory")),
	          "SDL video mode set \n  Resolution   : 800x600x32\n  Full-screen  : No\n");
	EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 5);
	Capture more(2);
	addEnD(ENTITY_FILE, "Shot");  // loaded by the first volley
	err += more.finish();
	for (const char *bad : {"Unrecognized", "Unknown", "Could not", "EOF", "Aborted", "FAILED", "has no"}) {
		EXPECT_EQ(err.find(bad), std::string::npos) << err;
	}
	EXPECT_EQ(screen->title + " " + screen->icon, "VORSKA gfx/logo.png");
	EXPECT_EQ(player->chkMove(player->x, player->y), 0);  // the ship starts inside the view
	for (const EntityData &d : edlist) {
		// entities start at a frame, and go on to states and frames that exist
		ASSERT_FALSE(d.states.empty() || d.states[0].frames.empty()) << d.id;
		for (const State &s : d.states) {
			bool next = s.loop >= 0 && (size_t)s.loop < s.frames.size();
			for (const State &t : d.states) {
				next = next || (s.loop < 0 && t.name == s.nextState);
			}
			EXPECT_TRUE(next) << d.id << " " << s.name;
		}
	}
}

}  // namespace
