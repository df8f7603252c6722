// The world list, and entities that leave the world while a pass walks it.
#include "tests/test_entity_util.h"

// Behaviour that creates a Plain entity.
static int spawnPlain(void *p) {
	behaviourLog().push_back(((Entity *)p)->name + ":spawns");
	loadEntity("unused.dat", "Plain");
	return 1;
}

// Links a new unbound entity named n with priority p.
static Entity *link(const std::string &n, int p) {
	Entity *e = new Entity();
	e->name = n;
	e->priority = p;
	addEn(&elist, e);
	return e;
}

typedef EntityTest World;

TEST_F(World, LinkingByPriorityAndRemoval) {
	Entity *a = link("A", 5);
	link("B", 3);
	Entity *c = link("C", 5);  // before others of equal priority
	link("Low", -1);
	Entity *high = link("High", 99);
	EXPECT_EQ(worldNames(), "Low B C A High");

	remEn(&elist, elist);  // the head
	remEn(&elist, high);   // the last
	EXPECT_EQ(worldNames(), "B C A");
	EXPECT_EQ(graveyardSize(), 2);

	// Not in the list: nothing changes, nothing is destroyed.
	Entity stray;
	Entity *empty = nullptr;
	remEn(&elist, &stray);
	remEn(&elist, high);
	remEn(&empty, a);
	remEn(nullptr, a);
	EXPECT_EQ(num_entities, 3);
	EXPECT_EQ(graveyardSize(), 2);
	EXPECT_FALSE(stray.removed);

	// A removed entity keeps its next; worldNext walks on to the first one still linked.
	Entity *e = link("E", 6);
	Entity *f = link("F", 7);
	remEn(&elist, c);
	EXPECT_EQ(c->next, a);
	EXPECT_EQ(worldNext(c), a);
	remEn(&elist, a);
	remEn(&elist, e);
	EXPECT_EQ(worldNext(c), f);
	remEn(&elist, f);
	EXPECT_EQ(worldNext(c), nullptr);
	EXPECT_EQ(worldNames(), "B");
	reapEntities();
	EXPECT_EQ(graveyardSize(), 0);
	EXPECT_EQ(num_entities, 1);
}

TEST_F(World, EntitiesLeavingDuringAnAnimationPass) {
	Frame first = makeFrame("a0", 0);
	oneState("Self", {first, makeFrame("a1", 0, removeSelf)}, 1);
	oneState("SelfExit", {makeFrame("a0", 0, nullptr, removeSelf), makeFrame("a1", 0, logEnter)}, 2);
	oneState("Killer", {first, makeFrame("a1", 0, killVictims)}, 3);
	oneState("Victim", {first, makeFrame("a1", 0, logEnter)}, 4);
	oneState("Spawner", {first, makeFrame("a1", 0, spawnPlain)}, 5);
	oneState("Plain", {first, makeFrame("a1", 0, logEnter)}, 9);
	oneState("Early", {first, makeFrame("a1", 0, logEnter)}, 0);
	oneState("Last", {first, makeFrame("a1", 0, logEnter)}, 9);
	loadEntity("unused.dat", "Last");
	Entity *early = loadEntity("unused.dat", "Early");  // handled before the killer, removed by it afterwards
	loadEntity("unused.dat", "Self");
	Entity *selfExit = loadEntity("unused.dat", "SelfExit");
	Entity *killer = loadEntity("unused.dat", "Killer");
	Entity *v1 = loadEntity("unused.dat", "Victim");
	Entity *v2 = loadEntity("unused.dat", "Victim");
	loadEntity("unused.dat", "Spawner");
	EXPECT_EQ(worldNames(), "Early Self SelfExit Killer Victim Victim Spawner Last");
	victims = {v1, early, killer, v2};

	// One pass as the main loop makes it. The Plain made by the spawner is linked in behind
	// it, before Last, and is reached; nothing is touched after its removal.
	for (Entity *e = elist; e; e = worldNext(e)) {
		e->addAnimPhase(1);
	}
	EXPECT_EQ(behaviourLog(), Log({"Early:a1", "Self:gone", "SelfExit:gone", "Killer:kills", "Spawner:spawns", "Plain:a1", "Last:a1"}));
	EXPECT_EQ(selfExit->curframe, 0u);
	EXPECT_EQ(v2->framectr, 0);
	EXPECT_EQ(graveyardSize(), 6);
	EXPECT_EQ(num_entities, 3);
	EXPECT_EQ(worldNames(), "Spawner Plain Last");
}
