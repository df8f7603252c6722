// Play-field: background loading, the camera and its clamping, drawing through the viewport.
#include <gtest/gtest.h>
#include <string>
#include "display/env.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// The colour of a screen pixel packed as 0xRRGGBB.
static Uint32 screenRGB(int x, int y) {
	SDL_Surface *s = screen->bitmap;
	Uint32 *row = (Uint32 *)((Uint8 *)s->pixels + y * s->pitch);
	Uint8 r, g, b;
	SDL_GetRGB(row[x], s->format, &r, &g, &b);
	return ((Uint32)r << 16) | ((Uint32)g << 8) | b;
}

// Blackens the whole screen and lifts any viewport clip.
static void clearScreen() {
	SDL_SetClipRect(screen->bitmap, nullptr);
	SDL_FillRect(screen->bitmap, nullptr, 0);
}

TEST(Env, LoadsTheBackground) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string tall = writeBmp(dir, "tall.bmp", 600, 1000, 10, 20, 30);
	std::string small = writeBmp(dir, "small.bmp", 40, 30, 10, 20, 30);
	Viewport v(screen, 175, 0, 450, 600);

	Capture err(2);
	Env e(tall.c_str(), &v);
	EXPECT_EQ(err.finish(), "");
	ASSERT_NE(e.bg, nullptr);
	EXPECT_EQ(e.bg->format->BitsPerPixel, screen->bitmap->format->BitsPerPixel);
	EXPECT_EQ(e.xlen, 600);
	EXPECT_EQ(e.ylen, 1000);
	EXPECT_EQ(e.cx, 0);
	EXPECT_EQ(e.cy, 0);
	EXPECT_EQ(e.vp, &v);

	// A new background takes its own size and leaves the camera alone.
	e.setCamera(12, 34);
	e.load(small.c_str());
	EXPECT_EQ(e.xlen, 40);
	EXPECT_EQ(e.ylen, 30);
	EXPECT_EQ(e.cx, 12);
	EXPECT_EQ(e.cy, 34);

	// A null viewport keeps the one there is.
	e.set(nullptr);
	EXPECT_EQ(e.vp, &v);

	Env bare(small.c_str());
	EXPECT_NE(bare.bg, nullptr);
	EXPECT_EQ(bare.vp, nullptr);
}

TEST(Env, MissingBackground) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string missing = dir.at("nope.png");
	Viewport v(screen, 0, 0, 800, 600);

	Capture err(2);
	Env e(missing.c_str(), &v);
	EXPECT_EQ(err.finish(), "Could not load Env background: " + missing + "\n");
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.xlen, 0);
	EXPECT_EQ(e.ylen, 0);

	// Nothing drawn and nothing said.
	clearScreen();
	Capture out(1);
	Capture err2(2);
	e.draw();
	EXPECT_EQ(err2.finish(), "");
	EXPECT_EQ(out.finish(), "");
	EXPECT_EQ(screenRGB(0, 0), 0u);
	EXPECT_EQ(screenRGB(400, 300), 0u);

	// A failed reload drops the old background but keeps the world size.
	std::string good = writeBmp(dir, "good.bmp", 500, 700, 1, 2, 3);
	e.load(good.c_str());
	ASSERT_NE(e.bg, nullptr);
	Capture err3(2);
	e.load(missing.c_str());
	err3.finish();
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.xlen, 500);
	EXPECT_EQ(e.ylen, 700);
}

