// The entity dumps, byte for byte.
#include <gtest/gtest.h>
#include <sstream>
#include "entity/entity.h"
#include "tests/support/testsupport.h"
#include "tests/test_entity_util.h"

static int nop(void *) {
	return 0;
}

// How the standard stream prints a pointer.
static std::string ptr(const void *p) {
	std::ostringstream o;
	o << p;
	return o.str();
}

class EntityDump : public ::testing::Test {
protected:
	void SetUp() override { resetWorld(); }
	void TearDown() override {
		resetWorld();
		enlist.clear();
	}
};

TEST_F(EntityDump, SnoopOfABoundEntity) {
	registerTemplate("Tank", {makeState("MOVE", 0, "", {makeFrame("tank1.png", 4), makeFrame("tank2.png", 4)})});
	Entity e("unused.dat", "Tank");
	Entity other;
	other.name = "Other";
	e.group = "ENEMY";
	e.type = "VEHICLE";
	e.priority = 3;
	e.w = 32;
	e.h = 24;
	e.x = -7;
	e.life = 4;
	e.maxlife = 5;
	e.damage = 1;
	e.flags = 12;
	e.ctr = 77;
	e.framectr = 2;
	e.eprog = nop;
	e.ignore["VEHICLE"] = 1;
	e.var["SHOTS"] = 3;
	e.var["ALPHA"] = -2;
	e.next = &other;
	e.addSpawnR("data/entity.dat", "Bullet", 1, -36, 0, -20000, 5);
	e.addSpawn("data/entity.dat", "Shot", 2, 3, -4, 5, 7);

	Capture out(1);
	e.snoop(" ");
	std::string text = out.finish();
	std::string expected =
	    " ENTITY TankName\n"
	    "   GROUP    ENEMY\n"
	    "   TYPE     VEHICLE\n"
	    "   PRIORITY 3\n"
	    "   SIZE     32x24\n"
	    "   POS      (-7, 100)\n"
	    "   LIFE     4/5\n"
	    "   DAMAGE   1\n"
	    "   FLAGS    12\n"
	    "   COUNTER  77\n"
	    "   STATE    " + ptr(e.state) + " (MOVE)\n"
	    "   FRAME    " + ptr(e.frame) + " (tank1.png)\n"
	    "   FRAMECTR 2\n"
	    "   NEXT     " + ptr(&other) + " (Other)\n"
	    "   EPROG    1\n"
	    "   ONHIT    0\n"
	    "   IGNORES\n"
	    "     VEHICLE : 1\n"
	    "   VARIABLES\n"
	    "     ALPHA : -2\n"
	    "     SHOTS : 3\n"
	    "   SLIST\n"
	    "     5] data/entity.dat:Bullet (1,-36)  XV:0 YV: -20000\n"
	    "     2] data/entity.dat:Shot (2,3)  XV:-4 YV: 5\n"
	    "   ID       Tank\n";
	EXPECT_EQ(text, expected);
}

TEST_F(EntityDump, SnoopOfABareEntity) {
	Entity e;
	Capture out(1);
	e.snoop("");
	EXPECT_EQ(out.finish(),
	          "ENTITY \n"
	          "  GROUP    \n"
	          "  TYPE     \n"
	          "  PRIORITY 0\n"
	          "  SIZE     1x1\n"
	          "  POS      (0, 0)\n"
	          "  LIFE     1/1\n"
	          "  DAMAGE   0\n"
	          "  FLAGS    0\n"
	          "  COUNTER  0\n"
	          "  STATE    0\n"
	          "  FRAME    0\n"
	          "  FRAMECTR 0\n"
	          "  NEXT     0\n"
	          "  EPROG    0\n"
	          "  ONHIT    0\n"
	          "  IGNORES\n"
	          "    <none>\n"
	          "  VARIABLES\n"
	          "    <none>\n"
	          "  SLIST\n"
	          "  ID       \n");
}

// The dump of an entity at the empty indent, as the lists print it.
static std::string snoopText(Entity *e) {
	Capture out(1);
	e->snoop("");
	return out.finish();
}

TEST_F(EntityDump, ListDumps) {
	Capture empty(1);
	printEnList(0);
	printEnListV(0);
	EXPECT_EQ(empty.finish(), "Entities (  0) -----\nEntities (  0) -----\n");

	registerTemplate("A", {makeState("S", 0, "", {makeFrame("f", 0)})});
	Entity *a = spawnLinked("A", 1);
	Entity *b = spawnLinked("A", 2);
	b->name = "Second";
	num_entities = 1234;  // the header shows the counter, not the length
	Capture sum(1);
	printEnList(0);
	EXPECT_EQ(sum.finish(), "Entities (1234) -----\nEntity   0: AName\nEntity   1: Second\n");

	std::string full = snoopText(a) + snoopText(b);
	Capture all(1);
	printEnList(1);
	EXPECT_EQ(all.finish(), "Entities (1234) -----\n" + full);
	Capture all2(1);
	printEnList(2);
	EXPECT_EQ(all2.finish(), "Entities (1234) -----\n" + full);
	Capture list(1);
	printList(&elist);
	printList(nullptr);
	EXPECT_EQ(list.finish(), "List\n" + full + "List\n");
	num_entities = 2;

	enlist.push_back(*b);
	enlist.push_back(*a);
	enlist[1].name = "Copy";
	std::string copies = snoopText(&enlist[0]) + snoopText(&enlist[1]);
	Capture v(1);
	printEnListV(-1);
	printEnListV(1);
	EXPECT_EQ(v.finish(), "Entities (  2) -----\nEntity   0: Second\nEntity   1: Copy\nEntities (  2) -----\n" + copies);
}
