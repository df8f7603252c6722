// The real start-up with the game's own data, headless: the report, the viewports, the
// tables, the templates, the level, and a stretch of real play driven through the loop.
#include <gtest/gtest.h>
#include "tests/support/testsupport.h"
#include "game/vorska.h"

namespace {

Font *font = nullptr;
std::string report;
std::string messages;

// Starts the game once for all tests of this file.
class StartUp : public ::testing::Test {
protected:
	static void SetUpTestSuite() {
		Capture out(1);
		Capture err(2);
		font = startUp();
		report = out.finish();
		messages = err.finish();
	}
};

TEST_F(StartUp, ReportsTheVideoModeInFiveLines) {
	EXPECT_EQ(report.find("SDL video mode set \n  Resolution   : 800x600x32\n  Full-screen  : No\n"), 0u);
	EXPECT_NE(report.find("\n  Screen memory: "), std::string::npos);
	EXPECT_NE(report.find("\n  Double buffer: "), std::string::npos);
	int lines = 0;
	for (char c : report) {
		lines += (c == '\n');
	}
	EXPECT_EQ(lines, 5);
}

TEST_F(StartUp, BuildsTheScreenViewportsFieldAndFont) {
	ASSERT_NE(screen, nullptr);
	EXPECT_EQ(screen->title, "VORSKA");
	EXPECT_EQ(screen->icon, "gfx/logo.png");
	EXPECT_EQ(screen->SDLFlags, SDL_INIT_TIMER | SDL_INIT_VIDEO);
	EXPECT_EQ(vp->xp, 175);
	EXPECT_EQ(vp->yp, 0);
	EXPECT_EQ(vp->xlen, 450);
	EXPECT_EQ(vp->ylen, 600);
	EXPECT_EQ(debug->xp, 0);
	EXPECT_EQ(debug->xlen, 140);
	EXPECT_EQ(debug->ylen, 160);
	EXPECT_EQ(env->xlen, 450);
	EXPECT_GT(env->ylen, 5400);
	EXPECT_EQ(env->vp, vp);
	ASSERT_NE(font->bitmap, nullptr);
	EXPECT_EQ(font->charSize, 16);
	EXPECT_EQ(ent_flags_table.size(), 5u);
	EXPECT_EQ(ent_fun_table.size(), 12u);
}

TEST_F(StartUp, ReadsTheTemplatesCleanlyAndSetsUpTheLevel) {
	// Dependencies come first: the tank's bullets are registered before the tank.
	ASSERT_GE(edlist.size(), 4u);
	EXPECT_EQ(edlist[0].id, "Player");
	EXPECT_EQ(edlist[1].id, "Bullet");
	EXPECT_EQ(edlist[2].id, "Tank");
	EXPECT_EQ(edlist[3].id, "Helicopter");
	EXPECT_EQ(messages.find("Unrecognized"), std::string::npos) << messages;
	EXPECT_EQ(messages.find("Unknown"), std::string::npos) << messages;
	EXPECT_EQ(messages.find("Could not"), std::string::npos) << messages;
	EXPECT_EQ(num_entities, 183);
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(env->cy, env->ylen - 600);
	EXPECT_EQ(player->x, 225);
	EXPECT_EQ(player->y, env->cy + 600 - player->frame->bitmap->h);
	EXPECT_EQ(player->chkMove(player->x, player->y), 0);  // the ship starts inside the view
}

TEST_F(StartUp, PlaysAStretchOfTheLevel) {
	static Uint8 keyboard[NUM_KEYS];
	keyp = keyboard;
	keyboard[SDLK_SPACE] = 1;
	int cy = env->cy;
	Capture err(2);
	for (int i = 0; i < 600 && gameover == 0; i++) {
		keyboard[SDLK_LEFT] = (i / 40) % 2;
		keyboard[SDLK_RIGHT] = 1 - (i / 40) % 2;
		cycles = 1;
		ASSERT_EQ(loopPass(font), 1);
	}
	std::string text = err.finish();
	EXPECT_EQ(env->cy, cy - 600);
	EXPECT_GT(player->var["SHOTSFIRED"], 8 * 100);
	EXPECT_NE(getEData("Shot", edlist), nullptr);   // loaded on the first volley
	EXPECT_NE(text.find("Entity::loadEn: EData (Shot) not found, loading..."), std::string::npos);
	EXPECT_EQ(graveyardSize(), 0);
	keyp = SDL_GetKeyState(nullptr);
}

}  // namespace
