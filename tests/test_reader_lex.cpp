// The reader's lexical rules, numbers, and keywords whose values fall through to later keywords.
#include <climits>
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, WhitespaceOfEveryKindSeparatesTokens) {
	define("junk before\r\nENTITY\tA\r\nNAME\vFoo\fGROUP  G\r\n\r\nTYPE T IGNORE X IGNORES Y END_ENTITY\r\n");
	int result = 0;
	EXPECT_EQ(loadingLine("A"), load("A", &result));
	EXPECT_EQ(1, result);
	EntityData &a = get("A");
	EXPECT_EQ("A", a.id);
	EXPECT_EQ(file, a.filename);
	EXPECT_EQ("Foo", a.name);
	EXPECT_EQ("G", a.group);
	EXPECT_EQ("T", a.type);
	EXPECT_EQ((IntTable{{"X", 1}, {"Y", 1}}), a.ignore);
}

TEST_F(ReaderTest, EmptyBlockHasTheDefaults) {
	define("ENTITY A END_ENTITY");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ(1, a.w);
	EXPECT_EQ(1, a.h);
	EXPECT_EQ(1, a.life);
	EXPECT_EQ(1, a.maxlife);
	EXPECT_EQ(0, a.damage);
	EXPECT_EQ(0, a.xvel);
	EXPECT_EQ(0, a.yvel);
	EXPECT_EQ(0, a.priority);
	EXPECT_EQ(8, a.flags);
	EXPECT_EQ(nullptr, a.eprog);
	EXPECT_EQ(nullptr, a.onhit);
	EXPECT_TRUE(a.ignore.empty());
	EXPECT_TRUE(a.var.empty());
	EXPECT_TRUE(a.states.empty());
}

TEST_F(ReaderTest, NumbersReadLikeAtoi) {
	define("ENTITY A XLEN 0 YLEN 12abc XVEL -7 YVEL +3 LIFE abc MAXLIFE -x DAM 4-2 PRIORITY 007 END_ENTITY\n"
	       "ENTITY B WIDTH 5 HEIGHT 6 DAMAGE 2 END_ENTITY\n");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ(0, a.w);
	EXPECT_EQ(12, a.h);
	EXPECT_EQ(-7, a.xvel);
	EXPECT_EQ(3, a.yvel);
	EXPECT_EQ(0, a.life);
	EXPECT_EQ(0, a.maxlife);
	EXPECT_EQ(4, a.damage);
	EXPECT_EQ(7, a.priority);
	load("B");
	EXPECT_EQ(5, get("B").w);
	EXPECT_EQ(6, get("B").h);
	EXPECT_EQ(2, get("B").damage);
}

TEST_F(ReaderTest, NumbersOutsideTheIntRangeSaturate) {
	define("ENTITY A XLEN 2147483647 YLEN 2147483648 XVEL -2147483648 YVEL -2147483649 "
	       "LIFE 99999999999999999999999999 MAXLIFE -99999999999999999999999999 "
	       "PRIORITY 4294967297 DAMAGE 18446744073709551617x END_ENTITY");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ(INT_MAX, a.w);
	EXPECT_EQ(INT_MAX, a.h);
	EXPECT_EQ(INT_MIN, a.xvel);
	EXPECT_EQ(INT_MIN, a.yvel);
	EXPECT_EQ(INT_MAX, a.life);
	EXPECT_EQ(INT_MIN, a.maxlife);
	EXPECT_EQ(INT_MAX, a.priority);  // no wrap to 1
	EXPECT_EQ(INT_MAX, a.damage);
}

TEST_F(ReaderTest, VarReadsItsIntegerFromTheStream) {
	// the rest of a token after the number is the next token: here it is a NAME keyword
	define("ENTITY A VAR LIVES 3 VAR SHOTS -2 VAR LIVES 5 VAR P +4 VAR C 12NAME Joe "
	       "VAR BIG 99999999999999999999 VAR SMALL -2147483649 GROUP G END_ENTITY");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	IntTable expected = {{"LIVES", 5}, {"SHOTS", -2}, {"P", 4}, {"C", 12}, {"BIG", INT_MAX}, {"SMALL", INT_MIN}};
	EXPECT_EQ(expected, a.var);
	EXPECT_EQ("Joe", a.name);
	EXPECT_EQ("G", a.group);  // saturated values do not end the template
}

TEST_F(ReaderTest, VarWithoutNumberEndsTheTemplate) {
	define("ENTITY A NAME N VAR A abc LIFE 4 END_ENTITY\n"
	       "ENTITY B VAR X - 3 LIFE 4 END_ENTITY\n"
	       "ENTITY C VAR X\n");
	int result = 0;
	EXPECT_EQ(loadingLine("A") + "EntityData::readEnD: EOF encountered\n", load("A", &result));
	EXPECT_EQ(1, result);  // registered with what came before
	EXPECT_EQ("N", get("A").name);
	EXPECT_EQ(1, get("A").life);
	EXPECT_TRUE(get("A").var.empty());

	EXPECT_EQ(loadingLine("B") + "EntityData::readEnD: EOF encountered\n", load("B"));
	EXPECT_EQ(1, get("B").life);
	EXPECT_EQ(loadingLine("C") + "EntityData::readEnD: EOF encountered\n", load("C"));
	EXPECT_EQ("A B C", registered());
}

