// Data files a hostile level designer could write: each must be reported, and the game must
// stay within a bounded time and memory (measured with getrusage, far above what the case
// needs, far below what the faults it guards against took) and not flood its output. Peak
// memory is the whole process's: ctest runs each case in a process of its own.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include "tests/support/testsupport.h"
#include "game/vorska.h"

namespace {

// A folder of the game's files, where each case breaks one and starts the real game.
struct DesignerProof : public ::testing::Test {
	GameDir game;

	void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
	// Starts with the given definition file and plays n cycles; the messages of both.
	std::string startAndPlay(const std::string &entityDat, int n) {
		game.put("data/entity.dat", entityDat);
		std::string text = game.start();
		std::string more;
		game.play(n, &more);
		return text + more;
	}
};

// Whether the text holds the words.
bool has(const std::string &text, const std::string &what) {
	return text.find(what) != std::string::npos;
}

// What the process has used so far: CPU seconds and peak resident megabytes.
struct Usage {
	double cpu;
	long mb;
};

Usage used() {
	struct rusage u;
	getrusage(RUSAGE_SELF, &u);
	return Usage{u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6,
	             u.ru_maxrss / 1024};
}

// Expects the case that began at `from` to have stayed within cpu seconds and mb megabytes.
void expectBounded(const Usage &from, double cpu, long mb) {
	Usage now = used();
	EXPECT_LT(now.cpu - from.cpu, cpu);
	EXPECT_LT(now.mb, mb);
	printf("[ usage    ] %.2f s CPU, %ld MB peak\n", now.cpu - from.cpu, now.mb);
}

// How many lines of text are exactly line.
int linesEqual(const std::string &text, const std::string &line) {
	int n = 0;
	for (size_t at = text.find(line + "\n"); at != std::string::npos; at = text.find(line + "\n", at + 1)) {
		n += at == 0 || text[at - 1] == '\n';
	}
	return n;
}

// Tanks that fire line waves, and bullets that fire them too, every cycle, wherever they are.
std::string selfSpawning() {
	std::string dat = replaced(testData("small.dat"), "IGNORE SHOT WIDTH 20", "IGNORE SHOT IGNORE BULLET WIDTH 20");
	dat = replaced(dat, "ROLL FRAME NONE DELAY 40 END_FRAME",
	               "ROLL FRAME NONE DELAY 40 ENTER EF_FIRE_LINEWAVE END_FRAME");
	return replaced(dat, "PRIORITY 4\n  FLAG ENT_DIE_OOB_VPT FLAG ENT_MOV_OOB_ENV\n  STATE FLY FRAME NONE END_FRAME",
	                "PRIORITY 4\n  STATE FLY FRAME NONE DELAY 0 ENTER EF_FIRE_LINEWAVE END_FRAME");
}

TEST_F(DesignerProof, SelfSpawningTemplatesStopAtTheLimitOfLiveEntities) {
	Usage from = used();
	std::string text = startAndPlay(selfSpawning(), 60);
	EXPECT_EQ(num_entities, MAX_LIVE_ENTITIES);
	EXPECT_EQ(
		linesEqual(text, "loadEntity: " + std::to_string(MAX_LIVE_ENTITIES) + " entities live, not creating Bullet"),
		1);
	expectBounded(from, 40, 600);
}

TEST_F(DesignerProof, ACrowdOfDeadTanksWithoutBoxesOnOneSpotCostsItsSize) {
	// as a burning crowd is: the collision pass once paired each of them with every other
	startAndPlay(replaced(testData("small.dat"), "WIDTH 32 HEIGHT 32 LIFE 3", "WIDTH 0 HEIGHT 0 LIFE 0"), 0);
	while (num_entities < MAX_LIVE_ENTITIES) {
		Entity *e = loadEntity(ENTITY_FILE, "Tank", env);
		ASSERT_NE(e, nullptr);
		e->x = 100;
		e->y = 100;
	}
	Usage from = used();
	game.play(2);
	expectBounded(from, 10, 400);
}

TEST_F(DesignerProof, ManyUsesAndSpawnsOfAMissingTemplateCostOneLookupEach) {
	std::string dat = replaced(selfSpawning(), "ENTITY Bullet", "ENTITY Pellet");
	std::string uses, more;
	for (int i = 0; i < 4000; i++) {
		uses += " USES T" + std::to_string(i);
		more += "ENTITY T" + std::to_string(i) + " NAME T END_ENTITY\n";
	}
	dat = replaced(dat, "VAR LIVES 2", "VAR LIVES 2" + uses) + more + std::string(4 << 20, ' ');
	Usage from = used();
	std::string text = startAndPlay(dat, 100);
	EXPECT_GE(edlist.size(), 4002u);
	EXPECT_EQ(linesEqual(text, "Entity::spawn(): Tank: Could not load data/entity.dat, ID Bullet"), 1);
	expectBounded(from, 20, 400);
}

TEST_F(DesignerProof, RepeatedStateAndFrameMessagesAreCounted) {
	std::string dat = replaced(testData("small.dat"), "STATE ROLL FRAME NONE DELAY 40 END_FRAME END_STATE",
	                           "STATE ROLL FRAME NONE DELAY 0 END_FRAME NEXT_STATE NOWHERE END_STATE");
	dat = replaced(dat, "STATE FLY FRAME NONE DELAY 40 END_FRAME END_STATE",
	               "STATE FLY FRAME NONE DELAY 0 END_FRAME LOOP 9 END_STATE");
	std::string text = startAndPlay(dat, 400);
	EXPECT_EQ(linesEqual(text, "Entity::setState: Tank has no \"NOWHERE\" state"), 1);
	EXPECT_EQ(linesEqual(text, "Entity::setFrame: FLY does not have a frame #9"), 1);
	EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 200);
}

