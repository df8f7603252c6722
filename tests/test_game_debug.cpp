// The developer's keys, the pause's wait, the debug overlay and the debug boxes.
#include <gtest/gtest.h>
#include "tests/support/gameworld.h"

namespace {

// Reads the screen pixel at (x, y) as r, g, b.
void pixelAt(int x, int y, Uint8 *r, Uint8 *g, Uint8 *b) {
	SDL_Surface *s = screen->bitmap;
	Uint32 p = ((Uint32 *)s->pixels)[y * s->pitch / 4 + x];
	SDL_GetRGB(p, s->format, r, g, b);
}

struct Debug : public ::testing::Test {
	GameWorld *w = nullptr;
	void SetUp() override {
		w = new GameWorld(kTestEntities, 450, 2000);
		setupLevel();
	}
	void TearDown() override {
		SDL_SetModState(KMOD_NONE);
		delete w;
	}
	// Presses k for one cycle and releases it in the next.
	std::string tap(int k, SDLMod m, int fd) {
		SDL_SetModState(m);
		w->key(k, true);
		Capture out(fd);
		w->cycle();
		std::string text = out.finish();
		w->key(k, false);
		w->cycle();
		SDL_SetModState(KMOD_NONE);
		return text;
	}
};

TEST_F(Debug, ControlDTogglesTheDebugWord) {
	EXPECT_EQ(dbg, 4);
	std::string dump = tap(SDLK_d, KMOD_LCTRL, 1);
	EXPECT_EQ(dump, "");                  // the toggle dumps nothing
	EXPECT_EQ(dbg, 0);
	Uint8 r, g, b;
	pixelAt(5, 150, &r, &g, &b);          // the debug viewport was blanked
	EXPECT_EQ(r + g + b, 0);
	SDL_SetModState(KMOD_RCTRL);
	w->key(SDLK_d, true);
	w->cycle();
	EXPECT_EQ(dbg, 0xFFEF);               // every bit but 16, the marker still set
	w->key(SDLK_d, false);
	w->cycle();
	EXPECT_EQ(dbg, 0xFFE7);               // the next cycle clears the marker
}

TEST_F(Debug, EAndDDumpTheListsAtTheLevelShiftGives) {
	std::string brief = tap(SDLK_e, KMOD_NONE, 1);
	EXPECT_EQ(brief.find("Entities (183) -----\n"), 0u);
	EXPECT_NE(brief.find("Entity   0: "), std::string::npos);
	EXPECT_EQ(brief.find("ENTITY "), std::string::npos);
	std::string full = tap(SDLK_e, KMOD_LSHIFT, 1);
	EXPECT_NE(full.find("ENTITY Player"), std::string::npos);
	std::string data = tap(SDLK_d, KMOD_NONE, 1);
	EXPECT_EQ(data.find("Entity Data (  3) -----\nEntityData   0: Tank\n"), 0u);
	std::string dataFull = tap(SDLK_d, KMOD_RSHIFT, 1);
	EXPECT_NE(dataFull.find("ID Helicopter"), std::string::npos);
	std::string none = tap(SDLK_d, (SDLMod)(KMOD_LSHIFT | KMOD_LCTRL), 1);
	EXPECT_EQ(none, "");
}

TEST_F(Debug, DeadPlayerIgnoresTheDebugKeysAndThePause) {
	player->life = 0;
	std::string text = tap(SDLK_e, KMOD_NONE, 1);
	EXPECT_EQ(text, "");
	w->key(SDLK_p, true);
	EXPECT_EQ(w->cycle(), 1);             // would wait forever if it paused
}

TEST_F(Debug, OverlayAndBoxesAreDrawn) {
	w->cycle();
	Uint8 r, g, b;
	pixelAt(139, 159, &r, &g, &b);        // corner of the overlay: its background
	EXPECT_EQ(r, 0);
	EXPECT_EQ(g, 0);
	EXPECT_EQ(b, 100);
	dbg = 1;
	Entity *t = loadEntity(ENTITY_FILE, "Tank", env);
	t->x = 100;
	t->y = env->cy + 50;
	drawPass(&w->font);
	pixelAt(175 + 100, 50, &r, &g, &b);   // top-left corner of its hit box
	EXPECT_EQ(r, 250);
	EXPECT_EQ(g, 0);
	pixelAt(175 + 100 + 31, 50 + 31, &r, &g, &b);
	EXPECT_EQ(r, 250);
}

}  // namespace

// The pause waits for the release of its own P, then for the release of the next P or Escape.
TEST(Pause, WaitEndsOnTheNextReleaseOfPOrEscape) {
	GameWorld w(kTestEntities, 450, 2000);
	int phase = 0;
	auto poll = [&](int k, bool down) {
		w.key(k, down);
		poll_input();
		return pauseStep(&phase);
	};
	w.key(SDLK_p, true);
	poll_input();                          // the cycle's poll that saw P pressed
	EXPECT_EQ(poll(SDLK_p, true), 0);       // still held
	EXPECT_EQ(poll(SDLK_p, false), 0);      // its release only starts the wait
	EXPECT_EQ(poll(SDLK_p, false), 0);
	EXPECT_EQ(poll(SDLK_p, true), 0);       // the next press
	EXPECT_EQ(poll(SDLK_p, false), 1);      // and its release ends the pause
	phase = 0;
	EXPECT_EQ(poll(SDLK_p, true), 0);
	EXPECT_EQ(poll(SDLK_p, false), 0);
	EXPECT_EQ(poll(SDLK_ESCAPE, true), 0);
	EXPECT_EQ(poll(SDLK_ESCAPE, false), 1); // Escape's release ends it too
}
