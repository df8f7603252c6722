// Bad data against the whole game: each case prepares a folder holding the game's files with
// one of them missing, cut short or broken, runs the real start-up there and plays. The game
// must report the problem and go on (or, without a player, end with status 1); the sanitizer
// build checks that nothing overflows, leaks or touches freed memory.
#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include "tests/support/testsupport.h"

namespace {

// Seeded random bytes.
std::string noise(size_t n, unsigned seed) {
	std::mt19937 rng(seed);
	std::string s(n, '\0');
	for (char &c : s) {
		c = (char)(rng() & 0xff);
	}
	return s;
}

// The test templates with every number at the ends of the int range (the reader saturates them).
std::string hugeNumbers(const std::string &lives) {
	const std::string big = "99999999999", small = "-99999999999";
	std::string dat = replaced(testData("small.dat"), "VAR LIVES 2 PRIORITY 5",
	                           "VAR LIVES " + lives + " VAR SHOTSFIRED " + big + " PRIORITY " + big);
	dat = replaced(dat, "WIDTH 32 HEIGHT 32 LIFE 3 MAXLIFE 3 DAMAGE 1",
	               "WIDTH " + big + " HEIGHT " + big + " XVEL " + big + " YVEL " + small + " LIFE " + small +
	                   " MAXLIFE " + big + " DAMAGE " + big + " PRIORITY " + small);
	dat = replaced(dat, "STATE ROLL FRAME NONE DELAY 40 END_FRAME",
	               "STATE ROLL FRAME NONE DELAY 1 XOFF " + big + " YOFF " + small +
	                   " ENTER EF_FIRE_LEAD EXIT EF_FIRE_LINEWAVE END_FRAME FRAME NONE DELAY 1 ENTER "
	                   "EF_FIRE_SPREAD EXIT EF_FIRE_LINE END_FRAME");
	dat = replaced(dat, "STATE FLY FRAME NONE DELAY 40 END_FRAME", "STATE FLY FRAME NONE DELAY " + big + " END_FRAME");
	dat = replaced(dat, "ENTITY Player NAME Player", "ENTITY Player XVEL " + big + " YVEL " + small + " NAME Player");
	dat = replaced(dat, "WIDTH 64 HEIGHT 64 LIFE 20",
	               "WIDTH " + small + " HEIGHT " + small + " LIFE " + big + " DAMAGE " + small + " XVEL " + small +
	                   " YVEL " + big);
	return replaced(dat, "WIDTH 4 HEIGHT 12 DAMAGE 1", "WIDTH 4 HEIGHT 12 DAMAGE " + big + " XVEL " + big);
}

// A BMP header that promises a 30000 x 30000 picture and holds no pixels.
std::string hugeBmp() {
	std::string info(40, '\0');
	info[0] = 40;
	info[4] = info[8] = (char)0x30;
	info[5] = info[9] = (char)0x75;
	info[12] = 1;
	info[14] = 24;
	return "BM" + std::string(12, '\0') + info;
}

struct BadCase {
	const char *name;
	std::function<void(GameDir &)> prepare;
	int cycles;                     // cycles to play; all must be played unless `ends`
	bool ends;                      // the game may end before
	std::vector<std::string> says;  // in what the start-up and the play wrote to stderr
	std::function<void(GameDir &)> check;
};

std::string original(const std::string &name) {
	return readFile(repoRoot() + "/" + name);
}

const std::vector<BadCase> BAD_CASES = {
	{"OnlyThePlayer",
     [](GameDir &g) {
		 std::string dat = testData("small.dat");
		 g.put("data/entity.dat", dat.substr(0, dat.find("ENTITY Tank")));
	 },
     300,
     false,
     {"Entity::initTo: Could not find EntityData: Tank", "Entity::initTo: Could not find EntityData: Helicopter",
      "Entity::spawn(): Player: Could not load data/entity.dat, ID Shot"},
     [](GameDir &g) { EXPECT_EQ(num_entities + g.count("Player"), 2); }},
	{"FrameImagesMissingOrCorrupt",
     [](GameDir &g) {
		 std::string png = original("gfx/player1.png");
		 g.drop("gfx/bullet1.png");
		 g.put("gfx/tank1.png", noise(1000, 1));
		 g.put("gfx/tank2.png", png.substr(0, png.size() / 2));
		 g.put("gfx/player1.png", "");
		 g.put("gfx/heli1.png", png.substr(0, 16) + noise(400, 2));
		 g.put("gfx/heli2.png", hugeBmp());
		 g.drop("gfx/heli3.png");
		 mkdir(g.dir.at("gfx/heli3.png").c_str(), 0755);  // a folder where a picture should be
	 },
     600,
     true,
     {"Could not load image file gfx/tank1.png", "Could not load image file gfx/tank2.png",
      "Could not load image file gfx/player1.png", "Could not load image file gfx/heli1.png",
      "Could not load image file gfx/heli2.png", "Could not load image file gfx/heli3.png",
      "Loading frame gfx/tank3.png", "Could not load image file gfx/bullet1.png"},
     [](GameDir &g) { EXPECT_EQ(g.count("Tank") > 100, true); }},
	{"MissingBackground",
     [](GameDir &g) {
		 g.drop("gfx/ulose.png");
		 dbg = 0xFFEF;
	 },
     400,
     false,
     {"Could not load Env background: gfx/ulose.png", "setupLevel: field 0x0 is too small for random placement"},
     [](GameDir &) { EXPECT_EQ(env->xlen + (env->bg != nullptr), 0); }},
	{"UsesCycle",
     [](GameDir &g) {
		 std::string dat =
			 replaced(testData("small.dat"), "ENTITY Player NAME Player", "ENTITY Player USES Tank NAME Player");
		 dat = replaced(dat, "ENTITY Tank NAME Tank", "ENTITY Tank USES Helicopter NAME Tank");
		 g.put("data/entity.dat",
	           replaced(dat, "ENTITY Helicopter NAME Helicopter", "ENTITY Helicopter USES Player NAME Helicopter"));
	 },
     200,
     true,
     {},
     [](GameDir &g) { EXPECT_EQ(edlist.size() * 1000 + (g.count("Tank") > 100), 4001u); }},
	{"StatesWithoutFrames",
     [](GameDir &g) {
		 // the player's first state and the tanks' death have no frames
		 std::string dat =
			 replaced(testData("small.dat"), "STATE FLY FRAME NONE DELAY 5 END_FRAME END_STATE", "STATE FLY END_STATE");
		 g.put("data/entity.dat", replaced(dat,
	                                       "STATE DEATH FRAME NONE DELAY 2 ENTER EF_NOHIT END_FRAME FRAME NONE "
	                                       "ENTER EF_DIE END_FRAME END_STATE",
	                                       "STATE DEATH END_STATE"));
	 },
     400,
     false,
     {"Entity::addAnimPhase: Player: No current frame"},
     [](GameDir &) { EXPECT_EQ(player->frame, nullptr); }},
	{"NextStateMissingAndLoopBeyondTheFrames",
     [](GameDir &g) {
		 std::string dat = replaced(testData("small.dat"), "STATE ROLL FRAME NONE DELAY 40 END_FRAME END_STATE",
	                                "STATE ROLL FRAME NONE DELAY 1 END_FRAME FRAME NONE DELAY 1 END_FRAME "
	                                "NEXT_STATE NOWHERE END_STATE");
		 dat = replaced(dat, "STATE FLY FRAME NONE DELAY 40 END_FRAME END_STATE",
	                    "STATE FLY FRAME NONE DELAY 1 END_FRAME LOOP 99 END_STATE");
		 g.put("data/entity.dat", replaced(dat, "STATE FLY FRAME NONE END_FRAME END_STATE",
	                                       "STATE FLY FRAME NONE END_FRAME LOOP -7 END_STATE"));
	 },
     300,
     true,
     {"Entity::setState: Tank has no \"NOWHERE\" state", "Entity::setFrame: FLY does not have a frame #99"},
     nullptr},
	{"VarWithoutNumber",
     [](GameDir &g) { g.put("data/entity.dat", replaced(testData("small.dat"), "VAR LIVES 2", "VAR LIVES two")); },
     300,
     true,
     {"EntityData::readEnD: EOF encountered"},
     nullptr},
	{"NumbersBeyondThirtyTwoBits",
     [](GameDir &g) {
		 g.put("data/entity.dat", hugeNumbers("99999999999"));
		 dbg = 0xFFEF;
	 },
     300,
     false,
     {},
     [](GameDir &) { EXPECT_EQ(player->var["SHOTSFIRED"], INT_MAX); }},
	{"FewestLives",
     [](GameDir &g) { g.put("data/entity.dat", hugeNumbers("-99999999999")); },
     3000,
     true,
     {},
     [](GameDir &) { EXPECT_NE(gameover, 0); }},
	{"NoiseAroundTheBlocks",
     [](GameDir &g) {
		 g.put("data/entity.dat",
	           replaced(original("data/entity.dat"), "ENTITY Tank", noise(3000, 3) + "\nENTITY Tank") + noise(5000, 4));
	 },
     300,
     true,
     {},
     [](GameDir &g) { EXPECT_GT(g.count("Tank"), 0); }},
	{"SoundMapMissing",
     [](GameDir &g) { g.drop("data/sound.dat"); },
     100,
     false,
     {"Sound is off: cannot read data/sound.dat"},
     nullptr},
};

class BadData : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadData, StartsReportsAndPlays) {
	const BadCase &c = GetParam();
	GameDir game;
	c.prepare(game);
	std::string text = game.start();
	ASSERT_NE(player, nullptr);
	std::string more;
	int played = game.play(c.cycles, &more);
	EXPECT_TRUE(c.ends ? played > 0 : played == c.cycles) << played;
	for (const std::string &s : c.says) {
		EXPECT_NE((text + more).find(s), std::string::npos) << s;
	}
	if (c.check) {
		c.check(game);
	}
}

