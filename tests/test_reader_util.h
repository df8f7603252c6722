// Helpers for the reader tests: a definition file in a temporary folder, loads with their messages.
#ifndef TESTS_TEST_READER_UTIL_H
#define TESTS_TEST_READER_UTIL_H

#include <gtest/gtest.h>
#include <string>
#include "entity/entitydata.h"
#include "tests/support/testsupport.h"

// The lines the reader writes most often.
inline std::string loadingLine(const std::string &id) { return "EntityData::loadEnD: Loading EData " + id + "\n"; }
inline std::string stateLine(const std::string &s) { return "EntityData::readState: Reading state " + s + "\n"; }
static const std::string EOF_LINE = "EntityData::readEnD: EOF encountered\n";

// Releases the bitmaps of every registered frame, then empties the registry.
inline void clearRegistry() {
	freeEdListBitmaps(edlist);
	edlist.clear();
}

// A clean registry, a filled flag table and an empty behaviour table around every test.
class ReaderTest : public ::testing::Test {
protected:
	TempDir dir;
	std::string file;

	void SetUp() override {
		clearRegistry();
		ent_flags_table.clear();
		buildEFlags();
		ent_fun_table.clear();
	}
	void TearDown() override { SetUp(); }

	void define(const std::string &text) { file = dir.write("entity.dat", text); }

	// Runs addEnD for id and returns what it wrote to standard error; *result gets its result.
	std::string load(const std::string &id, int *result = nullptr) {
		Capture err(2);
		int r = addEnD(file, id);
		if (result != nullptr) {
			*result = r;
		}
		return err.finish();
	}

	// The registered template of this id; fails the test when there is none.
	EntityData &get(const std::string &id) {
		static EntityData none;
		EntityData *d = getEData(id, edlist);
		EXPECT_NE(nullptr, d) << id << " is not registered";
		return d != nullptr ? *d : none;
	}

	// The ids of the registry in order, joined by blanks.
	std::string registered() {
		std::string s;
		for (size_t i = 0; i < edlist.size(); i++) {
			s += (i ? " " : "") + edlist[i].id;
		}
		return s;
	}
};

#endif
