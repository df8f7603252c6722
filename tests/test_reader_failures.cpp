// Blocks that are missing, duplicated or cut off part-way, and what the registry keeps of them.
#include <malloc.h>
#include "tests/test_reader_util.h"

// Bytes in use on the heap.
static size_t heapInUse() {
	struct mallinfo2 m = mallinfo2();
	return m.uordblks + m.hblkhd;
}

TEST_F(ReaderTest, NothingIsRegisteredForABlockNotFound) {
	file = dir.at("nothing.dat");
	int result = 1;
	EXPECT_EQ(loadingLine("A") + "EntityData::loadEnD: Could not open entity file " + file + "\n", load("A", &result));
	EXPECT_EQ(0, result);

	// only the token right after ENTITY is a candidate id; an empty id never matches a token
	define("ENTITY ENTITY B END_ENTITY\nENTITY A USES Ghost END_ENTITY\nGhost ENTITY\n");
	for (const char *id : {"Ghost", "B", ""}) {
		result = 1;
		EXPECT_EQ(loadingLine(id), load(id, &result));
		EXPECT_EQ(0, result) << id;
	}
	EXPECT_EQ(0u, edlist.size());
}

TEST_F(ReaderTest, TheFirstBlockOfAnIdWinsAndIsLoadedOnce) {
	// the NAME value ENTITY starts the scan's candidate A inside the block of B
	define("ENTITY B NAME ENTITY A LIFE 2 END_ENTITY\nENTITY A LIFE 9 END_ENTITY\n");
	load("A");
	int result = 1;
	EXPECT_EQ(loadingLine("A") + "EntityData::loadEnD: A EntityData already exists\n", load("A", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(1u, edlist.size());
	EXPECT_EQ(2, get("A").life);
}

// The file ends inside a state: the unfinished state is dropped, the template kept with the rest.
// Every dropped frame and state holds a bitmap of 1 MB; the sanitizer run lets frame bitmaps go
// unreported (they live until exit on purpose), so the heap is counted to see them released.
TEST_F(ReaderTest, FileEndsInsideAStateOrFrame) {
	ASSERT_NE(nullptr, headlessVideo());
	std::string pic = writeBmp(dir, "p.bmp", 512, 512, 0, 0, 255);
	std::string loading = "EntityData::readFrame: Loading frame " + pic + "\n";
	std::string noEnd = "EntityData::readState: END_STATE tag not found for state: ";
	struct Case { std::string text; std::string err; };
	const Case cases[] = {
		{"TWO FRAME " + pic + " DELAY 3 END_FRAME LIFE 4",
		 stateLine("TWO") + loading + "EntityData::readState: Unrecognized token: LIFE\n"
		 "EntityData::readState: Unrecognized token: 4\n" + noEnd + "TWO\n"},
		{"TWO FRAME " + pic + " END_FRAME FRAME " + pic + " DELAY 3\n",
		 stateLine("TWO") + loading + loading + "EntityData::readFrame: END_FRAME tag not found for frame: " + pic + "\n"
		 "EntityData::readFrame: Returning (failure)\n" + noEnd + "TWO\n"},
		{"", "EntityData::readState: EOF encountered\n" + stateLine("") + noEnd + "\n"},
		{"S FRAME\n", stateLine("S") + "EntityData::readFrame: EOF encountered\n" + noEnd + "S\n"},
	};
	size_t before = 0;
	for (int pass = 0; pass < 2; pass++) {
		before = heapInUse();  // the first pass warms up the image loader
		for (const Case &c : cases) {
			clearRegistry();
			define("ENTITY A STATE ONE END_STATE STATE " + c.text);
			int result = 0;
			EXPECT_EQ(loadingLine("A") + stateLine("ONE") + c.err + "EntityData::readEnD: Aborted entity data load\n",
			          load("A", &result)) << c.text;
			EXPECT_EQ(1, result);
			EXPECT_EQ(1, get("A").life);
			ASSERT_EQ(1u, get("A").states.size()) << c.text;
			EXPECT_EQ("ONE", get("A").states[0].name);
		}
	}
	EXPECT_LT(heapInUse(), before + 512 * 1024);

	// a state closed by the end of the file loses the rest of the block: it is never reached
	clearRegistry();
	define("ENTITY A STATE S FRAME NONE END_FRAME\nENTITY B END_ENTITY\n");
	load("A");
	EXPECT_TRUE(get("A").states.empty());
	load("B");
	EXPECT_EQ("A B", registered());
}