TEST(Env, CameraClamping) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string tall = writeBmp(dir, "tall.bmp", 600, 1000, 10, 20, 30);
	Viewport v(screen, 175, 0, 450, 600);
	Env e(tall.c_str(), &v);

	e.moveCamera(-50, -50);
	EXPECT_EQ(e.cx, 0);
	EXPECT_EQ(e.cy, 0);
	e.moveCamera(7, 9);
	EXPECT_EQ(e.cx, 7);
	EXPECT_EQ(e.cy, 9);
	e.moveCamera(100000, 100000);
	EXPECT_EQ(e.cx, 150);
	EXPECT_EQ(e.cy, 400);
	e.moveCamera(-10, -1);
	EXPECT_EQ(e.cx, 140);
	EXPECT_EQ(e.cy, 399);

	// setCamera takes anything; the next move brings it back.
	e.setCamera(-500, 99999);
	EXPECT_EQ(e.cx, -500);
	EXPECT_EQ(e.cy, 99999);
	e.moveCamera(0, 0);
	EXPECT_EQ(e.cx, 0);
	EXPECT_EQ(e.cy, 400);

	// Without a viewport the camera does not move.
	Env loose(tall.c_str());
	loose.moveCamera(30, 40);
	EXPECT_EQ(loose.cx, 0);
	EXPECT_EQ(loose.cy, 0);

	// A background smaller than the viewport pins the camera at a negative offset.
	std::string small = writeBmp(dir, "small.bmp", 600, 400, 10, 20, 30);
	Viewport full(screen, 0, 0, 800, 600);
	Env s(small.c_str(), &full);
	s.moveCamera(-1000, -1000);
	EXPECT_EQ(s.cx, -200);
	EXPECT_EQ(s.cy, -200);
	s.moveCamera(1000, 1000);
	EXPECT_EQ(s.cx, -200);
	EXPECT_EQ(s.cy, -200);
}

TEST(Env, DrawsTheCameraWindow) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string tall = writeBmp(dir, "tall.bmp", 600, 1000, 0, 0, 255);
	Viewport v(screen, 175, 10, 450, 500);
	Env e(tall.c_str(), &v);
	ASSERT_NE(e.bg, nullptr);
	// Mark world pixel (305, 507) so the camera offset shows on the screen.
	SDL_Rect mark = {305, 507, 1, 1};
	SDL_FillRect(e.bg, &mark, SDL_MapRGB(e.bg->format, 255, 0, 0));
	e.setCamera(300, 500);

	clearScreen();
	e.draw();
	EXPECT_EQ(screenRGB(175 + 5, 10 + 7), 0xFF0000u);
	EXPECT_EQ(screenRGB(175, 10), 0x0000FFu);
	EXPECT_EQ(screenRGB(175 + 299, 10 + 489), 0x0000FFu);
	// The background ends at world x 600: the rest of the viewport stays untouched.
	EXPECT_EQ(screenRGB(175 + 300, 10), 0u);
	// Nothing outside the viewport.
	EXPECT_EQ(screenRGB(174, 10), 0u);
	EXPECT_EQ(screenRGB(175, 9), 0u);
	EXPECT_EQ(screenRGB(175, 510), 0u);

	// A smaller background sits against the viewport's right and bottom edges.
	std::string small = writeBmp(dir, "small.bmp", 600, 400, 0, 255, 0);
	Viewport full(screen, 0, 0, 800, 600);
	Env s(small.c_str(), &full);
	s.moveCamera(0, 0);
	clearScreen();
	s.draw();
	EXPECT_EQ(screenRGB(199, 300), 0u);
	EXPECT_EQ(screenRGB(200, 300), 0x00FF00u);
	EXPECT_EQ(screenRGB(300, 199), 0u);
	EXPECT_EQ(screenRGB(799, 599), 0x00FF00u);
	EXPECT_EQ(screenRGB(100, 100), 0u);

	// Without a viewport nothing is drawn.
	Env loose(small.c_str());
	clearScreen();
	loose.draw();
	EXPECT_EQ(screenRGB(0, 0), 0u);
}

TEST(Env, LoadEnvOnlyAnnounces) {
	Capture out(1);
	Capture err(2);
	Env e("levels.dat", "Swamp");
	EXPECT_EQ(err.finish(), "");
	EXPECT_EQ(out.finish(), "Env::loadEnv  Loading Swamp from levels.dat\n");
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.xlen, 0);

	const char *none = nullptr;
	Capture out2(1);
	Capture err2(2);
	e.loadEnv(none, "Swamp");
	e.loadEnv("levels.dat", none);
	EXPECT_EQ(err2.finish(), "Env::loadEnv  Null arguments\nEnv::loadEnv  Null arguments\n");
	EXPECT_EQ(out2.finish(), "");
}
