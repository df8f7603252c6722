// Bad data against the whole game: each case prepares a folder holding the game's files with
// one of them missing, cut short or broken, runs the real start-up there and then plays some
// game cycles. The game must report the problem and go on (or, without a player, end with
// status 1); the sanitizer build checks that nothing overflows, leaks or touches freed memory.
// The reader's and the font's own handling of these files is tested in their own files.
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <sys/stat.h>
#include <dirent.h>
#include "tests/support/gameworld.h"
#include "game/vorska.h"

namespace {

// The repository, found from this file's own path so that death-test children find it too.
std::string repoRoot() {
	std::string f = __FILE__;
	return f.substr(0, f.rfind("/tests/"));
}

// Seeded random bytes.
std::string randomBytes(size_t n, unsigned seed) {
	std::mt19937 rng(seed);
	std::string s(n, '\0');
	for (size_t i = 0; i < n; i++) {
		s[i] = (char)(rng() & 0xff);
	}
	return s;
}

// Replaces the first occurrence of from in text by to; the case must find it.
std::string replaced(std::string text, const std::string &from, const std::string &to) {
	size_t at = text.find(from);
	EXPECT_NE(at, std::string::npos) << from;
	if (at != std::string::npos) {
		text.replace(at, from.size(), to);
	}
	return text;
}

// A folder holding the game's data (linked, not copied), in which the real start-up runs.
struct BadData : public ::testing::Test {
	TempDir dir;
	std::string root;
	Font *font = nullptr;
	Uint8 keyboard[NUM_KEYS];

	void SetUp() override {
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		root = repoRoot();
		mkdir(dir.at("data").c_str(), 0755);
		mkdir(dir.at("gfx").c_str(), 0755);
		mkdir(dir.at("font_sm").c_str(), 0755);
		link("data/entity.dat");
		DIR *gfx = opendir((root + "/gfx").c_str());
		ASSERT_NE(gfx, nullptr);
		while (struct dirent *d = readdir(gfx)) {
			if (d->d_name[0] != '.') {
				link(std::string("gfx/") + d->d_name);
			}
		}
		closedir(gfx);
		link("font_sm/font.ini");
		link("font_sm/font.raw");
		link("font_sm/font.dat");
		for (int k = 0; k < NUM_KEYS; k++) {
			keyboard[k] = 0;
		}
	}

	void TearDown() override {
		stopGame();
		if (chdir(root.c_str()) != 0) {
		}
	}

	// Puts a link to the game's own file into the folder.
	void link(const std::string &name) {
		ASSERT_EQ(symlink((root + "/" + name).c_str(), dir.at(name).c_str()), 0) << name;
	}

	// Takes a file (or link) out of the folder.
	void drop(const std::string &name) {
		unlink(dir.at(name).c_str());
	}

	// Replaces a file of the folder; the link goes first, so the game's own file is untouched.
	void put(const std::string &name, const std::string &content) {
		drop(name);
		dir.write(name, content);
	}

	// The game's own version of a file.
	std::string original(const std::string &name) {
		return readFile(root + "/" + name);
	}

	// Goes into the folder and runs the real start-up; returns what it wrote to stderr.
	std::string startGame() {
		stopGame();  // whatever an earlier test of this process left
		if (chdir(dir.path.c_str()) != 0) {
			ADD_FAILURE() << "cannot enter " << dir.path;
			return "";
		}
		Capture err(2);
		font = startUp();
		std::string text = err.finish();
		keyp = keyboard;
		return text;
	}

	// Plays n game cycles with the ship firing and weaving; returns the cycles run before
	// the loop ended. The entities' messages (std::cerr) go to errText; the descriptor
	// itself is left alone, so that a sanitizer's report is seen.
	int play(int n, std::string *errText = nullptr) {
		std::ostringstream err;
		std::streambuf *old = std::cerr.rdbuf(err.rdbuf());
		int i = 0;
		for (; i < n; i++) {
			keyboard[KEY_SPACE] = (i % 7) != 0;
			keyboard[KEY_LEFT] = (i / 40) % 2 == 0;
			keyboard[KEY_RIGHT] = (i / 40) % 2 == 1;
			keyboard[KEY_UP] = (i / 25) % 3 == 0;
			cycles = 1;
			if (!loopPass(font)) {
				i++;
				break;
			}
		}
		std::cerr.rdbuf(old);
		if (errText != nullptr) {
			*errText = err.str();
		}
		return i;
	}