TEST_F(DesignerProof, TemplateOfManyVarsCostsItsEntitiesNothing) {
	std::string vars;
	for (int i = 0; i < 40000; i++) {
		vars += " VAR V" + std::to_string(i) + " " + std::to_string(i);
	}
	Usage from = used();
	startAndPlay(replaced(testData("small.dat"), "ENTITY Tank NAME Tank", "ENTITY Tank NAME Tank" + vars), 20);
	EXPECT_GT(game.count("Tank"), 100);
	expectBounded(from, 20, 250);
}

TEST_F(DesignerProof, FramesOfOneLargePictureShareIt) {
	std::string frames;
	for (int i = 0; i < 30; i++) {
		frames += " FRAME gfx/big.bmp END_FRAME";
	}
	game.put("data/entity.dat",
	         replaced(testData("small.dat"), "STATE ROLL FRAME NONE DELAY 40 END_FRAME", "STATE ROLL" + frames));
	writeBmp(game.dir, "gfx/big.bmp", 1500, 1500, 10, 20, 30);
	Usage from = used();
	game.start();
	const State &roll = getEData("Tank", edlist)->states[0];
	ASSERT_EQ(roll.frames.size(), 30u);
	EXPECT_NE(roll.frames[0].bitmap, nullptr);
	EXPECT_EQ(roll.frames[0].bitmap, roll.frames[29].bitmap);
	expectBounded(from, 10, 250);
}

// A PNG's signature and header chunk for a w x h picture, followed by a chunk of `claimed`
// bytes that holds `held` bytes.
std::string pngClaiming(unsigned w, unsigned h, unsigned claimed, size_t held) {
	auto be = [](unsigned v) { return std::string{(char)(v >> 24), (char)(v >> 16), (char)(v >> 8), (char)v}; };
	return "\x89PNG\r\n\x1a\n" + be(13) + "IHDR" + be(w) + be(h) + std::string("\x08\x02\0\0\0", 5) + be(0) +
	       be(claimed) + "IDAT" + std::string(held, 'x');
}