INSTANTIATE_TEST_SUITE_P(Files, BadData, ::testing::ValuesIn(BAD_CASES),
                         [](const ::testing::TestParamInfo<BadCase> &i) { return std::string(i.param.name); });

TEST(BadStart, NoPlayerEndsTheGameWithStatusOne) {
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	const std::pair<std::string, const char *> cases[] = {
		{"", "Could not open entity file data/entity.dat"},
		{replaced(testData("small.dat"), "ENTITY Player", "ENTITY Pilot"), "Loading EData Player"},
		{noise(1 << 16, 7), "Loading EData Player"},
	};
	for (const auto &c : cases) {
		GameDir game;
		c.first.empty() ? game.drop("data/entity.dat") : game.put("data/entity.dat", c.first);
		ASSERT_EQ(chdir(game.dir.path.c_str()), 0);
		EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(1), c.second);
	}
}

// Each broken font file: the game runs with the overlay and the boxes drawn in every pass.
TEST(BadStart, FontFilesMissingOrBroken) {
	struct FontCase {
		const char *file, *content;
		bool loads;
	};
	const FontCase cases[] = {
		{"font.ini", nullptr, false},  {"font.raw", nullptr, false},       {"font.dat", nullptr, true},
		{"font.ini", "", false},       {"font.ini", "sixteen\n", false},   {"font.ini", "2147483647\n", false},
		{"font.ini", "-256\n", false}, {"font.raw", "\x01\x02\x03", true}, {"font.dat", "\x08\x08", true}};
	for (const FontCase &c : cases) {
		GameDir game;
		std::string file = std::string("font_sm/") + c.file;
		c.content == nullptr ? game.drop(file) : game.put(file, c.content);
		std::string text = game.start();
		EXPECT_EQ(game.font->bitmap != nullptr, c.loads) << file << text;
		EXPECT_TRUE(c.content != nullptr || text.find("Cannot open " + file) != std::string::npos) << text;
		dbg = 0xFFEF;
		EXPECT_EQ(game.play(150), 150);
		game.font->messagev(vp, 1, 1, -1, -1, "Paused");
	}
}

}  // namespace