	// Ends the game started here: world, registry with its bitmaps, font, field and screen.
	void stopGame() {
		for (size_t i = 0; i < edlist.size(); i++) {
			for (size_t j = 0; j < edlist[i].states.size(); j++) {
				for (size_t k = 0; k < edlist[i].states[j].frames.size(); k++) {
					edlist[i].states[j].frames[k].freeFrame();
				}
			}
		}
		clearWorld();
		delete font;
		font = nullptr;
		delete env;
		env = nullptr;
		delete vp;
		vp = nullptr;
		delete debug;
		debug = nullptr;
		delete screen;  // SDL keeps the video surface; the next start-up sets the mode again
		screen = nullptr;
		gameover = 0;
		dbg = 4;
		keyp = nullptr;
	}

	// Counts the live entities made from template id.
	int count(const std::string &id) {
		int n = 0;
		for (Entity *e = elist; e != nullptr; e = e->next) {
			n += e->id == id;
		}
		return n;
	}

	// Starts with the given definition file and plays n cycles; the messages of both.
	std::string startAndPlay(const std::string &entityDat, int n, int *played = nullptr) {
		put("data/entity.dat", entityDat);
		std::string text = startGame();
		std::string more;
		int got = play(n, &more);
		if (played != nullptr) {
			*played = got;
		}
		return text + more;
	}
};

// The template dump without the bitmaps' addresses, which differ from load to load.
std::string registryDump() {
	Capture out(1);
	printEdList(1);
	std::string text = out.finish();
	std::string kept;
	size_t at = 0;
	while (true) {
		size_t found = text.find("BITMAP 0x", at);
		if (found == std::string::npos) {
			break;
		}
		kept += text.substr(at, found - at) + "BITMAP";
		at = text.find(' ', found + 7);
	}
	return kept + text.substr(at);
}

bool has(const std::string &text, const std::string &what) {
	return text.find(what) != std::string::npos;
}

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

TEST_F(BadData, RandomBytesAsTheDefinitionFileEndEitherWithStatusOne) {
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

// ---- definition files that the reader takes in but the game must live with

TEST_F(BadData, UsesCycleBetweenTemplates) {
	std::string dat = kTestEntities;
	dat = replaced(dat, "ENTITY Player NAME Player", "ENTITY Player USES Tank NAME Player");
	dat = replaced(dat, "ENTITY Tank NAME Tank", "ENTITY Tank USES Helicopter NAME Tank");
	dat = replaced(dat, "ENTITY Helicopter NAME Helicopter", "ENTITY Helicopter USES Player NAME Helicopter");
	int played = 0;
	startAndPlay(dat, 200, &played);
	EXPECT_GT(played, 0);
	EXPECT_EQ(edlist.size(), 4u);  // the three, once each, and the shot fired since
	EXPECT_GT(count("Tank"), 100);
}

TEST_F(BadData, StatesWithoutFrames) {
	std::string dat = kTestEntities;
	// The player's first state and the tanks' death have no frames: the player has no
	// current frame from the start, and a dead tank stays where it died.
	dat = replaced(dat, "STATE FLY FRAME NONE DELAY 5 END_FRAME END_STATE", "STATE FLY END_STATE");
	dat = replaced(dat, "STATE DEATH FRAME NONE DELAY 2 ENTER EF_NOHIT END_FRAME FRAME NONE ENTER EF_DIE END_FRAME END_STATE",
	               "STATE DEATH END_STATE");
	int played = 0;
	std::string text = startAndPlay(dat, 400, &played);
	EXPECT_EQ(played, 400);
	EXPECT_TRUE(has(text, "Entity::addAnimPhase: Player: No current frame"));
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(player->frame, nullptr);
}

TEST_F(BadData, NextStateMissingAndLoopBeyondTheFrames) {
	std::string dat = kTestEntities;
	dat = replaced(dat, "STATE ROLL FRAME NONE DELAY 40 END_FRAME END_STATE",
	               "STATE ROLL FRAME NONE DELAY 1 END_FRAME FRAME NONE DELAY 1 END_FRAME NEXT_STATE NOWHERE END_STATE");
	dat = replaced(dat, "STATE FLY FRAME NONE DELAY 40 END_FRAME END_STATE",
	               "STATE FLY FRAME NONE DELAY 1 END_FRAME LOOP 99 END_STATE");
	dat = replaced(dat, "STATE FLY FRAME NONE END_FRAME END_STATE", "STATE FLY FRAME NONE END_FRAME LOOP -7 END_STATE");
	int played = 0;
	std::string text = startAndPlay(dat, 300, &played);
	EXPECT_GT(played, 0);
	EXPECT_TRUE(has(text, "Entity::setState: Tank has no \"NOWHERE\" state"));
	EXPECT_TRUE(has(text, "Entity::setFrame: FLY does not have a frame #99"));
}

TEST_F(BadData, VarWithoutNumberEndsTheTemplateButNotTheGame) {
	// The player's template stops at the bad VAR: it keeps no states and no LIVES.
	std::string dat = replaced(kTestEntities, "VAR LIVES 2", "VAR LIVES two");
	int played = 0;
	std::string text = startAndPlay(dat, 300, &played);
	EXPECT_TRUE(has(text, "EntityData::readEnD: EOF encountered"));
	EXPECT_GT(played, 0);
}

// Every number of the templates at the ends of the int range (the reader saturates them).
std::string hugeNumbers(const std::string &lives) {
	std::string dat = kTestEntities;
	const std::string big = "99999999999";
	const std::string small = "-99999999999";
	dat = replaced(dat, "VAR LIVES 2 PRIORITY 5", "VAR LIVES " + lives + " VAR SHOTSFIRED " + big + " PRIORITY " + big);
	dat = replaced(dat, "WIDTH 32 HEIGHT 32 LIFE 3 MAXLIFE 3 DAMAGE 1",
	               "WIDTH " + big + " HEIGHT " + big + " XVEL " + big + " YVEL " + small + " LIFE " + small +
	               " MAXLIFE " + big + " DAMAGE " + big + " PRIORITY " + small);
	dat = replaced(dat, "STATE ROLL FRAME NONE DELAY 40 END_FRAME",
	               "STATE ROLL FRAME NONE DELAY 1 XOFF " + big + " YOFF " + small +
	               " ENTER EF_FIRE_LEAD EXIT EF_FIRE_LINEWAVE END_FRAME"
	               " FRAME NONE DELAY 1 ENTER EF_FIRE_SPREAD EXIT EF_FIRE_LINE END_FRAME");
	dat = replaced(dat, "STATE FLY FRAME NONE DELAY 40 END_FRAME", "STATE FLY FRAME NONE DELAY " + big + " END_FRAME");
	dat = replaced(dat, "ENTITY Player NAME Player", "ENTITY Player XVEL " + big + " YVEL " + small + " NAME Player");
	dat = replaced(dat, "WIDTH 64 HEIGHT 64 LIFE 20", "WIDTH " + small + " HEIGHT " + small + " LIFE " + big +
	                                                 " DAMAGE " + small + " XVEL " + small + " YVEL " + big);
	dat = replaced(dat, "WIDTH 4 HEIGHT 12 DAMAGE 1", "WIDTH 4 HEIGHT 12 DAMAGE " + big + " XVEL " + big);
	return dat;
}

TEST_F(BadData, NumbersBeyondThirtyTwoBits) {
	// With lives to spare the game goes on; huge velocities cost no more than small ones.
	dbg = 0xFFEF;  // the outlines too
	int played = 0;
	startAndPlay(hugeNumbers("99999999999"), 300, &played);
	EXPECT_EQ(played, 300);
	ASSERT_NE(player, nullptr);
	EXPECT_EQ(player->var["SHOTSFIRED"], INT_MAX);
	stopGame();
	// With the fewest lives there are, the first life lost ends the game.
	startAndPlay(hugeNumbers("-99999999999"), 3000, &played);
	EXPECT_NE(gameover, 0);
}

TEST_F(BadData, WindowsLineEndsReadLikeUnixOnes) {
	std::string unix = original("data/entity.dat");
	std::string windows;
	for (char c : unix) {
		if (c == '\n') {
			windows += '\r';
		}
		windows += c;
	}
	put("data/entity.dat", windows);
	std::string text = startGame();
	EXPECT_FALSE(has(text, "Unrecognized token")) << text;
	EXPECT_FALSE(has(text, "Could not load")) << text;
	EXPECT_EQ(count("Tank"), 181);
	EXPECT_EQ(play(200), 200);
	// The same templates as from the file with Unix line ends.
	std::string fromWindows = registryDump();
	stopGame();
	put("data/entity.dat", unix);
	startGame();
	play(200);
	EXPECT_TRUE(fromWindows == registryDump());
}

TEST_F(BadData, RandomBytesAroundTheBlocks) {
	// Noise between and after the blocks is outside every block, so it is skipped.
	std::string dat = original("data/entity.dat");
	dat = replaced(dat, "ENTITY Tank", randomBytes(3000, 3) + "\nENTITY Tank");
	dat += randomBytes(5000, 4);
	int played = 0;
	startAndPlay(dat, 300, &played);
	EXPECT_GT(played, 0);
	EXPECT_EQ(count("Tank") > 0, true);
}

}  // namespace

namespace {

// Velocities of millions of pixels a cycle: the movement pass stops a bounded entity at its
// edge in one step of work and takes a free one far out without walking every pixel or
// overflowing its position; sizes and damage at the ends of the int range neither wrap the
// bounds tests nor the life.
TEST(HugeNumbers, MovementBoundsAndDamageStayInRange) {
	GameWorld w(kTestEntities, 450, 2000);
	env->cy = 1000;
	Entity *e = loadEntity(ENTITY_FILE, "Tank", env);
	ASSERT_NE(e, nullptr);
	e->x = 100;
	e->y = 1100;
	e->flags = ENT_MOV_OOB_VPT;  // the field bounds it
	e->xvel = 2000000000;
	movementPass();
	EXPECT_EQ(e->x, 450 - e->w);  // at the right edge at once
	EXPECT_EQ(e->xvc, 1000);      // every step beyond it spent, as the pixel walk would
	e->xvel = -2000000000;
	e->xvc = 0;
	movementPass();
	EXPECT_EQ(e->x, 0);
	EXPECT_EQ(e->xvc, -1000);

	e->flags = ENT_MOV_OOB_VPT | ENT_MOV_OOB_ENV;  // nothing bounds it
	e->xvel = 2000000000;
	e->xvc = 0;
	e->x = 0;
	movementPass();
	EXPECT_EQ(e->x, 1999999);
	for (int i = 0; i < 1000; i++) {
		movementPass();
	}
	EXPECT_EQ(e->x, 1 << 30);  // held far out, far from overflowing

	// A box as wide as an int goes is not wrapped by the bounds or collision tests.
	Entity *f = loadEntity(ENTITY_FILE, "Tank", env);
	ASSERT_NE(f, nullptr);
	f->x = 10;
	f->y = 1100;
	f->w = 0x7fffffff;
	EXPECT_EQ(f->chkMove(11, 1100, 1), 1);  // far past the right edge of the field
	Entity *g = loadEntity(ENTITY_FILE, "Shot", env);
	ASSERT_NE(g, nullptr);
	g->x = 2000000000;
	g->y = 1100;
	EXPECT_EQ(f->collide(g), 1);
	g->x = 5;
	EXPECT_EQ(f->collide(g), 0);

	// Damage saturates instead of wrapping into a full life.
	f->life = -5;
	g->damage = 0x7fffffff;
	f->takeDamage(g);
	EXPECT_EQ(f->life, -0x7fffffff - 1);
	f->life = 5;
	g->damage = -0x7fffffff - 1;
	f->takeDamage(g);
	EXPECT_EQ(f->life, 0x7fffffff);
}

}  // namespace