TEST_F(DesignerProof, PicturesAreRefusedFromTheirHeader) {
	const std::pair<std::string, std::string> cases[] = {
		{pngClaiming(8000, 8000, 40000, 40000), "picture of 8000 x 8000 pixels is larger than 16777216 pixels"},
		{pngClaiming(300, 300, 0x7ffffff0, 400),
	     "PNG chunk at byte 33 claims 2147483632 bytes past the end of the file"},
		{std::string("GIF89a\xff\xff\xff\xff", 10) + std::string(300, '\0'),
	     "picture of 65535 x 65535 pixels is larger than 16777216 pixels"},
	};
	for (const auto &c : cases) {
		game.put("gfx/tank1.png", c.first);
		Usage from = used();
		std::string text = game.start();
		EXPECT_TRUE(has(text, "Could not load image file gfx/tank1.png (" + c.second + ")")) << text;
		expectBounded(from, 5, 300);
	}
}

// Replaces a file of the folder by a pipe, by a link to /dev/zero, or by the given content.
void breakFile(GameDir &g, const std::string &name, const std::string &how) {
	g.drop(name);
	if (how == "fifo") {
		ASSERT_EQ(mkfifo(g.dir.at(name).c_str(), 0644), 0);
	} else if (how == "zero") {
		ASSERT_EQ(symlink("/dev/zero", g.dir.at(name).c_str()), 0);
	} else {
		g.dir.write(name, how);
	}
}

TEST_F(DesignerProof, PipesDevicesAndHugeNumbersInPlaceOfTheGameFiles) {
	const char *cases[][3] = {
		{"gfx/ulose.png", "fifo", "Could not load Env background: gfx/ulose.png (not a regular file)"},
		{"gfx/ulose.png", "zero", "Could not load Env background: gfx/ulose.png (not a regular file)"},
		{"gfx/logo.png", "fifo", "Could not load icon gfx/logo.png (not a regular file)"},
		{"font_sm/font.ini", "zero", "Cannot open font_sm/font.ini (not a regular file)"},
		{"font_sm/font.raw", "fifo", "Cannot open font_sm/font.raw (not a regular file)"},
		{"font_sm/font.dat", "zero", "Cannot open font_sm/font.dat (not a regular file)"},
		{"font_sm/font.ini", "99999999999", "Font::loadFont: Bad font size 99999999999 in font_sm/font.ini"},
	};
	for (const auto &c : cases) {
		breakFile(game, c[0], c[1]);
		Usage from = used();
		EXPECT_TRUE(has(game.start(), c[2])) << c[0] << " " << c[1];
		expectBounded(from, 5, 300);
		game.put(c[0], readFile(repoRoot() + "/" + c[0]));
	}
	game.stop();
	for (const char *how : {"fifo", "zero"}) {
		breakFile(game, "data/entity.dat", how);
		ASSERT_EQ(chdir(game.dir.path.c_str()), 0);
		EXPECT_EXIT(startUp(), ::testing::ExitedWithCode(1),
		            "Could not open entity file data/entity.dat \\(not a regular file\\)");
	}
}

TEST_F(DesignerProof, BackgroundTallerThanSixteenBitsIsDrawnToItsEnd) {
	writeBmp(game.dir, "tall.bmp", 16, 40000, 0, 0, 255);
	game.drop("gfx/ulose.png");
	ASSERT_EQ(rename(game.dir.at("tall.bmp").c_str(), game.dir.at("gfx/ulose.png").c_str()), 0);
	game.start();
	ASSERT_EQ(env->ylen, 40000);
	env->setCamera(0, 39000);
	SDL_FillRect(screen->bitmap, nullptr, 0);
	env->draw();
	Uint32 *corner = (Uint32 *)((Uint8 *)screen->bitmap->pixels + vp->yp * screen->bitmap->pitch) + vp->xp;
	EXPECT_EQ(*corner, SDL_MapRGB(screen->bitmap->format, 0, 0, 255));
}

}  // namespace
