// Definition files that the reader takes in but the game must live with: USES cycles, states
// without frames, missing next states, loops beyond the frames, bad VAR values, numbers at the
// ends of the int range, Windows line ends and noise between the blocks.
#include "tests/test_bad_data.h"

namespace {

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
