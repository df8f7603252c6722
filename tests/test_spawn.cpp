// Spawn lists: when queued entities appear, where, and what happens to records that fail.
#include <gtest/gtest.h>
#include "entity/entity.h"
#include "tests/support/testsupport.h"
#include "tests/test_entity_util.h"

class Spawn : public ::testing::Test {
protected:
	Entity gun;
	void SetUp() override {
		resetWorld();
		registerTemplate("Gun", {makeState("A", 0, "", {makeFrame("g0", 0)})});
		registerTemplate("Shot", {makeState("A", 0, "", {makeFrame("s0", 0)})});
		registerTemplate("Shot2", {makeState("A", 0, "", {makeFrame("s0", 0)})});
		registerTemplate("Shot3", {makeState("A", 0, "", {makeFrame("s0", 0)})});
		gun.initTo("Gun");
	}
	void TearDown() override { resetWorld(); }
};

// The game cycle (1-based) on which each of n phase calls first made new entities appear.
static std::vector<int> firingCycles(Entity *e, int calls, int n = 1) {
	std::vector<int> fired;
	for (int c = 1; c <= calls; c++) {
		int before = num_entities;
		e->addPhase(n);
		for (int k = before; k < num_entities; k++) {
			fired.push_back(c);
		}
	}
	return fired;
}

TEST_F(Spawn, PhaseAgesTheEntity) {
	gun.addPhase(1);
	gun.addPhase(5);
	EXPECT_EQ(gun.ctr, 6);
	EXPECT_EQ(num_entities, 0);
}

TEST_F(Spawn, SingleRecordsFireAfterTheirDelay) {
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 3);
	EXPECT_EQ(firingCycles(&gun, 5), std::vector<int>({3}));
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	EXPECT_EQ(firingCycles(&gun, 2), std::vector<int>({1}));
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 1);
	EXPECT_EQ(firingCycles(&gun, 2), std::vector<int>({1}));
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, -4);
	EXPECT_EQ(firingCycles(&gun, 2), std::vector<int>({1}));
	EXPECT_EQ(gun.slist, nullptr);
	EXPECT_EQ(gun.ctr, 11);
}

TEST_F(Spawn, QueuedRecordsFireInTurn) {
	// Delays 0 and 1 queued together: one cycle apart.
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 1);
	EXPECT_EQ(firingCycles(&gun, 3), std::vector<int>({1, 2}));

	// Three at once, in queuing order; equal priority puts the last one first in the world.
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot2", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot3", 0, 0, 0, 0, 0);
	int before = num_entities;
	gun.addPhase(1);
	EXPECT_EQ(num_entities, before + 3);
	EXPECT_EQ(elist->id, "Shot3");
	EXPECT_EQ(elist->next->id, "Shot2");
	EXPECT_EQ(elist->next->next->id, "Shot");

	// A big step fires everything due, but carries nothing over to the record behind.
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 1);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 1);
	EXPECT_EQ(firingCycles(&gun, 1, 5), std::vector<int>({1, 1}));
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 1);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 3);
	EXPECT_EQ(firingCycles(&gun, 1, 5), std::vector<int>({1}));
	ASSERT_NE(gun.slist, nullptr);
	EXPECT_EQ(gun.slist->delay, 2);
	gun.addPhase(1);
	EXPECT_EQ(gun.slist->delay, 1);
	EXPECT_EQ(firingCycles(&gun, 1), std::vector<int>({1}));
}

TEST_F(Spawn, PlacesAndVelocities) {
	Env field;
	gun.env = &field;
	gun.x = 400;
	gun.y = 900;
	gun.addSpawnR("unused.dat", "Shot", 1, -36, 0, -20000, 0);
	gun.addPhase(1);
	ASSERT_NE(elist, nullptr);
	EXPECT_EQ(elist->x, 401);
	EXPECT_EQ(elist->y, 864);
	EXPECT_EQ(elist->xvel, 0);
	EXPECT_EQ(elist->yvel, -20000);
	EXPECT_EQ(elist->env, &field);

	// Taken from the spawner as it is when the record fires, not when it was queued.
	gun.addSpawnR("unused.dat", "Shot", 1, -36, 0, -20000, 2);
	gun.addPhase(1);
	gun.xvel = 1000;
	gun.yvel = 7;
	gun.x = 10;
	gun.addPhase(1);
	EXPECT_EQ(elist->x, 11);
	EXPECT_EQ(elist->xvel, 1000);
	EXPECT_EQ(elist->yvel, -19993);

	gun.addSpawn("unused.dat", "Shot", 33, 44, 55, 66, 0);
	gun.addPhase(1);
	EXPECT_EQ(elist->x, 33);
	EXPECT_EQ(elist->y, 44);
	EXPECT_EQ(elist->xvel, 55);
	EXPECT_EQ(elist->yvel, 66);
}

TEST_F(Spawn, FailingRecordsAreDroppedAndOthersGoOn) {
	TempDir dir;
	std::string missing = dir.at("missing.dat");
	gun.addSpawnR(missing, "Nope", 0, 0, 0, 0, 0);
	gun.addSpawnR("", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 0);
	gun.addSpawnR("unused.dat", "Shot", 0, 0, 0, 0, 2);
	Capture err(2);
	gun.addPhase(1);
	std::string text = err.finish();
	std::string line = "Entity::spawn(): GunName: Could not load " + missing + ", ID Nope\n";
	ASSERT_GE(text.size(), line.size());
	EXPECT_EQ(text.substr(text.size() - line.size()), line);
	EXPECT_EQ(text.find("Entity::spawn()"), text.size() - line.size());
	EXPECT_EQ(num_entities, 1);
	EXPECT_EQ(firingCycles(&gun, 2), std::vector<int>({2}));
}
