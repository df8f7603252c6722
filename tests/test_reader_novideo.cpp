// Frames read while no video mode is set: the image loads but cannot be converted, and no crash.
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, ImagesCannotBeConvertedWithoutVideo) {
	ASSERT_EQ(nullptr, SDL_GetVideoSurface());
	std::string pic = writeBmp(dir, "p.bmp", 3, 3, 255, 0, 255);
	define("ENTITY A STATE S FRAME " + pic + " DELAY 2 END_FRAME END_STATE END_ENTITY");
	// first with video never started, then with video started but no mode set
	for (int started = 0; started < 2; started++) {
		ASSERT_EQ(0, started ? SDL_InitSubSystem(SDL_INIT_VIDEO) : 0);
		clearRegistry();
		EXPECT_EQ(loadingLine("A") + stateLine("S") + "EntityData::readFrame: Loading frame " + pic + "\n"
		          "EntityData::readFrame: DISPLAY FORMAT FAILED\n", load("A"));
		Frame &f = get("A").states.at(0).frames.at(0);
		EXPECT_EQ(pic, f.name);  // the path stays, the frame has no bitmap
		EXPECT_EQ(nullptr, f.bitmap);
		EXPECT_EQ(2, f.delay);
	}
	SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
