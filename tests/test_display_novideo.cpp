// Images that load but cannot be converted, because no video mode is set in this process:
// first with video never started, then with video started but no mode set.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "display/env.h"
#include "display/font.h"
#include "tests/support/testsupport.h"

// Loads a background and a complete font folder that exist and expects both conversions to fail.
static void expectNotConverted() {
	TempDir dir;
	std::string bmp = writeBmp(dir, "bg.bmp", 64, 48, 1, 2, 3);
	dir.write("f/font.ini", "32");
	dir.write("f/font.raw", std::string(32 * 32, '\7'));
	dir.write("f/font.dat", std::string(256, '\2'));
	Viewport v(nullptr, 0, 0, 32, 32);
	Capture err(2);
	Env e(bmp.c_str(), &v);
	Font f;
	EXPECT_EQ(f.loadFont(dir.at("f").c_str(), 1, 1, 1, 1, 1), 0);
	EXPECT_EQ(err.finish(), "Could not convert Env background: " + bmp + "\n"
	                        "Font::loadFont: Could not convert " + dir.at("f") + "/font.raw\n");
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.xlen, 0);
	EXPECT_EQ(f.bitmap, nullptr);
	EXPECT_EQ(f.widths, nullptr);
	// neither can be measured or drawn, and neither crashes trying
	EXPECT_EQ(f.strWidth("abc"), 0);
	f.printv(&v, 0, 0, "abc");
	f.messagev(&v, 1, 1, -1, -1, "abc");
	e.draw();
}

TEST(NoVideo, ConversionFails) {
	ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
	expectNotConverted();
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
	ASSERT_EQ(SDL_GetVideoSurface(), nullptr);
	expectNotConverted();
	SDL_Quit();
}
