// Spawn lists: when queued entities appear, where, and what happens to records that fail
// (a missing template gives no entity).
#include "tests/test_entity_util.h"

class Spawn : public EntityTest {
protected:
	Entity gun;
	void SetUp() override {
		resetWorld();
		oneState("Gun", {makeFrame("g0", 0)});
		oneState("Shot", {makeFrame("s0", 0)});
		gun.initTo("Gun");
	}

	// Queues relative Shots with these delays, then the cycles (1-based) of `calls` phases of n
	// on which each new entity appeared.
	std::vector<int> firing(std::vector<int> delays, int calls, int n = 1) {
		for (size_t i = 0; i < delays.size(); i++) {
			gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, delays[i]);
		}
		std::vector<int> fired;
		for (int c = 1; c <= calls; c++) {
			int before = num_entities;
			gun.addPhase(n);
			fired.insert(fired.end(), num_entities - before, c);
		}
		return fired;
	}
};

TEST_F(Spawn, RecordsFireAfterTheirDelayInTurn) {
	EXPECT_EQ(firing({3}, 5), std::vector<int>({3}));
	EXPECT_EQ(firing({0}, 2), std::vector<int>({1}));
	EXPECT_EQ(firing({1}, 2), std::vector<int>({1}));
	EXPECT_EQ(firing({0, 1}, 3), std::vector<int>({1, 2}));
	EXPECT_EQ(firing({0, 0, 0}, 1), std::vector<int>({1, 1, 1}));
	// a big step fires everything due, but carries nothing over to the record behind
	EXPECT_EQ(firing({1, 1}, 1, 5), std::vector<int>({1, 1}));
	EXPECT_EQ(firing({1, 3}, 1, 5), std::vector<int>({1}));
	EXPECT_EQ(gun.slist->delay, 2);
	EXPECT_EQ(firing({}, 2), std::vector<int>({2}));
	EXPECT_EQ(gun.ctr, 5 + 2 + 2 + 3 + 1 + 5 + 5 + 2);

	// records due together fire in queuing order; equal priority puts the last one first
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Gun", 0, 0, 0, 0, 0);
	gun.addPhase(1);
	EXPECT_EQ(elist->id, "Gun");
	EXPECT_EQ(elist->next->id, "Shot");
}

// Place and velocity of the newest entity.
static std::vector<int> placed() {
	return {elist->x, elist->y, elist->xvel, elist->yvel};
}

TEST_F(Spawn, PlacesAndVelocities) {
	Env field;
	gun.env = &field;
	gun.x = 400;
	gun.y = 900;
	gun.addSpawnR("unused.dat", "Shot", 1, -36, 0, -20000, 2);
	gun.addPhase(1);
	// taken from the spawner as it is when the record fires, not when it was queued
	gun.xvel = 1000;
	gun.yvel = 7;
	gun.x = 10;
	gun.addPhase(1);
	EXPECT_EQ(placed(), std::vector<int>({11, 864, 1000, -19993}));
	EXPECT_EQ(elist->env, &field);
	gun.addSpawn("unused.dat", "Shot", 33, 44, 55, 66, 0);
	gun.addPhase(1);
	EXPECT_EQ(placed(), std::vector<int>({33, 44, 55, 66}));
}

TEST_F(Spawn, FailingRecordsAreDroppedAndOthersGoOn) {
	TempDir dir;
	std::string missing = dir.at("missing.dat");
	gun.addSpawnR(missing, "Nope", 0, 0, 0, 0, 0);
	gun.addSpawnR("", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	Capture err(2);
	EXPECT_EQ(firing({2}, 3), std::vector<int>({1, 3}));
	std::string text = err.finish();
	std::string line = "Entity::spawn(): Gun: Could not load " + missing + ", ID Nope\n";
	EXPECT_EQ(text.find("Entity::loadEn: EData (Nope) not found, loading...\n"), 0u);
	EXPECT_NE(text.find("Entity::initTo: Could not find EntityData: Nope\n"), std::string::npos);
	ASSERT_GE(text.size(), line.size());
	EXPECT_EQ(text.find("Entity::spawn()"), text.size() - line.size());
}
