// Bad data against the whole game: each case prepares a folder holding the game's files with
// one of them missing, cut short or broken, runs the real start-up there and then plays some
// game cycles. The game must report the problem and go on (or, without a player, end with
// status 1); the sanitizer build checks that nothing overflows, leaks or touches freed memory.
// The reader's and the font's own handling of these files is tested in their own files;
// broken definition files are in test_bad_definitions.cpp.
#include "tests/test_bad_data.h"

namespace {

// ---- files of the game missing or broken

TEST_F(BadData, MissingDefinitionFileEndsTheGameWithStatusOne) {
	drop("data/entity.dat");
	ASSERT_EQ(chdir(dir.path.c_str()), 0);
	EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(1), "Could not open entity file data/entity.dat");
}

TEST_F(BadData, MissingPlayerTemplateEndsTheGameWithStatusOne) {
	put("data/entity.dat", replaced(kTestEntities, "ENTITY Player", "ENTITY Pilot"));
	ASSERT_EQ(chdir(dir.path.c_str()), 0);
	EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(1), "Loading EData Player");
}

TEST_F(BadData, RandomBytesAsTheDefinitionFileEndTheGameWithStatusOne) {
	put("data/entity.dat", randomBytes(1 << 16, 7));
	ASSERT_EQ(chdir(dir.path.c_str()), 0);
	EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(1), "Loading EData Player");
}

TEST_F(BadData, OtherTemplatesMissingAreSkipped) {
	// Only the player: no tanks, no helicopter, and volleys whose shots cannot be made.
	std::string onlyPlayer = kTestEntities;
	onlyPlayer = onlyPlayer.substr(0, onlyPlayer.find("ENTITY Tank"));
	int played = 0;
	std::string text = startAndPlay(onlyPlayer, 300, &played);
	EXPECT_EQ(played, 300);
	EXPECT_TRUE(has(text, "Entity::initTo: Could not find EntityData: Tank"));
	EXPECT_TRUE(has(text, "Entity::initTo: Could not find EntityData: Helicopter"));
	EXPECT_TRUE(has(text, "Entity::spawn(): Player: Could not load data/entity.dat, ID Shot"));
	EXPECT_EQ(num_entities, 1);
	EXPECT_EQ(count("Player"), 1);
}

TEST_F(BadData, FrameImagesMissingOrCorrupt) {
	std::string png = original("gfx/player1.png");
	drop("gfx/bullet1.png");                                   // missing
	put("gfx/tank1.png", randomBytes(1000, 1));                // noise
	put("gfx/tank2.png", png.substr(0, png.size() / 2));       // cut short
	put("gfx/player1.png", "");                                // empty
	put("gfx/heli1.png", png.substr(0, 16) + randomBytes(400, 2));  // a PNG signature, then noise
	// A BMP header that promises a 30000 x 30000 picture and holds no pixels.
	std::string bmp = "BM" + std::string(12, '\0');
	std::string info(40, '\0');
	info[0] = 40;
	info[4] = (char)0x30; info[5] = (char)0x75;   // width 30000
	info[8] = (char)0x30; info[9] = (char)0x75;   // height 30000
	info[12] = 1;                                 // planes
	info[14] = 24;                                // bits per pixel
	put("gfx/heli2.png", bmp + info);
	drop("gfx/heli3.png");
	mkdir(dir.at("gfx/heli3.png").c_str(), 0755);  // a folder where a picture should be

	std::string text = startGame();
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/tank1.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/tank2.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/player1.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/heli1.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/heli2.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Could not load image file gfx/heli3.png"));
	EXPECT_TRUE(has(text, "EntityData::readFrame: Loading frame gfx/tank3.png"));
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(player->frame->bitmap, nullptr);  // its first frame lost its picture
	EXPECT_EQ(count("Tank"), 181);

	std::string more;
	int played = play(600, &more);
	EXPECT_GT(played, 0);
	EXPECT_TRUE(has(text + more, "Could not load image file gfx/bullet1.png"));
}

TEST_F(BadData, MissingBackgroundStillStartsAndPlays) {
	drop("gfx/ulose.png");
	std::string text = startGame();
	EXPECT_TRUE(has(text, "Could not load Env background: gfx/ulose.png"));
	EXPECT_TRUE(has(text, "setupLevel: field 0x0 is too small for random placement"));
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(env->xlen, 0);
	EXPECT_EQ(count("Tank"), 181);
	dbg = 0xFFEF;  // every debug drawing too
	EXPECT_EQ(play(400), 400);
	EXPECT_EQ(env->bg, nullptr);
}

TEST_F(BadData, CorruptBackgroundStillStartsAndPlays) {
	put("gfx/ulose.png", original("gfx/ulose.png").substr(0, 5000));
	std::string text = startGame();
	EXPECT_TRUE(has(text, "Could not load Env background: gfx/ulose.png"));
	EXPECT_EQ(play(200), 200);
}

// ---- the font folder

struct FontCase {
	const char *name;
	const char *file;     // the file changed
	const char *content;  // its new content, or null to take it away
	int loads;            // whether the font still loads
};

class BadFont : public BadData, public ::testing::WithParamInterface<FontCase> {};

TEST_P(BadFont, GameRunsWithTheOverlayOn) {
	const FontCase &c = GetParam();
	if (c.content == nullptr) {
		drop(c.file);
	} else {
		put(c.file, c.content);
	}
	std::string text = startGame();
	ASSERT_NE(font, nullptr);
	EXPECT_EQ(font->bitmap != nullptr, c.loads != 0) << text;
	if (c.content == nullptr) {
		EXPECT_TRUE(has(text, std::string("Cannot open font_sm/") + (c.file + 8))) << text;
	}
	dbg = 0xFFEF;  // the overlay and the boxes, drawn with this font in every pass
	EXPECT_EQ(play(150), 150);
	Uint32 white = SDL_MapRGB(screen->bitmap->format, 255, 255, 255);
	font->messagev(vp, white, white, -1, -1, "Paused");  // the pause's box
	EXPECT_GE(font->strWidth("%s", "Debug Info"), 0);
}

INSTANTIATE_TEST_SUITE_P(
	Files, BadFont,
	::testing::Values(
		FontCase{"IniMissing", "font_sm/font.ini", nullptr, 0},
		FontCase{"RawMissing", "font_sm/font.raw", nullptr, 0},
		FontCase{"DatMissing", "font_sm/font.dat", nullptr, 1},
		FontCase{"IniEmpty", "font_sm/font.ini", "", 0},
		FontCase{"IniNotANumber", "font_sm/font.ini", "sixteen\n", 0},
		FontCase{"IniHuge", "font_sm/font.ini", "2147483647\n", 0},
		FontCase{"IniNegative", "font_sm/font.ini", "-256\n", 0},
		FontCase{"RawShort", "font_sm/font.raw", "\x01\x02\x03", 1},
		FontCase{"DatShort", "font_sm/font.dat", "\x08\x08", 1}),
	[](const ::testing::TestParamInfo<FontCase> &info) { return std::string(info.param.name); });

}  // namespace
