// Blocks that are missing, duplicated or cut off part-way, and what the registry keeps of them.
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, NothingIsRegisteredForABlockNotFound) {
	define("ENTITY A USES Ghost END_ENTITY\nGhost ENTITY\n");
	int result = 1;
	EXPECT_EQ(loadingLine("Ghost"), load("Ghost", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(0u, edlist.size());

	// only the token right after ENTITY is a candidate id
	define("ENTITY ENTITY B END_ENTITY\n");
	EXPECT_EQ(loadingLine("B"), load("B", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(0u, edlist.size());

	// an empty id never matches a token, so nothing may be registered under it
	EXPECT_EQ(loadingLine(""), load("", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(0u, edlist.size());
}

TEST_F(ReaderTest, AFileThatCannotBeOpened) {
	file = dir.at("nothing.dat");
	int result = 1;
	EXPECT_EQ(loadingLine("A") + "EntityData::loadEnD: Could not open entity file " + file + "\n", load("A", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(0u, edlist.size());
}

TEST_F(ReaderTest, TheScanSeesEntityInsideOtherBlocks) {
	// the NAME value ENTITY starts the scan's candidate B inside the block of A
	define("ENTITY A NAME ENTITY B LIFE 3 END_ENTITY ENTITY B LIFE 7 END_ENTITY");
	load("B");
	EXPECT_EQ(3, get("B").life);
}

TEST_F(ReaderTest, TheFirstBlockOfAnIdWinsAndIsLoadedOnce) {
	define("ENTITY A LIFE 2 END_ENTITY\nENTITY A LIFE 9 END_ENTITY\n");
	int result = 0;
	load("A", &result);
	EXPECT_EQ(1, result);
	EXPECT_EQ(2, get("A").life);
	EntityData *first = getEData("A", edlist);
	EXPECT_EQ(loadingLine("A") + "EntityData::loadEnD: A EntityData already exists\n", load("A", &result));
	EXPECT_EQ(0, result);
	EXPECT_EQ(1u, edlist.size());
	EXPECT_EQ(first, getEData("A", edlist));
	EXPECT_EQ(2, first->life);

	// a template object told to load a registered id is left empty
	Capture err(2);
	EntityData d(file, "A");
	EXPECT_EQ(loadingLine("A") + "EntityData::loadEnD: A EntityData already exists\n", err.finish());
	EXPECT_EQ("", d.id);
}

TEST_F(ReaderTest, FileEndsInsideAState) {
	define("ENTITY A NAME N STATE ONE FRAME NONE END_FRAME END_STATE STATE TWO FRAME NONE DELAY 3 END_FRAME LIFE 4");
	int result = 0;
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state ONE\n"
	          "EntityData::readState: Reading state TWO\n"
	          "EntityData::readState: Unrecognized token: LIFE\n"
	          "EntityData::readState: Unrecognized token: 4\n"
	          "EntityData::readState: END_STATE tag not found for state: TWO\n"
	          "EntityData::readEnD: Aborted entity data load\n", load("A", &result));
	EXPECT_EQ(1, result);
	EntityData &a = get("A");
	EXPECT_EQ("N", a.name);
	EXPECT_EQ(1, a.life);
	ASSERT_EQ(1u, a.states.size());  // the unfinished state is dropped
	EXPECT_EQ("ONE", a.states[0].name);
}

TEST_F(ReaderTest, FileEndsInsideAFrame) {
	ASSERT_NE(nullptr, headlessVideo());
	std::string pic = writeBmp(dir, "p.bmp", 2, 2, 0, 0, 255);
	define("ENTITY A STATE ONE FRAME NONE END_FRAME END_STATE STATE TWO FRAME NONE END_FRAME FRAME " + pic + " DELAY 3\n");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state ONE\n"
	          "EntityData::readState: Reading state TWO\n"
	          "EntityData::readFrame: Loading frame " + pic + "\n"
	          "EntityData::readFrame: END_FRAME tag not found for frame: " + pic + "\n"
	          "EntityData::readFrame: Returning (failure)\n"
	          "EntityData::readState: END_STATE tag not found for state: TWO\n"
	          "EntityData::readEnD: Aborted entity data load\n", load("A"));
	ASSERT_EQ(1u, get("A").states.size());
	EXPECT_EQ("ONE", get("A").states[0].name);
}

TEST_F(ReaderTest, FileEndsRightAfterStateOrFrame) {
	define("ENTITY A STATE ONE END_STATE STATE");
	EXPECT_EQ(loadingLine("A") + "EntityData::readState: Reading state ONE\n"
	          "EntityData::readState: EOF encountered\n"
	          "EntityData::readState: Reading state \n"
	          "EntityData::readState: END_STATE tag not found for state: \n"
	          "EntityData::readEnD: Aborted entity data load\n", load("A"));
	EXPECT_EQ(1u, get("A").states.size());

	define("ENTITY B STATE S FRAME\n");
	EXPECT_EQ(loadingLine("B") + "EntityData::readState: Reading state S\n"
	          "EntityData::readFrame: EOF encountered\n"
	          "EntityData::readState: END_STATE tag not found for state: S\n"
	          "EntityData::readEnD: Aborted entity data load\n", load("B"));
	EXPECT_TRUE(get("B").states.empty());
}

TEST_F(ReaderTest, AStateSectionCanEndTheBlockEarly) {
	// a state closed by the end of the file loses the rest of the block: it is never reached
	define("ENTITY A STATE S FRAME NONE END_FRAME\nENTITY B END_ENTITY\n");
	load("A");
	EXPECT_TRUE(get("A").states.empty());
	load("B");
	EXPECT_EQ("A B", registered());
}

TEST_F(ReaderTest, DependenciesLoadedBeforeAFailureStay) {
	define("ENTITY A USES B VAR X oops USES C END_ENTITY\n"
	       "ENTITY B END_ENTITY ENTITY C END_ENTITY\n");
	int result = 0;
	EXPECT_EQ(loadingLine("A") + "EntityData::readEnD: Loading dependency EData B\n" + loadingLine("B") +
	          "EntityData::readEnD: Returning to EData A\n"
	          "EntityData::readEnD: EOF encountered\n", load("A", &result));
	EXPECT_EQ(1, result);
	EXPECT_EQ("B A", registered());
}
