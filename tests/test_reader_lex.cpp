// The reader's lexical rules, numbers, and keywords whose values fall through to later keywords.
#include <climits>
#include <vector>
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, TokensAndDefaults) {
	// keywords are case-sensitive: the others are skipped as unknown words
	define("junk before\r\nENTITY\tA\r\nNAME\vFoo\fname Bar GROUP  G\r\n\r\nTYPE T IGNORE X IGNORES Y "
	       "end_entity LIFE 4 END_ENTITY\r\nENTITY B END_ENTITY\n");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ(file, a.filename);
	EXPECT_EQ("Foo G T", a.name + " " + a.group + " " + a.type);
	EXPECT_EQ((IntTable{{"X", 1}, {"Y", 1}}), a.ignore);
	EXPECT_EQ(4, a.life);

	load("B");
	EntityData &b = get("B");
	EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 0, ENT_MOV_OOB_VPT}),
	          (std::vector<int>{b.w, b.h, b.life, b.maxlife, b.damage, b.flags}));
}

TEST_F(ReaderTest, NumbersReadLikeAtoiAndSaturate) {
	define("ENTITY A XLEN 0 YLEN 12abc XVEL -7 YVEL +3 LIFE abc MAXLIFE -x DAM 4-2 PRIORITY 007 END_ENTITY\n"
	       "ENTITY B WIDTH 2147483647 HEIGHT 2147483648 XVEL -2147483648 YVEL -2147483649 "
	       "LIFE 99999999999999999999999999 MAXLIFE -99999999999999999999999999 "
	       "PRIORITY 4294967297 DAMAGE 18446744073709551617x END_ENTITY");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ((std::vector<int>{0, 12, -7, 3, 0, 0, 4, 7}),
	          (std::vector<int>{a.w, a.h, a.xvel, a.yvel, a.life, a.maxlife, a.damage, a.priority}));
	EXPECT_EQ(loadingLine("B"), load("B"));
	EntityData &b = get("B");
	// PRIORITY 2^32 + 1 must not wrap to 1
	EXPECT_EQ((std::vector<int>{INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MAX}),
	          (std::vector<int>{b.w, b.h, b.xvel, b.yvel, b.life, b.maxlife, b.damage, b.priority}));
}

TEST_F(ReaderTest, VarReadsItsIntegerFromTheStream) {
	// the rest of a token after the number is the next token: here it is a NAME keyword
	define("ENTITY A VAR LIVES 3 VAR SHOTS -2 VAR LIVES 5 VAR P +4 VAR C 12NAME Joe "
	       "VAR BIG 99999999999999999999 VAR SMALL -2147483649 GROUP G END_ENTITY\n"
	       "ENTITY B VAR A abc LIFE 4 END_ENTITY\n"
	       "ENTITY C VAR X - 3 LIFE 4 END_ENTITY\n"
	       "ENTITY D LIFE 3 NAME");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	IntTable expected = {{"LIVES", 5}, {"SHOTS", -2}, {"P", 4}, {"C", 12}, {"BIG", INT_MAX}, {"SMALL", INT_MIN}};
	EXPECT_EQ(expected, a.var);
	EXPECT_EQ("Joe", a.name);
	EXPECT_EQ("G", a.group);  // saturated values do not end the template

	// a missing value ends the template, which is registered with what came before
	for (const char *id : {"B", "C", "D"}) {
		int result = 0;
		EXPECT_EQ(loadingLine(id) + EOF_LINE, load(id, &result));
		EXPECT_EQ(1, result);
		EXPECT_TRUE(get(id).var.empty()) << id;
	}
	EXPECT_EQ(1, get("C").life);
	EXPECT_EQ(3, get("D").life);

	// a block cut off at the end of the file is registered quietly
	define("ENTITY E STATE S END_STATE\n");
	EXPECT_EQ(loadingLine("E") + stateLine("S"), load("E"));
	EXPECT_EQ(1u, get("E").states.size());
}

TEST_F(ReaderTest, ValuesFallThroughToLaterKeywords) {
	define("ENTITY A NAME TYPE ENEMY END_ENTITY\n"
	       "ENTITY C GROUP NAME X TYPE NAME IGNORE VAR Q 2 END_ENTITY\n"
	       "ENTITY D VAR LIFE 3 7 VAR NAME 1 PRIORITY WIDTH 9 DAMAGE FLAG ENT_INVULN FLAG ENT_INVULN END_ENTITY\n"
	       "ENTITY E NAME END_ENTITY LIFE 9 END_ENTITY\n"
	       "ENTITY F FLAG STATE S END_STATE USES STATE T END_STATE END_ENTITY\n");
	load("A");
	EXPECT_EQ("TYPE ENEMY", get("A").name + " " + get("A").type);

	// an earlier keyword as value does nothing more: X is skipped
	load("C");
	EntityData &c = get("C");
	EXPECT_EQ("NAME  NAME", c.group + " " + c.name + " " + c.type);
	EXPECT_EQ((IntTable{{"VAR", 1}}), c.ignore);
	EXPECT_EQ((IntTable{{"Q", 2}}), c.var);

	// VAR's word takes the buffer's place, its integer does not; flags add bits once
	load("D");
	EntityData &d = get("D");
	EXPECT_EQ((IntTable{{"LIFE", 3}, {"NAME", 1}}), d.var);
	EXPECT_EQ("", d.name);
	EXPECT_EQ((std::vector<int>{7, 0, 9, 0, 9}), (std::vector<int>{d.life, d.priority, d.w, d.damage, d.flags}));

	// a value END_ENTITY ends the block
	int result = 0;
	load("E", &result);
	EXPECT_EQ(1, result);
	EXPECT_EQ("END_ENTITY", get("E").name);
	EXPECT_EQ(1, get("E").life);

	// FLAG's and USES's values act as STATE
	EXPECT_EQ(loadingLine("F") + "EntityData::readEnD: Unknown entity flag: STATE\n" + stateLine("S") +
	          "EntityData::readEnD: Loading dependency EData STATE\n" + loadingLine("STATE") +
	          "EntityData::readEnD: Returning to EData F\n" + stateLine("T"), load("F"));
	ASSERT_EQ(2u, get("F").states.size());
	EXPECT_EQ("T", get("F").states[1].name);
	EXPECT_EQ("A C D E F", registered());  // no template STATE exists
}
