// The template dumps and the registry list, byte for byte, for a template as the reader builds it.
#include <sstream>
#include "entity/ef_def.h"
#include "tests/test_reader_util.h"

// Prints one template at the given indent and returns the text.
static std::string dump(EntityData &d, const std::string &spaces) {
	Capture out(1);
	d.snoop(spaces);
	return out.finish();
}

TEST_F(ReaderTest, TemplateDumps) {
	ASSERT_NE(nullptr, headlessVideo());
	buildEFuncs();
	std::string pic = writeBmp(dir, "p.bmp", 7, 5, 0, 0, 255);
	define("ENTITY Bare END_ENTITY\n"
	       "ENTITY Tank NAME Big GROUP ENEMY TYPE VEHICLE WIDTH 32 HEIGHT 24 PRIORITY -3 LIFE 4 MAXLIFE 5 "
	       "DAMAGE 2 FLAG ENT_DIE_OOB_ENV IGNORE VEHICLE VAR b -2 VAR B 7 VAR a 1 "
	       "STATE MOVE FRAME " + pic + " DELAY 4 XOFF -2 YOFF 3 ENTER EF_DIE END_FRAME LOOP 1 END_STATE "
	       "STATE DYING NEXT_STATE DEATH FRAME NONE EXIT EF_DIE END_FRAME END_STATE END_ENTITY\n");
	load("Bare");
	load("Tank");
	EntityData &t = get("Tank");
	t.eprog = ef_die;
	std::ostringstream bitmap;
	bitmap << t.states.at(0).frames.at(0).bitmap;
	EXPECT_EQ(" ID Tank\n"
	          "   NAME   Big\n"
	          "   GROUP  ENEMY\n"
	          "   TYPE   VEHICLE\n"
	          "   SIZE   32x24\n"
	          "   PRIRTY -3\n"
	          "   LIFE   4/5\n"
	          "   DAMAGE 2\n"
	          "   FLAGS  12\n"
	          "   EPROG  1\n"
	          "   ONHIT  0\n"
	          "   IGNORES\n"
	          "     VEHICLE : 1\n"
	          "   VARIABLES\n"
	          "     B : 7\n"
	          "     a : 1\n"
	          "     b : -2\n"
	          "   STATE MOVE\n"
	          "     LOOP TO    1\n"
	          "     FRAME " + pic + "\n"
	          "       BITMAP " + bitmap.str() + " (7x5)\n"
	          "       DELAY  4\n"
	          "       XOFF   -2\n"
	          "       YOFF   3\n"
	          "       ENTER  1\n"
	          "       EXIT   0\n"
	          "   STATE DYING\n"
	          "     NEXT STATE DEATH\n"
	          "     FRAME <none>\n"
	          "       BITMAP 0 (0x0)\n"
	          "       DELAY  0\n"
	          "       XOFF   0\n"
	          "       YOFF   0\n"
	          "       ENTER  0\n"
	          "       EXIT   1\n", dump(t, " "));

	// without states the dump ends at the template's own indent
	std::string bare = dump(get("Bare"), " ");
	std::string tail = "   IGNORES\n     <none>\n   VARIABLES\n     <none>\n STATE <None>\n";
	EXPECT_EQ(tail, bare.substr(bare.size() - tail.size()));

	Capture list(1);
	printEdList(-5);
	EXPECT_EQ("Entity Data (  2) -----\nEntityData   0: Bare\nEntityData   1: Tank\n", list.finish());
	// the header comes through printf, the templates through the stream: order is kept
	Capture full(1);
	printEdList(1);
	EXPECT_EQ("Entity Data (  2) -----\n" + dump(get("Bare"), "") + dump(t, ""), full.finish());
}
