// The game's own definition file: every template in it reads cleanly, with its images.
#include <fstream>
#include <sstream>
#include "tests/test_reader_util.h"

static int efStub(void *) {
	return 0;
}

// The twelve behaviour names the game binds; stubs stand in for them here.
static const char *behaviourNames[] = {
	"EF_FIRE_AIMED", "EF_FIRE_SPREAD", "EF_FIRE_LINE", "EF_FIRE_LEAD", "EF_FIRE_LINEWAVE", "EF_DIE",
	"EF_NOHIT", "EF_PLAYER_DIE", "EF_PLAYER_GONE", "EF_PLAYER_INVULN_ENTER", "EF_PLAYER_INVULN_EXIT", "EF_GEN",
};

TEST_F(ReaderTest, TheGameDataFileReadsCleanly) {
	const std::string path = "data/entity.dat";
	std::ifstream in(path.c_str());
	if (!in.is_open()) {
		GTEST_SKIP() << path << " is not there yet";
	}
	ASSERT_NE(nullptr, headlessVideo());
	for (size_t i = 0; i < sizeof(behaviourNames) / sizeof(behaviourNames[0]); i++) {
		ent_fun_table[behaviourNames[i]] = efStub;
	}
	// every candidate id the reader's scan would see
	std::vector<std::string> ids;
	std::string tok;
	while (in >> tok) {
		if (tok == "ENTITY" && in >> tok) {
			ids.push_back(tok);
		}
	}
	ASSERT_FALSE(ids.empty());

	file = path;
	for (size_t i = 0; i < ids.size(); i++) {
		SCOPED_TRACE(ids[i]);
		std::string err = load(ids[i]);
		// only the loading lines of the template and its dependencies, and the frames' images
		std::istringstream lines(err);
		std::string line;
		while (std::getline(lines, line)) {
			bool fine = line.rfind("EntityData::loadEnD: Loading EData ", 0) == 0 ||
			            line.rfind("EntityData::readEnD: Loading dependency EData ", 0) == 0 ||
			            line.rfind("EntityData::readEnD: Returning to EData ", 0) == 0 ||
			            line.rfind("EntityData::readState: Reading state ", 0) == 0 ||
			            line.rfind("EntityData::readFrame: Loading frame ", 0) == 0 ||
			            line.find(" EntityData already exists") != std::string::npos;
			EXPECT_TRUE(fine) << line;
		}
		EntityData *d = getEData(ids[i], edlist);
		ASSERT_NE(nullptr, d);
		// entities start in the first state at its first frame
		ASSERT_FALSE(d->states.empty());
		EXPECT_FALSE(d->states[0].frames.empty());
		for (size_t s = 0; s < d->states.size(); s++) {
			if (d->states[s].loop < 0) {
				bool known = false;
				for (size_t t = 0; t < d->states.size(); t++) {
					known = known || d->states[t].name == d->states[s].nextState;
				}
				EXPECT_TRUE(known) << d->states[s].name << " goes on to a missing state " << d->states[s].nextState;
			} else {
				EXPECT_LT((size_t)d->states[s].loop, d->states[s].frames.size()) << d->states[s].name;
			}
			for (size_t f = 0; f < d->states[s].frames.size(); f++) {
				Frame &fr = d->states[s].frames[f];
				EXPECT_TRUE(fr.name == "<none>" || fr.bitmap != nullptr) << fr.name;
			}
		}
	}
	// the start-up templates are all there
	EXPECT_NE(nullptr, getEData("Player", edlist));
	EXPECT_NE(nullptr, getEData("Tank", edlist));
	EXPECT_NE(nullptr, getEData("Helicopter", edlist));
}
