// The template dumps: frames, states, templates, tables and the registry list, byte for byte.
#include <gtest/gtest.h>
#include <sstream>
#include "entity/entitydata.h"
#include "tests/support/testsupport.h"

static int efAny(void *) {
	return 0;
}

static int hitAny(void *, void *) {
	return 0;
}

// What the stream prints for a pointer.
static std::string pointerText(const void *p) {
	std::ostringstream s;
	s << p;
	return s.str();
}

TEST(Dumps, PrintIntTable) {
	Capture out(1);
	printIntTable(IntTable(), "    ");
	printIntTable(IntTable{{"b", -2}, {"B", 7}, {"a", 1}}, " ");
	EXPECT_EQ("    <none>\n"
	          " B : 7\n"
	          " a : 1\n"
	          " b : -2\n", out.finish());
}

TEST(Dumps, FrameAndState) {
	Frame f;
	f.name = "<none>";
	f.delay = 4;
	f.xoff = -2;
	f.yoff = 3;
	f.exit = efAny;
	Capture out(1);
	f.snoop("  ");
	EXPECT_EQ("  FRAME <none>\n"
	          "    BITMAP 0 (0x0)\n"
	          "    DELAY  4\n"
	          "    XOFF   -2\n"
	          "    YOFF   3\n"
	          "    ENTER  0\n"
	          "    EXIT   1\n", out.finish());

	SDL_Surface *pic = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0);
	Frame g;
	g.name = "gfx/p.png";
	g.bitmap = pic;
	g.xlen = 99;  // not shown: the bitmap's own size is
	g.enter = efAny;
	State s;
	s.name = "MOVE";
	s.loop = 1;
	s.addFrame(&g);
	s.addFrame(&f);
	Capture out2(1);
	s.snoop("");
	EXPECT_EQ("STATE MOVE\n"
	          "  LOOP TO    1\n"
	          "  FRAME gfx/p.png\n"
	          "    BITMAP " + pointerText(pic) + " (7x5)\n"
	          "    DELAY  0\n"
	          "    XOFF   0\n"
	          "    YOFF   0\n"
	          "    ENTER  1\n"
	          "    EXIT   0\n"
	          "  FRAME <none>\n"
	          "    BITMAP 0 (0x0)\n"
	          "    DELAY  4\n"
	          "    XOFF   -2\n"
	          "    YOFF   3\n"
	          "    ENTER  0\n"
	          "    EXIT   1\n", out2.finish());
	SDL_FreeSurface(pic);

	State d;
	d.name = "DYING";
	d.loop = -1;
	d.nextState = "DEATH";
	Capture out3(1);
	d.snoop(" ");
	EXPECT_EQ(" STATE DYING\n"
	          "   NEXT STATE DEATH\n", out3.finish());
}

TEST(Dumps, EntityData) {
	EntityData d;
	d.id = "Tank";
	d.filename = "not/printed.dat";
	d.name = "Big Tank";
	d.group = "ENEMY";
	d.type = "VEHICLE";
	d.w = 32;
	d.h = 24;
	d.xvel = 5;
	d.priority = -3;
	d.life = 4;
	d.maxlife = 5;
	d.damage = 2;
	d.flags = 12;
	// without states the dump ends at the template's own indent
	Capture out(1);
	d.snoop("  ");
	std::string text = out.finish();
	EXPECT_EQ("  ID Tank\n", text.substr(0, 10));
	EXPECT_EQ("    VARIABLES\n"
	          "      <none>\n"
	          "  STATE <None>\n", text.substr(text.size() - 42));

	d.eprog = efAny;
	d.onhit = hitAny;
	d.ignore["VEHICLE"] = 1;
	d.var["SHOTS"] = 3;
	d.var["LIVES"] = -1;
	State s;
	s.name = "MOVE";
	d.addState(&s);
	Capture out2(1);
	d.snoop("");
	EXPECT_EQ("ID Tank\n"
	          "  NAME   Big Tank\n"
	          "  GROUP  ENEMY\n"
	          "  TYPE   VEHICLE\n"
	          "  SIZE   32x24\n"
	          "  PRIRTY -3\n"
	          "  LIFE   4/5\n"
	          "  DAMAGE 2\n"
	          "  FLAGS  12\n"
	          "  EPROG  1\n"
	          "  ONHIT  1\n"
	          "  IGNORES\n"
	          "    VEHICLE : 1\n"
	          "  VARIABLES\n"
	          "    LIVES : -1\n"
	          "    SHOTS : 3\n"
	          "  STATE MOVE\n"
	          "    LOOP TO    0\n", out2.finish());
}

TEST(Dumps, PrintEdList) {
	edlist.clear();
	Capture out(1);
	printEdList(0);
	EXPECT_EQ("Entity Data (  0) -----\n", out.finish());

	EntityData a;
	a.id = "Player";
	edlist.push_back(a);
	a.id = "Tank";
	a.name = "T";
	edlist.push_back(a);
	Capture out2(1);
	printEdList(-5);
	EXPECT_EQ("Entity Data (  2) -----\n"
	          "EntityData   0: Player\n"
	          "EntityData   1: Tank\n", out2.finish());

	// the header comes through printf, the templates through the stream: order is kept
	std::string full;
	for (size_t i = 0; i < edlist.size(); i++) {
		Capture one(1);
		edlist[i].snoop("");
		full += one.finish();
	}
	Capture out3(1);
	printEdList(1);
	EXPECT_EQ("Entity Data (  2) -----\n" + full, out3.finish());
	EXPECT_NE(std::string::npos, full.find("ID Tank\n  NAME   T\n"));
	Capture out4(1);
	printEdList(2);
	EXPECT_EQ("Entity Data (  2) -----\n" + full, out4.finish());

	for (int i = 0; i < 1000; i++) {
		edlist.push_back(a);
	}
	Capture out5(1);
	printEdList(0);
	std::string text = out5.finish();
	EXPECT_EQ("Entity Data (1002) -----\n", text.substr(0, text.find('\n') + 1));
	EXPECT_NE(std::string::npos, text.find("\nEntityData 1001: Tank\n"));
	edlist.clear();
}
