// Pictures, backgrounds and fonts that load but cannot be converted, because this process
// sets no video mode: first with video never started, then started without a mode.
#include <gtest/gtest.h>
#include <cstdlib>
#include "tests/support/testsupport.h"

TEST(NoVideo, NothingIsConvertedAndNothingCrashes) {
	ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
	for (int started = 0; started < 2; started++) {
		if (started) {
			setenv("SDL_VIDEODRIVER", "dummy", 1);
			ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
		}
		TempDir dir;
		std::string bmp = writeBmp(dir, "bg.bmp", 64, 48, 1, 2, 3);
		dir.write("f/font.ini", "32");
		dir.write("f/font.raw", std::string(32 * 32, '\7'));
		dir.write("f/font.dat", std::string(256, '\2'));
		dir.write("e.dat", "ENTITY A STATE S FRAME " + bmp + " DELAY 2 END_FRAME END_STATE END_ENTITY");
		Viewport v(nullptr, 0, 0, 32, 32);
		Capture err(2);
		Env e(bmp.c_str(), &v);
		Font f;
		EXPECT_EQ(f.loadFont(dir.at("f").c_str(), 1, 1, 1, 1, 1), 0);
		EXPECT_EQ(addEnD(dir.at("e.dat"), "A"), 1);
		EXPECT_EQ(err.finish(),
		          "Could not convert Env background: " + bmp + "\nFont::loadFont: Could not convert " + dir.at("f") +
		              "/font.raw\nEntityData::loadEnD: Loading EData A\nEntityData::readState: Reading state S\n"
		              "EntityData::readFrame: Loading frame " +
		              bmp + "\nEntityData::readFrame: DISPLAY FORMAT FAILED\n");
		Frame &fr = edlist.at(0).states.at(0).frames.at(0);
		EXPECT_EQ(fr.name + " " + std::to_string(fr.delay), bmp + " 2");  // the path stays, without a bitmap
		EXPECT_TRUE(e.bg == nullptr && e.xlen == 0 && f.bitmap == nullptr && f.widths == nullptr &&
		            fr.bitmap == nullptr);
		EXPECT_EQ(f.strWidth("abc"), 0);
		f.printv(&v, 0, 0, "abc");
		f.messagev(&v, 1, 1, -1, -1, "abc");
		e.draw();
		clearWorld();
	}
	SDL_Quit();
}
