// Frames read while no video mode is set: the image loads but cannot be converted.
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, ImagesCannotBeConvertedWithoutVideo) {
	ASSERT_EQ(nullptr, SDL_GetVideoSurface());
	std::string pic = writeBmp(dir, "p.bmp", 3, 3, 255, 0, 255);
	define("ENTITY A STATE S FRAME " + pic + " DELAY 2 END_FRAME END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state S\n"
	          "EntityData::readFrame: Loading frame " + pic + "\n"
	          "EntityData::readFrame: DISPLAY FORMAT FAILED\n", load("A"));
	ASSERT_EQ(1u, get("A").states.size());
	ASSERT_EQ(1u, get("A").states[0].frames.size());
	Frame &f = get("A").states[0].frames[0];
	EXPECT_EQ(pic, f.name);  // the path stays, the frame has no bitmap
	EXPECT_EQ(nullptr, f.bitmap);
	EXPECT_EQ(2, f.delay);

	// with SDL's video started but no mode set, the conversion fails the same way
	ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
	clearRegistry();
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state S\n"
	          "EntityData::readFrame: Loading frame " + pic + "\n"
	          "EntityData::readFrame: DISPLAY FORMAT FAILED\n", load("A"));
	EXPECT_EQ(nullptr, get("A").states[0].frames[0].bitmap);
	SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
