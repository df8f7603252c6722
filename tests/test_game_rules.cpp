// The rules of play driven through the main loop: pacing, quits, firing, steering, the end
// of the field, the movement accumulators, and the draw pass's removals.
#include <gtest/gtest.h>
#include "tests/support/gameworld.h"
#include "entity/ef_def.h"

namespace {

// A world of 450 x 2000 with the level set up from the test templates.
struct Level : public ::testing::Test {
	GameWorld *w = nullptr;
	void SetUp() override {
		w = new GameWorld(kTestEntities, 450, 2000);
		setupLevel();
	}
	void TearDown() override { delete w; }
};

int countNamed(const std::string &name) {
	int n = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		n += (e->name == name);
	}
	return n;
}

TEST_F(Level, SetUpPlacesTheLevelAndTheCamera) {
	EXPECT_EQ(countNamed("Tank"), 181);
	EXPECT_EQ(countNamed("Helicopter"), 1);
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(num_entities, 183);
	EXPECT_EQ(env->cy, 2000 - 600);
	EXPECT_EQ(player->x, 225);
	EXPECT_EQ(player->y, env->cy + 600);  // no bitmap: height 0
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->name == "Tank" && !(e->x == 120 && e->y == 2700)) {
			EXPECT_GE(e->x, 0);
			EXPECT_LT(e->x, 225);
			EXPECT_GE(e->y, 0);
			EXPECT_LT(e->y, 2000 - 640);
			EXPECT_LT(e->framectr, 39);
		}
	}
}

TEST_F(Level, PacingRunsOneCycleOnlyWhenDue) {
	int cy = env->cy;
	w->key(SDLK_UP, true);
	cycles = 0;
	EXPECT_EQ(loopPass(&w->font), 1);
	EXPECT_EQ(env->cy, cy);        // no cycle: no scroll
	EXPECT_EQ(keys[SDLK_UP], 0);    // and no poll
	cycles = 7;
	EXPECT_EQ(loopPass(&w->font), 1);
	EXPECT_EQ(env->cy, cy - 1);    // several expiries still make one cycle
	EXPECT_EQ(cycles.load(), 0);
	EXPECT_EQ(keys[SDLK_UP], 1);
}

TEST_F(Level, QuitsOnEscapeWindowCloseAndGameOver) {
	w->key(SDLK_ESCAPE, true);
	int cy = env->cy;
	EXPECT_EQ(w->cycle(), 0);
	EXPECT_EQ(env->cy, cy);        // left in the middle of the cycle
	// held, not newly pressed: no quit
	EXPECT_EQ(w->cycle(), 1);
	w->key(SDLK_ESCAPE, false);
	SDL_Event quit;
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
	player->life = 0;              // the close request quits even when the player is dead
	EXPECT_EQ(w->cycle(), 0);
	player->life = 1;
	EXPECT_EQ(w->cycle(), 1);
	gameover = 1;
	EXPECT_EQ(w->cycle(), 0);
}

TEST_F(Level, SpaceFiresVolleysOnPressReleaseAndEveryFourthCycle) {
	w->cycle();                    // player ctr 1 afterwards
	int before = countNamed("Shot");
	w->key(SDLK_SPACE, true);
	w->cycle();                    // newly pressed: one volley, released in the same cycle
	EXPECT_EQ(countNamed("Shot"), before + 3);
	EXPECT_EQ(player->var["SHOTSFIRED"], 8);
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->name == "Shot") {
			EXPECT_EQ(e->yvel, -20000);
		}
	}
	w->key(SDLK_SPACE, false);
	w->cycle();                    // just released: one more
	EXPECT_EQ(player->var["SHOTSFIRED"], 16);
	// Held: fires on the cycles where the player's age is a multiple of 4.
	w->key(SDLK_SPACE, true);
	int volleys = 0;
	for (int i = 0; i < 12; i++) {
		int age = player->ctr;
		int fired = player->var["SHOTSFIRED"];
		w->cycle();
		bool pressed = (i == 0);
		if (player->var["SHOTSFIRED"] != fired) {
			volleys++;
			EXPECT_TRUE(pressed || (age & 3) == 0);
		} else {
			EXPECT_FALSE((age & 3) == 0);
		}
	}
	EXPECT_GE(volleys, 3);
}

TEST_F(Level, ArrowsMoveByFourInsideTheCameraWindow) {
	int x = player->x;
	player->y = env->cy + 600 - 30;   // box resting on the bottom edge of the view
	int y = player->y;
	w->key(SDLK_LEFT, true);
	w->key(SDLK_DOWN, true);
	w->cycle();
	EXPECT_EQ(player->x, x - 4);
	EXPECT_EQ(player->y, y);          // cannot step below the view
	w->key(SDLK_LEFT, false);
	w->key(SDLK_DOWN, false);
	w->key(SDLK_UP, true);
	w->cycle();
	EXPECT_EQ(player->y, y - 4);
	// Up and down together cancel out when both steps are allowed.
	player->y = env->cy + 300;
	w->key(SDLK_DOWN, true);
	int y2 = player->y;
	w->cycle();
	EXPECT_EQ(player->y, y2);
	// With Shift the arrows pan the camera instead.
	w->key(SDLK_DOWN, false);
	SDL_SetModState(KMOD_LSHIFT);
	int cy = env->cy;
	int px = player->x;
	w->key(SDLK_UP, false);
	w->key(SDLK_RIGHT, true);
	w->cycle();
	EXPECT_EQ(player->x, px);
	EXPECT_EQ(env->cx, 0);            // field is exactly as wide as the view
	EXPECT_EQ(env->cy, cy - 1);
	SDL_SetModState(KMOD_NONE);
}

