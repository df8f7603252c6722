// State and frame sections: images, colour key, offsets, behaviours, loops and their messages.
#include <vector>
#include "tests/test_reader_util.h"

static int efOne(void *) {
	return 1;
}

static int efTwo(void *) {
	return 2;
}

class FrameTest : public ReaderTest {
protected:
	void SetUp() override {
		ASSERT_NE(nullptr, headlessVideo());
		ReaderTest::SetUp();
		ent_fun_table["EF_ONE"] = efOne;
		ent_fun_table["EF_TWO"] = efTwo;
	}
};

TEST_F(FrameTest, ImagesAreLoadedKeyedAndConverted) {
	std::string red = writeBmp(dir, "red.bmp", 6, 4, 255, 0, 0);
	define("ENTITY A STATE MOVE FRAME " + red + " END_FRAME FRAME " + red + " END_FRAME "
	       "FRAME NONE END_FRAME FRAME NULL END_FRAME FRAME <none> END_FRAME "
	       "FRAME missing.png END_FRAME FRAME " + dir.path + " END_FRAME END_STATE END_ENTITY");
	std::string loading = "EntityData::readFrame: Loading frame " + red + "\n";
	EXPECT_EQ(loadingLine("A") + stateLine("MOVE") + loading + loading +
	          "EntityData::readFrame: Could not load image file <none>\n"
	          "EntityData::readFrame: Could not load image file missing.png\n"
	          "EntityData::readFrame: Could not load image file " + dir.path + " (not a regular file)\n", load("A"));
	State &s = get("A").states.at(0);
	ASSERT_EQ(7u, s.frames.size());
	Frame &f = s.frames[0];
	EXPECT_EQ(red, f.name);
	ASSERT_NE(nullptr, f.bitmap);
	EXPECT_EQ(6, f.bitmap->w);
	// the screen's pixel format, with magenta as the transparent colour
	EXPECT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, f.bitmap->format->BitsPerPixel);
	EXPECT_TRUE(f.bitmap->flags & SDL_SRCCOLORKEY);
	EXPECT_EQ(SDL_MapRGB(f.bitmap->format, 255, 0, 255), f.bitmap->format->colorkey);
	// the frames of one file share its surface
	EXPECT_EQ(f.bitmap, s.frames[1].bitmap);
	// a folder named as an image is refused before the image loader sees it
	for (size_t i = 2; i < s.frames.size(); i++) {
		EXPECT_EQ("<none>", s.frames[i].name);
		EXPECT_EQ(nullptr, s.frames[i].bitmap);
	}
}

TEST_F(FrameTest, OffsetsBehavioursLoopsAndUnknownTokens) {
	// for LOOP and NEXT_STATE the later keyword decides; NEXT_STATE's name stays, without effect
	define("ENTITY A STATE S junk "
	       "FRAME NONE SOFF 5 XOFF 2 LOOP 3 END_FRAME "
	       "FRAME NONE YOFF 1 OFF -7 DELAY 12x END_FRAME NAME X "
	       "FRAME NONE ENTER EF_ONE EXIT EF_TWO ENTER EF_BOGUS EXIT ef_two END_FRAME END_STATE "
	       "STATE GO NEXT_STATE DEATH END_STATE STATE BACK NEXT_STATE DEATH LOOP 2 END_STATE "
	       "STATE ODD LOOP abc END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + stateLine("S") +
	          "EntityData::readState: Unrecognized token: junk\n"
	          "EntityData::readFrame: Unrecognized token: LOOP\n"
	          "EntityData::readFrame: Unrecognized token: 3\n"
	          "EntityData::readState: Unrecognized token: NAME\n"
	          "EntityData::readState: Unrecognized token: X\n"
	          "EntityData::readFrame: Unknown EF: EF_BOGUS\n"
	          "EntityData::readFrame: Unknown EF: ef_two\n" + stateLine("GO") + stateLine("BACK") + stateLine("ODD"),
	          load("A"));
	EXPECT_EQ("", get("A").name);
	std::vector<State> &st = get("A").states;
	ASSERT_EQ(4u, st.size());
	EXPECT_EQ((std::vector<int>{0, -1, 2, 0}), (std::vector<int>{st[0].loop, st[1].loop, st[2].loop, st[3].loop}));
	EXPECT_EQ("DEATH DEATH", st[1].nextState + " " + st[2].nextState);
	std::vector<Frame> &f = st[0].frames;
	ASSERT_EQ(3u, f.size());
	EXPECT_EQ((std::vector<int>{2, 5, -7, -7, 12}), (std::vector<int>{f[0].xoff, f[0].yoff, f[1].xoff, f[1].yoff, f[1].delay}));
	EXPECT_EQ(nullptr, f[0].enter);
	EXPECT_EQ(efOne, f[2].enter);  // unknown names leave the field as it was
	EXPECT_EQ(efTwo, f[2].exit);
}
