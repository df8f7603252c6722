// Play-field: background loading, the camera and its clamping, drawing through the viewport.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "display/env.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// Checks screen pixels {x, y, 0xRRGGBB}.
static void expectScreen(const std::vector<std::vector<int>> &probes) {
	SDL_Surface *s = screen->bitmap;
	for (const std::vector<int> &p : probes) {
		Uint8 r, g, b;
		SDL_GetRGB(((Uint32 *)((Uint8 *)s->pixels + p[1] * s->pitch))[p[0]], s->format, &r, &g, &b);
		EXPECT_EQ(((Uint32)r << 16) | ((Uint32)g << 8) | b, (Uint32)p[2]) << p[0] << "," << p[1];
	}
}

// Blackens the whole screen and lifts any viewport clip.
static void clearScreen() {
	SDL_SetClipRect(screen->bitmap, nullptr);
	SDL_FillRect(screen->bitmap, nullptr, 0);
}

TEST(Env, LoadingTheCameraAndDrawing) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string tall = writeBmp(dir, "tall.bmp", 600, 1000, 0, 0, 255);
	std::string missing = dir.at("nope.png");
	Viewport v(screen, 175, 10, 450, 500);
	Env e(tall.c_str(), &v);
	ASSERT_NE(e.bg, nullptr);
	EXPECT_EQ(e.bg->format->BitsPerPixel, screen->bitmap->format->BitsPerPixel);
	EXPECT_EQ(e.xlen, 600);
	EXPECT_EQ(e.ylen, 1000);
	// {move x, move y, camera x, camera y}: the camera stays within 0..150 and 0..500
	const int moves[][4] = {{-50, -50, 0, 0}, {7, 9, 7, 9}, {100000, 100000, 150, 500}, {-10, -1, 140, 499}};
	for (const int *m : moves) {
		e.moveCamera(m[0], m[1]);
		EXPECT_EQ(e.cx, m[2]);
		EXPECT_EQ(e.cy, m[3]);
	}
	// setCamera takes anything; the next move brings it back.
	e.setCamera(-500, 99999);
	e.moveCamera(0, 0);
	EXPECT_EQ(e.cx, 0);
	EXPECT_EQ(e.cy, 500);
	// Without a viewport the camera does not move and nothing is drawn.
	Env loose(tall.c_str());
	loose.moveCamera(30, 40);
	EXPECT_EQ(loose.cx, 0);
	EXPECT_EQ(loose.cy, 0);

	// Mark world pixel (305, 507) so the camera offset shows on the screen.
	SDL_Rect mark = {305, 507, 1, 1};
	SDL_FillRect(e.bg, &mark, SDL_MapRGB(e.bg->format, 255, 0, 0));
	e.setCamera(300, 500);
	clearScreen();
	e.draw();
	loose.draw();
	// the background ends at world x 600, and nothing is drawn outside the viewport
	expectScreen({{180, 17, 0xFF0000}, {175, 10, 0xFF}, {474, 509, 0xFF}, {475, 10, 0},
	              {174, 10, 0}, {175, 9, 0}, {175, 510, 0}, {0, 0, 0}});

	// A new background takes its own size and leaves the camera alone; a smaller one than the
	// viewport pins the camera at a negative offset, against the far edges.
	Viewport full(screen, 0, 0, 800, 600);
	e.set(&full);
	e.load(writeBmp(dir, "small.bmp", 600, 400, 0, 255, 0).c_str());
	EXPECT_EQ(e.ylen, 400);
	EXPECT_EQ(e.cx, 300);
	e.moveCamera(-1000, -1000);
	EXPECT_EQ(e.cx, -200);
	EXPECT_EQ(e.cy, -200);
	clearScreen();
	e.draw();
	expectScreen({{199, 300, 0}, {200, 300, 0xFF00}, {300, 199, 0}, {799, 599, 0xFF00}});

	// A failed reload drops the background but keeps the world size; nothing is drawn.
	Capture err(2);
	e.load(missing.c_str());
	EXPECT_EQ(err.finish(), "Could not load Env background: " + missing + "\n");
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.ylen, 400);
	clearScreen();
	e.draw();
	expectScreen({{799, 599, 0}});
}

TEST(Env, LoadEnvOnlyAnnounces) {
	Capture out(1);
	Capture err(2);
	Env e("levels.dat", "Swamp");
	e.loadEnv(nullptr, "Swamp");
	e.loadEnv("levels.dat", nullptr);
	EXPECT_EQ(err.finish(), "Env::loadEnv  Null arguments\nEnv::loadEnv  Null arguments\n");
	EXPECT_EQ(out.finish(), "Env::loadEnv  Loading Swamp from levels.dat\n");
}