TEST_F(Level, TopOfTheFieldKillsEnemiesOnlyWhenThePlayerNeverFired) {
	env->cy = 1;
	player->yvel = 500;
	w->cycle();
	EXPECT_EQ(env->cy, 0);
	EXPECT_EQ(player->yvel, 0);
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->group == "ENEMY") {
			EXPECT_EQ(e->state->name, "DEATH");
		}
	}
	// Their death animations remove them within a few cycles.
	for (int i = 0; i < 5; i++) {
		w->cycle();
	}
	EXPECT_EQ(countNamed("Tank"), 0);
	EXPECT_EQ(num_entities, 1);
}

TEST_F(Level, TopOfTheFieldSparesEnemiesOfAPlayerWhoFired) {
	player->var["SHOTSFIRED"] = 8;
	env->cy = 0;
	w->cycle();
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->name == "Tank") {
			EXPECT_NE(e->state->name, "DEATH");
		}
	}
}

TEST_F(Level, PlayerLeavingTheWorldEndsTheGameCleanly) {
	remEn(&elist, player);
	// Until the cycle notices, behaviours treat the removed player as absent.
	int before = num_entities;
	ef_fire_aimed(elist);
	ef_fire_linewave(elist);
	ef_player_gone(elist);
	EXPECT_EQ(num_entities, before);
	EXPECT_EQ(elist->slist, nullptr);
	EXPECT_EQ(gameover, 0);
	EXPECT_EQ(w->cycle(), 1);         // that pass still draws
	EXPECT_EQ(player, nullptr);
	EXPECT_EQ(gameover, 1);
	EXPECT_EQ(w->cycle(), 0);
}

}  // namespace

// Movement accumulators with strict comparisons, and the bounds flags of the pass.
TEST(MovementPass, AccumulatorsAndBounds) {
	GameWorld w(kTestEntities, 450, 2000);
	env->cy = 1000;
	Entity *e = loadEntity(ENTITY_FILE, "Tank", env);
	ASSERT_NE(e, nullptr);
	e->x = 100;
	e->y = 1100;
	e->xvel = 2500;
	int steps[3];
	for (int i = 0; i < 3; i++) {
		int x = e->x;
		movementPass();
		steps[i] = e->x - x;
	}
	EXPECT_EQ(steps[0], 2);
	EXPECT_EQ(steps[1], 2);
	EXPECT_EQ(steps[2], 3);
	// -1000 moves from the second cycle on.
	e->xvel = 0;
	e->xvc = 0;
	e->yvel = -1000;
	int y = e->y;
	movementPass();
	EXPECT_EQ(e->y, y);
	movementPass();
	EXPECT_EQ(e->y, y - 1);
	// Without MOV_OOB flags the camera window stops it; blocked steps are lost.
	e->flags = 0;
	e->y = 1000;
	e->yvel = -5000;
	e->yvc = 0;
	movementPass();
	EXPECT_EQ(e->y, 1000);
	EXPECT_EQ(e->yvc, -1000);  // four steps refused and lost; the strict test keeps -1000
	// With both flags it leaves the field.
	e->flags = ENT_MOV_OOB_VPT | ENT_MOV_OOB_ENV;
	e->y = 2;
	e->yvc = 0;
	movementPass();
	EXPECT_EQ(e->y, -2);
	// Huge velocities do not overflow the accumulator.
	e->yvel = 0x7fffffff;
	e->yvc = 0x7fffff00;
	e->flags = 0;
	e->x = 100;
	e->y = 1100;
	movementPass();
	EXPECT_GT(e->yvc, 0);
}

// Entities flagged to die outside the view are removed by the draw pass, and only they.
TEST(DrawPass, RemovesEntitiesThatLeftTheView) {
	GameWorld w(kTestEntities, 450, 2000);
	env->cy = 1000;
	Entity *in = loadEntity(ENTITY_FILE, "Shot", env);
	Entity *out = loadEntity(ENTITY_FILE, "Shot", env);
	Entity *tank = loadEntity(ENTITY_FILE, "Tank", env);
	in->x = 10;
	in->y = 1010;
	out->x = 10;
	out->y = 990;
	tank->x = 10;
	tank->y = 10;
	dbg = 0xFFEF;
	drawPass(&w.font);
	EXPECT_EQ(num_entities, 2);
	int n = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		n++;
		EXPECT_NE(e, out);
	}
	EXPECT_EQ(n, 2);
}

// The random placement never divides by zero on a tiny field.
TEST(SetUp, TinyFieldPlacesTanksAtTheOrigin) {
	GameWorld w(kTestEntities, 1, 100);
	Capture err(2);
	setupLevel();
	std::string text = err.finish();
	EXPECT_NE(text.find("too small"), std::string::npos);
	ASSERT_NE(player, nullptr);
	int tanks = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->name == "Tank" && e->y != 2700) {
			EXPECT_EQ(e->x, 0);
			EXPECT_EQ(e->y, 0);
			tanks++;
		}
	}
	EXPECT_EQ(tanks, 180);
}
