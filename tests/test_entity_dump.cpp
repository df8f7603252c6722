// The entity dumps, byte for byte.
#include <sstream>
#include "tests/test_entity_util.h"

// How the standard stream prints a pointer.
static std::string ptr(const void *p) {
	std::ostringstream o;
	o << p;
	return o.str();
}

// The dump of an entity at the empty indent, as the lists print it.
static std::string snoopText(Entity *e) {
	Capture out(1);
	e->snoop("");
	return out.finish();
}

class EntityDump : public EntityTest {
protected:
	void TearDown() override {
		enlist.clear();
		resetWorld();
	}
};

TEST_F(EntityDump, Snoop) {
	oneState("Tank", {makeFrame("tank1.png", 4)});
	Entity e("unused.dat", "Tank");
	e.type = "VEHICLE";
	e.w = 32;
	e.x = -7;
	e.maxlife = 5;
	e.flags = 12;
	e.ctr = 77;
	e.framectr = 2;
	e.eprog = logEnter;
	e.var["SHOTS"] = 3;
	e.var["ALPHA"] = -2;
	e.addSpawnR("data/entity.dat", "Bullet", 1, -36, 0, -20000, 5);
	e.addSpawn("data/entity.dat", "Shot", 2, 3, -4, 5, 7);
	Capture out(1);
	e.snoop(" ");
	EXPECT_EQ(out.finish(),
	          " ENTITY Tank\n   GROUP    \n   TYPE     VEHICLE\n   PRIORITY 0\n   SIZE     32x1\n"
	          "   POS      (-7, 100)\n   LIFE     1/5\n   DAMAGE   0\n   FLAGS    12\n   COUNTER  77\n"
	          "   STATE    " + ptr(e.state) + " (A)\n   FRAME    " + ptr(e.frame) + " (tank1.png)\n"
	          "   FRAMECTR 2\n   NEXT     0\n   EPROG    1\n   ONHIT    0\n   IGNORES\n     <none>\n"
	          "   VARIABLES\n     ALPHA : -2\n     SHOTS : 3\n   SLIST\n"
	          "     5] data/entity.dat:Bullet (1,-36)  XV:0 YV: -20000\n"
	          "     2] data/entity.dat:Shot (2,3)  XV:-4 YV: 5\n   ID       Tank\n");
}

TEST_F(EntityDump, ListDumps) {
	oneState("A", {makeFrame("f", 0)});
	Entity *a = loadEntity("unused.dat", "A");
	Entity *b = loadEntity("unused.dat", "A");
	a->name = "Second";
	num_entities = 1234;  // the header shows the counter, not the length
	enlist = {*a};
	std::string full = snoopText(b) + snoopText(a);
	std::string copy = snoopText(&enlist[0]);
	Capture lists(1);
	printEnList(0);
	printEnList(1);
	printList(&elist);
	printList(nullptr);
	printEnListV(0);
	printEnListV(1);
	EXPECT_EQ(lists.finish(), "Entities (1234) -----\nEntity   0: A\nEntity   1: Second\nEntities (1234) -----\n" + full +
	                          "List\n" + full + "List\nEntities (  1) -----\nEntity   0: Second\nEntities (  1) -----\n" + copy);
	num_entities = 2;
}
