// The definition file reader: each case is a file and the ids loaded from it; what the reader
// says and the registry it leaves (the template dumps) are compared with tests/golden/reader.golden.
#include <gtest/gtest.h>
#include <malloc.h>
#include "entity/ef_def.h"
#include "tests/support/testsupport.h"

namespace {

struct Case {
	const char *name;
	std::string text;  // the file's content; "-" for no file at all
	std::vector<std::string> ids;
	bool full;         // the whole dump of the registry, or its summary
};

// Chained USES deeper than the reader follows.
std::string longChain() {
	std::string text;
	for (int i = 0; i < 80; i++) {
		text += "ENTITY T" + std::to_string(i) + " USES T" + std::to_string(i + 1) + " END_ENTITY\n";
	}
	return text;
}

const Case kCases[] = {
	{"tokens, white space and case", "junk before\r\nENTITY\tA\r\nNAME\vFoo\fname Bar GROUP  G\r\n\r\nTYPE T IGNORE X IGNORES Y "
	 "end_entity LIFE 4 END_ENTITY\r\nENTITY B END_ENTITY\n", {"A", "B"}, true},
	{"numbers read like atoi and saturate", "ENTITY A XLEN 0 YLEN 12abc XVEL -7 YVEL +3 LIFE abc MAXLIFE -x DAM 4-2 PRIORITY 007 END_ENTITY\n"
	 "ENTITY B WIDTH 2147483647 HEIGHT 2147483648 XVEL -2147483648 YVEL -2147483649 LIFE 99999999999999999999999999 "
	 "MAXLIFE -99999999999999999999999999 PRIORITY 4294967297 DAMAGE 18446744073709551617x END_ENTITY", {"A", "B"}, true},
	{"VAR reads its integer from the stream", "ENTITY A VAR LIVES 3 VAR SHOTS -2 VAR LIVES 5 VAR P +4 VAR C 12NAME Joe "
	 "VAR BIG 99999999999999999999 VAR SMALL -2147483649 GROUP G END_ENTITY\nENTITY B VAR A abc LIFE 4 END_ENTITY\n"
	 "ENTITY C VAR X - 3 LIFE 4 END_ENTITY\nENTITY D LIFE 3 NAME", {"A", "B", "C", "D"}, true},
	{"a block cut off at the end of the file", "ENTITY E STATE S END_STATE\n", {"E"}, false},
	{"values fall through to later keywords", "ENTITY A NAME TYPE ENEMY END_ENTITY\n"
	 "ENTITY C GROUP NAME X TYPE NAME IGNORE VAR Q 2 END_ENTITY\n"
	 "ENTITY D VAR LIFE 3 7 VAR NAME 1 PRIORITY WIDTH 9 DAMAGE FLAG ENT_INVULN FLAG ENT_INVULN FLAG ENT_DIE_OOB_ENV END_ENTITY\n"
	 "ENTITY E NAME END_ENTITY LIFE 9 END_ENTITY\nENTITY F FLAG STATE S END_STATE USES STATE T END_STATE END_ENTITY\n",
	 {"A", "C", "D", "E", "F"}, true},
	{"no file", "-", {"A"}, false},
	{"only the token after ENTITY is an id", "ENTITY ENTITY B END_ENTITY\nENTITY A USES Ghost END_ENTITY\nGhost ENTITY\n", {"Ghost", "B", ""}, false},
	{"the first block of an id wins, once", "ENTITY B NAME ENTITY A LIFE 2 END_ENTITY\nENTITY A LIFE 9 END_ENTITY\n", {"A", "A"}, true},
	{"the file ends inside a state", "ENTITY A STATE ONE END_STATE STATE TWO FRAME $DIR/p.bmp DELAY 3 END_FRAME LIFE 4", {"A"}, true},
	{"the file ends inside a frame", "ENTITY A STATE ONE END_STATE STATE TWO FRAME $DIR/p.bmp END_FRAME FRAME $DIR/p.bmp DELAY 3\n", {"A"}, true},
	{"the file ends after STATE", "ENTITY A STATE ONE END_STATE STATE ", {"A"}, true},
	{"the file ends after FRAME", "ENTITY A STATE ONE END_STATE STATE S FRAME\n", {"A"}, true},
	{"a state closed by the end of the file", "ENTITY A STATE S FRAME NONE END_FRAME\nENTITY B END_ENTITY\n", {"A", "B"}, true},
	{"frames: images, offsets, behaviours, loops", "ENTITY A STATE MOVE junk FRAME $DIR/p.bmp END_FRAME FRAME NONE END_FRAME "
	 "FRAME NULL SOFF 5 XOFF 2 LOOP 3 END_FRAME FRAME missing.png YOFF 1 OFF -7 DELAY 12x END_FRAME NAME X "
	 "FRAME $DIR ENTER EF_DIE EXIT EF_NOHIT ENTER EF_BOGUS EXIT ef_nohit END_FRAME END_STATE "
	 "STATE GO NEXT_STATE DEATH END_STATE STATE BACK NEXT_STATE DEATH LOOP 2 END_STATE STATE ODD LOOP abc LOOP 1 END_STATE END_ENTITY",
	 {"A"}, true},
	{"dependencies are registered first", "ENTITY Tank USES Bullet USES Shell NAME T END_ENTITY\nENTITY Shell USES Bullet END_ENTITY\n"
	 "ENTITY Bullet NAME B END_ENTITY\nENTITY A USES Nowhere LIFE 3 END_ENTITY\n"
	 "ENTITY B USES C VAR X oops USES D END_ENTITY ENTITY C END_ENTITY ENTITY D END_ENTITY\n", {"Tank", "A", "B"}, false},
	{"cycles are read once", "ENTITY A USES B END_ENTITY\nENTITY B USES C END_ENTITY\n"
	 "ENTITY C USES A USES B USES C USES D END_ENTITY\nENTITY D USES B END_ENTITY\n", {"B"}, false},
	{"long dependency chains are cut", longChain(), {"T0", "T64"}, false},
	{"a whole template", "ENTITY Bare END_ENTITY\nENTITY Tank NAME Big GROUP ENEMY TYPE VEHICLE WIDTH 32 HEIGHT 24 PRIORITY -3 "
	 "LIFE 4 MAXLIFE 5 DAMAGE 2 FLAG ENT_DIE_OOB_ENV IGNORE VEHICLE VAR b -2 VAR B 7 VAR a 1 "
	 "STATE MOVE FRAME $DIR/p.bmp DELAY 4 XOFF -2 YOFF 3 ENTER EF_DIE END_FRAME LOOP 1 END_STATE "
	 "STATE DYING NEXT_STATE DEATH FRAME NONE EXIT EF_DIE END_FRAME END_STATE END_ENTITY\n", {"Bare", "Tank"}, true},
};

// A clean registry with the flag and behaviour tables, and video for the frames' images.
struct Reader : public ::testing::Test {
	TempDir dir;
	void SetUp() override {
		ASSERT_NE(headlessVideo(), nullptr);
		clearWorld();
		buildEFlags();
		buildEFuncs();
		writeBmp(dir, "p.bmp", 7, 5, 0, 0, 255);
	}
	void TearDown() override { clearWorld(); }
	// Loads id from the file holding text; returns what the reader said and its result.
	std::string load(const std::string &text, const std::string &id) {
		std::string file = text == "-" ? dir.at("nothing.dat") : dir.write("entity.dat", scrubbed(text, "$DIR", dir.path));
		Capture err(2);
		int r = addEnD(file, id);
		return "-- load " + id + ": " + std::to_string(r) + "\n" + err.finish();
	}
};

TEST_F(Reader, CasesMatchTheGoldenText) {
	std::string all;
	for (const Case &c : kCases) {
		clearWorld();
		all += std::string("== ") + c.name + "\n";
		for (const std::string &id : c.ids) {
			all += load(c.text, id);
		}
		Capture out(1);
		printEdList(c.full ? 1 : 0);
		all += out.finish() + "loops:";
		for (const EntityData &d : edlist) {
			for (const State &s : d.states) {
				all += " " + std::to_string(s.loop);
			}
		}
		all += "\n";
	}
	expectGolden("reader.golden", scrubbed(all, dir.path, "$DIR"));
}

TEST_F(Reader, ImagesAreKeyedConvertedAndTheirOwn) {
	writeBmp(dir, "red.bmp", 6, 4, 255, 0, 0);
	load("ENTITY A STATE S FRAME $DIR/red.bmp END_FRAME FRAME $DIR/red.bmp END_FRAME END_STATE END_ENTITY", "A");
	std::vector<Frame> &f = getEData("A", edlist)->states.at(0).frames;
	ASSERT_NE(f.at(0).bitmap, nullptr);
	EXPECT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, f[0].bitmap->format->BitsPerPixel);
	EXPECT_TRUE(f[0].bitmap->flags & SDL_SRCCOLORKEY);
	EXPECT_EQ(SDL_MapRGB(f[0].bitmap->format, 255, 0, 255), f[0].bitmap->format->colorkey);
	EXPECT_NE(f[0].bitmap, f[1].bitmap);
}

// Frames and states dropped by a failed read release their bitmaps: the sanitizer lets frame
// bitmaps go unreported (they live until exit on purpose), so the heap is counted instead.
TEST_F(Reader, DroppedFramesReleaseTheirBitmaps) {
	writeBmp(dir, "big.bmp", 512, 512, 0, 0, 255);
	auto heap = [] {
		struct mallinfo2 m = mallinfo2();
		return m.uordblks + m.hblkhd;
	};
	size_t before = 0;
	for (int pass = 0; pass < 2; pass++) {
		before = heap();  // the first pass warms up the image loader
		for (const char *text : {"ENTITY A STATE S FRAME $DIR/big.bmp DELAY 3 END_FRAME", "ENTITY A STATE S FRAME $DIR/big.bmp DELAY 3"}) {
			clearWorld();
			load(text, "A");
		}
	}
	EXPECT_LT(heap(), before + 512 * 1024);
}

}  // namespace
