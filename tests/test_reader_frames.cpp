// State and frame sections: images, colour key, offsets, behaviours, loops and their messages.
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
	define("ENTITY A STATE MOVE FRAME " + red + " DELAY 4 XOFF 3 YOFF -2 END_FRAME "
	       "FRAME " + red + " END_FRAME END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state MOVE\n"
	          "EntityData::readFrame: Loading frame " + red + "\n"
	          "EntityData::readFrame: Loading frame " + red + "\n", load("A"));
	ASSERT_EQ(1u, get("A").states.size());
	State &s = get("A").states[0];
	ASSERT_EQ(2u, s.frames.size());
	Frame &f = s.frames[0];
	EXPECT_EQ(red, f.name);
	ASSERT_NE(nullptr, f.bitmap);
	EXPECT_EQ(6, f.bitmap->w);
	EXPECT_EQ(4, f.bitmap->h);
	EXPECT_EQ(0, f.xlen);  // no keyword sets the frame's own size
	EXPECT_EQ(0, f.ylen);
	EXPECT_EQ(4, f.delay);
	EXPECT_EQ(3, f.xoff);
	EXPECT_EQ(-2, f.yoff);
	// the screen's pixel format, with magenta as the transparent colour
	SDL_Surface *video = SDL_GetVideoSurface();
	EXPECT_EQ(video->format->BitsPerPixel, f.bitmap->format->BitsPerPixel);
	EXPECT_TRUE(f.bitmap->flags & SDL_SRCCOLORKEY);
	EXPECT_EQ(SDL_MapRGB(f.bitmap->format, 255, 0, 255), f.bitmap->format->colorkey);
	// every FRAME loads its own surface
	ASSERT_NE(nullptr, s.frames[1].bitmap);
	EXPECT_NE(f.bitmap, s.frames[1].bitmap);
}

TEST_F(FrameTest, FramesWithoutImage) {
	define("ENTITY A STATE S FRAME NONE END_FRAME FRAME NULL END_FRAME FRAME <none> END_FRAME "
	       "FRAME missing.png END_FRAME FRAME " + dir.path + " END_FRAME END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state S\n"
	          "EntityData::readFrame: Could not load image file <none>\n"
	          "EntityData::readFrame: Could not load image file missing.png\n"
	          "EntityData::readFrame: Could not load image file " + dir.path + "\n", load("A"));
	State &s = get("A").states[0];
	ASSERT_EQ(5u, s.frames.size());
	for (size_t i = 0; i < s.frames.size(); i++) {
		EXPECT_EQ("<none>", s.frames[i].name);
		EXPECT_EQ(nullptr, s.frames[i].bitmap);
	}
}

TEST_F(FrameTest, OffsetsAndBehaviours) {
	define("ENTITY A STATE S "
	       "FRAME NONE SOFF 5 XOFF 2 END_FRAME "
	       "FRAME NONE YOFF 1 OFF -7 DELAY 12x END_FRAME "
	       "FRAME NONE ENTER EF_ONE EXIT EF_TWO ENTER EF_BOGUS EXIT ef_two END_FRAME "
	       "END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state S\n"
	          "EntityData::readFrame: Unknown EF: EF_BOGUS\n"
	          "EntityData::readFrame: Unknown EF: ef_two\n", load("A"));
	State &s = get("A").states[0];
	ASSERT_EQ(3u, s.frames.size());
	EXPECT_EQ(2, s.frames[0].xoff);
	EXPECT_EQ(5, s.frames[0].yoff);
	EXPECT_EQ(-7, s.frames[1].xoff);
	EXPECT_EQ(-7, s.frames[1].yoff);
	EXPECT_EQ(12, s.frames[1].delay);
	EXPECT_EQ(nullptr, s.frames[0].enter);
	EXPECT_EQ(efOne, s.frames[2].enter);  // unknown names leave the field as it was
	EXPECT_EQ(efTwo, s.frames[2].exit);
}

TEST_F(FrameTest, UnrecognisedTokensAreReportedAndSkipped) {
	define("ENTITY A STATE S junk FRAME NONE DELAY 2 LOOP 3 Stuff END_FRAME NAME X LOOP 1 END_STATE END_ENTITY");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state S\n"
	          "EntityData::readState: Unrecognized token: junk\n"
	          "EntityData::readFrame: Unrecognized token: LOOP\n"
	          "EntityData::readFrame: Unrecognized token: 3\n"
	          "EntityData::readFrame: Unrecognized token: Stuff\n"
	          "EntityData::readState: Unrecognized token: NAME\n"
	          "EntityData::readState: Unrecognized token: X\n", load("A"));
	EXPECT_EQ("", get("A").name);
	State &s = get("A").states[0];
	EXPECT_EQ(1, s.loop);
	ASSERT_EQ(1u, s.frames.size());
	EXPECT_EQ(2, s.frames[0].delay);
}

