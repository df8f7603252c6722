// USES: dependencies registered first, already registered ones, missing ones, and cycles.
#include "tests/test_reader_util.h"

static std::string dependency(const std::string &d) {
	return "EntityData::readEnD: Loading dependency EData " + d + "\n" + loadingLine(d);
}

static std::string returning(const std::string &id) {
	return "EntityData::readEnD: Returning to EData " + id + "\n";
}

TEST_F(ReaderTest, DependenciesAreRegisteredFirst) {
	define("ENTITY Tank USES Bullet USES Shell NAME T END_ENTITY\n"
	       "ENTITY Shell USES Bullet END_ENTITY\n"
	       "ENTITY Bullet NAME B END_ENTITY\n"
	       "ENTITY A USES Nowhere LIFE 3 END_ENTITY\n"
	       "ENTITY B USES C VAR X oops USES D END_ENTITY ENTITY C END_ENTITY ENTITY D END_ENTITY\n");
	int result = 0;
	EXPECT_EQ(loadingLine("Tank") + dependency("Bullet") + returning("Tank") +
	          dependency("Shell") + dependency("Bullet") +
	          "EntityData::loadEnD: Bullet EntityData already exists\n" + returning("Shell") + returning("Tank"),
	          load("Tank", &result));
	EXPECT_EQ(1, result);
	EXPECT_EQ("T", get("Tank").name);
	// a missing dependency does not stop the template
	EXPECT_EQ(loadingLine("A") + dependency("Nowhere") + returning("A"), load("A"));
	EXPECT_EQ(3, get("A").life);
	// what was loaded before a template failed stays registered
	EXPECT_EQ(loadingLine("B") + dependency("C") + returning("B") + EOF_LINE, load("B"));
	EXPECT_EQ("Bullet Shell Tank A C B", registered());
}

TEST_F(ReaderTest, CyclesAreReadOnce) {
	// a ring entered in the middle, with a template naming itself
	define("ENTITY A USES B END_ENTITY\n"
	       "ENTITY B USES C END_ENTITY\n"
	       "ENTITY C USES A USES B USES C USES D END_ENTITY\n"
	       "ENTITY D USES B END_ENTITY\n");
	EXPECT_EQ(loadingLine("B") + dependency("C") + dependency("A") + returning("C") +
	          dependency("D") + returning("C") + returning("B"), load("B"));
	EXPECT_EQ("A D C B", registered());
}

TEST_F(ReaderTest, VeryLongDependencyChainsAreCut) {
	std::string text;
	for (int i = 0; i < 80; i++) {
		text += "ENTITY T" + std::to_string(i) + " USES T" + std::to_string(i + 1) + " END_ENTITY\n";
	}
	define(text);
	std::string err = load("T0");
	EXPECT_NE(std::string::npos, err.find("EntityData::readEnD: Dependency chain too deep, not loading EData T64\n"));
	EXPECT_EQ(64u, edlist.size());
	EXPECT_EQ("T63", edlist[0].id);
	// the rest of the chain loads from where it was cut
	load("T64");
	EXPECT_EQ(80u, edlist.size());  // T79 names a T80 that does not exist
}