TEST_F(ReaderTest, MissingValuesAndMissingEnd) {
	define("ENTITY A LIFE 3 NAME");
	EXPECT_EQ(loadingLine("A") + "EntityData::readEnD: EOF encountered\n", load("A"));
	EXPECT_EQ(3, get("A").life);

	define("ENTITY B LIFE 3 NAME\n\n");
	EXPECT_EQ(loadingLine("B") + "EntityData::readEnD: EOF encountered\n", load("B"));

	// a block cut off at the end of the file is registered quietly, with or without a final line end
	define("ENTITY C LIFE 3 NAME Cee");
	int result = 0;
	EXPECT_EQ(loadingLine("C"), load("C", &result));
	EXPECT_EQ(1, result);
	EXPECT_EQ("Cee", get("C").name);
	define("ENTITY D LIFE 3 STATE S END_STATE\n");
	EXPECT_EQ(loadingLine("D") + "EntityData::readState: Reading state S\n", load("D"));
	EXPECT_EQ(1u, get("D").states.size());
}

TEST_F(ReaderTest, KeywordsAreCaseSensitive) {
	define("ENTITY A name Foo Life 3 name LIFE 4 group G end_entity WIDTH 2 END_ENTITY");
	EXPECT_EQ(loadingLine("A"), load("A"));
	EntityData &a = get("A");
	EXPECT_EQ("", a.name);
	EXPECT_EQ("", a.group);
	EXPECT_EQ(4, a.life);
	EXPECT_EQ(2, a.w);
}

TEST_F(ReaderTest, FlagsAddBits) {
	define("ENTITY A FLAG ENT_DIE_OOB_ENV END_ENTITY\n"
	       "ENTITY B FLAG ENT_INVULN FLAG ENT_MOV_OOB_ENV FLAG ENT_INVULN FLAG ENT_MOV_OOB_VPT END_ENTITY\n"
	       "ENTITY C FLAG ENT_BOGUS FLAG ent_invuln FLAG ENT_DIE_OOB_VPT END_ENTITY\n");
	load("A");
	EXPECT_EQ(12, get("A").flags);
	load("B");
	EXPECT_EQ(25, get("B").flags);
	EXPECT_EQ(loadingLine("C") + "EntityData::readEnD: Unknown entity flag: ENT_BOGUS\n"
	          "EntityData::readEnD: Unknown entity flag: ent_invuln\n", load("C"));
	EXPECT_EQ(10, get("C").flags);
}

TEST_F(ReaderTest, ValuesFallThroughToLaterKeywords) {
	define("ENTITY A NAME TYPE ENEMY END_ENTITY\n"
	       "ENTITY B NAME LIFE 5 END_ENTITY\n"
	       "ENTITY C GROUP NAME X TYPE NAME IGNORE VAR Q 2 END_ENTITY\n"
	       "ENTITY D VAR LIFE 3 7 VAR NAME 1 PRIORITY WIDTH 9 DAMAGE FLAG ENT_INVULN END_ENTITY\n"
	       "ENTITY E NAME END_ENTITY LIFE 9 END_ENTITY\n"
	       "ENTITY F FLAG STATE S END_STATE USES STATE T END_STATE END_ENTITY\n");
	load("A");
	EXPECT_EQ("TYPE", get("A").name);
	EXPECT_EQ("ENEMY", get("A").type);

	load("B");
	EXPECT_EQ("LIFE", get("B").name);
	EXPECT_EQ(5, get("B").life);

	// an earlier keyword as value does nothing more: X is skipped
	load("C");
	EntityData &c = get("C");
	EXPECT_EQ("NAME", c.group);
	EXPECT_EQ("", c.name);
	EXPECT_EQ("NAME", c.type);
	EXPECT_EQ((IntTable{{"VAR", 1}}), c.ignore);
	EXPECT_EQ((IntTable{{"Q", 2}}), c.var);

	// VAR's word takes the buffer's place, its integer does not
	load("D");
	EntityData &d = get("D");
	EXPECT_EQ((IntTable{{"LIFE", 3}, {"NAME", 1}}), d.var);
	EXPECT_EQ(7, d.life);
	EXPECT_EQ("", d.name);
	EXPECT_EQ(0, d.priority);
	EXPECT_EQ(9, d.w);
	EXPECT_EQ(0, d.damage);
	EXPECT_EQ(9, d.flags);

	// a value END_ENTITY ends the block
	int result = 0;
	load("E", &result);
	EXPECT_EQ(1, result);
	EXPECT_EQ("END_ENTITY", get("E").name);
	EXPECT_EQ(1, get("E").life);

	// FLAG's and USES's values act as STATE
	std::string err = load("F");
	EXPECT_EQ(loadingLine("F") + "EntityData::readEnD: Unknown entity flag: STATE\n"
	          "EntityData::readState: Reading state S\n"
	          "EntityData::readEnD: Loading dependency EData STATE\n" + loadingLine("STATE") +
	          "EntityData::readEnD: Returning to EData F\n"
	          "EntityData::readState: Reading state T\n", err);
	ASSERT_EQ(2u, get("F").states.size());
	EXPECT_EQ("S", get("F").states[0].name);
	EXPECT_EQ("T", get("F").states[1].name);
	EXPECT_EQ("A B C D E F", registered());  // no template STATE exists
}
