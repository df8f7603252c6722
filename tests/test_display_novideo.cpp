// Images that load but cannot be converted, because no video mode is set in this process:
// first with video never started, then with video started but no mode set.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "display/env.h"
#include "display/font.h"
#include "tests/support/testsupport.h"

// Loads a background that exists and expects the conversion failure.
static void expectEnvNotConverted() {
	TempDir dir;
	std::string bmp = writeBmp(dir, "bg.bmp", 64, 48, 1, 2, 3);
	Viewport v(nullptr, 0, 0, 32, 32);

	Capture err(2);
	Env e(bmp.c_str(), &v);
	EXPECT_EQ(err.finish(), "Could not convert Env background: " + bmp + "\n");
	EXPECT_EQ(e.bg, nullptr);
	EXPECT_EQ(e.xlen, 0);
	EXPECT_EQ(e.ylen, 0);
	e.draw();
}

// Loads a complete font folder and expects the conversion failure.
static void expectFontNotConverted() {
	TempDir dir;
	dir.write("f/font.ini", "32");
	dir.write("f/font.raw", std::string(32 * 32, '\7'));
	dir.write("f/font.dat", std::string(256, '\2'));

	Capture err(2);
	Font f;
	EXPECT_EQ(f.loadFont(dir.at("f").c_str(), 1, 1, 1, 1, 1), 0);
	EXPECT_EQ(err.finish(), "Font::loadFont: Could not convert " + dir.at("f") + "/font.raw\n");
	EXPECT_EQ(f.bitmap, nullptr);
	EXPECT_EQ(f.widths, nullptr);
	EXPECT_EQ(f.strWidth("abc"), 0);
}

TEST(NoVideo, ConversionFailsBeforeVideoStarts) {
	ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
	expectEnvNotConverted();
	expectFontNotConverted();
}

TEST(NoVideo, ConversionFailsWithoutAMode) {
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
	ASSERT_EQ(SDL_GetVideoSurface(), nullptr);
	expectEnvNotConverted();
	expectFontNotConverted();
	SDL_Quit();
}