TEST_F(FrameTest, LoopAndNextState) {
	define("ENTITY A "
	       "STATE EMPTY END_STATE "
	       "STATE GO NEXT_STATE DEATH FRAME NONE END_FRAME END_STATE "
	       "STATE BACK NEXT_STATE DEATH LOOP 2 END_STATE "
	       "STATE FWD LOOP 2 NEXT_STATE DEATH END_STATE "
	       "STATE ODD LOOP abc END_STATE "
	       "END_ENTITY");
	load("A");
	std::vector<State> &st = get("A").states;
	ASSERT_EQ(5u, st.size());
	EXPECT_EQ("EMPTY", st[0].name);
	EXPECT_TRUE(st[0].frames.empty());
	EXPECT_EQ(0, st[0].loop);
	EXPECT_EQ("", st[0].nextState);
	EXPECT_EQ(-1, st[1].loop);
	EXPECT_EQ("DEATH", st[1].nextState);
	EXPECT_EQ(1u, st[1].frames.size());
	EXPECT_EQ(2, st[2].loop);  // the later keyword decides; the name stays, without effect
	EXPECT_EQ("DEATH", st[2].nextState);
	EXPECT_EQ(-1, st[3].loop);
	EXPECT_EQ(0, st[4].loop);
}

TEST_F(FrameTest, TheExampleTankBlock) {
	std::string t1 = writeBmp(dir, "tank1.bmp", 32, 24, 0, 128, 0);
	std::string t2 = writeBmp(dir, "tank2.bmp", 32, 24, 0, 96, 0);
	std::string boom = writeBmp(dir, "boom.bmp", 40, 40, 255, 255, 0);
	define("ENTITY Bullet NAME Bullet STATE MOVE FRAME NONE END_FRAME END_STATE END_ENTITY\n"
	       "ENTITY Tank\n  NAME Tank\n  GROUP ENEMY\n  TYPE VEHICLE\n  IGNORE VEHICLE\n"
	       "  WIDTH 32 HEIGHT 24\n  LIFE 5 MAXLIFE 5 DAMAGE 1\n  FLAG ENT_DIE_OOB_ENV\n  VAR SHOTS 3\n"
	       "  USES Bullet\n  STATE MOVE\n"
	       "    FRAME " + t1 + " DELAY 4 ENTER EF_ONE END_FRAME\n"
	       "    FRAME " + t2 + " DELAY 4 SOFF -2 END_FRAME\n"
	       "    LOOP 0\n  END_STATE\n"
	       "  STATE DEATH FRAME " + boom + " DELAY 10 END_FRAME FRAME NONE ENTER EF_TWO END_FRAME END_STATE\n"
	       "END_ENTITY\n");
	int result = 0;
	EXPECT_EQ(loadingLine("Tank") + "EntityData::readEnD: Loading dependency EData Bullet\n" + loadingLine("Bullet") +
	          "EntityData::readState: Reading state MOVE\n"
	          "EntityData::readEnD: Returning to EData Tank\n"
	          "EntityData::readState: Reading state MOVE\n"
	          "EntityData::readFrame: Loading frame " + t1 + "\n"
	          "EntityData::readFrame: Loading frame " + t2 + "\n"
	          "EntityData::readState: Reading state DEATH\n"
	          "EntityData::readFrame: Loading frame " + boom + "\n", load("Tank", &result));
	EXPECT_EQ(1, result);
	EXPECT_EQ("Bullet Tank", registered());
	EntityData &t = get("Tank");
	EXPECT_EQ("Tank", t.name);
	EXPECT_EQ("ENEMY", t.group);
	EXPECT_EQ("VEHICLE", t.type);
	EXPECT_EQ((IntTable{{"VEHICLE", 1}}), t.ignore);
	EXPECT_EQ((IntTable{{"SHOTS", 3}}), t.var);
	EXPECT_EQ(32, t.w);
	EXPECT_EQ(24, t.h);
	EXPECT_EQ(5, t.life);
	EXPECT_EQ(5, t.maxlife);
	EXPECT_EQ(1, t.damage);
	EXPECT_EQ(12, t.flags);
	ASSERT_EQ(2u, t.states.size());
	EXPECT_EQ("MOVE", t.states[0].name);
	ASSERT_EQ(2u, t.states[0].frames.size());
	EXPECT_EQ(efOne, t.states[0].frames[0].enter);
	EXPECT_EQ(-2, t.states[0].frames[1].xoff);
	EXPECT_EQ(-2, t.states[0].frames[1].yoff);
	EXPECT_EQ(0, t.states[0].loop);
	EXPECT_EQ("DEATH", t.states[1].name);
	ASSERT_EQ(2u, t.states[1].frames.size());
	EXPECT_EQ(10, t.states[1].frames[0].delay);
	EXPECT_EQ(40, t.states[1].frames[0].bitmap->w);
	EXPECT_EQ(efTwo, t.states[1].frames[1].enter);
	EXPECT_EQ("<none>", t.states[1].frames[1].name);
}
