// The game's own definition file: every template in it reads cleanly, with its images.
#include <fstream>
#include "entity/ef_def.h"
#include "tests/test_reader_util.h"

TEST_F(ReaderTest, TheGameDataFileReadsCleanly) {
	file = "data/entity.dat";
	std::ifstream in(file.c_str());
	ASSERT_TRUE(in.is_open());
	ASSERT_NE(nullptr, headlessVideo());
	buildEFuncs();
	std::string tok;
	while (in >> tok) {
		// every candidate id the reader's scan would see
		if (tok != "ENTITY" || !(in >> tok)) {
			continue;
		}
		std::string err = load(tok);
		for (const char *bad : {"Unrecognized", "Unknown", "Could not", "not found", "EOF", "Aborted", "FAILED"}) {
			EXPECT_EQ(std::string::npos, err.find(bad)) << tok << ":\n" << err;
		}
		EntityData *d = getEData(tok, edlist);
		ASSERT_NE(nullptr, d) << tok;
		// entities start in the first state at its first frame, and go on to states and frames that exist
		ASSERT_FALSE(d->states.empty()) << tok;
		EXPECT_FALSE(d->states[0].frames.empty()) << tok;
		for (const State &s : d->states) {
			bool next = s.loop >= 0;
			for (const State &t : d->states) {
				next = next || t.name == s.nextState;
			}
			EXPECT_TRUE(next && (s.loop < 0 || (size_t)s.loop < s.frames.size())) << tok << " " << s.name;
		}
	}
	EXPECT_EQ("Player Shot Bullet Tank Helicopter", registered());
}
