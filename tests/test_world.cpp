// The world list, the factory, and entities that leave the world while passes walk it.
#include <gtest/gtest.h>
#include "entity/entity.h"
#include "tests/support/testsupport.h"
#include "tests/test_entity_util.h"

static std::vector<Entity *> victims;  // whom killVictims removes

static int logEnter(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":" + e->frame->name);
	return 1;
}

static int removeSelf(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":gone");
	remEn(&elist, e);
	return 1;
}

static int killVictims(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":kills");
	for (size_t i = 0; i < victims.size(); i++) {
		remEn(&elist, victims[i]);
	}
	return 1;
}

static int spawnPlain(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":spawns");
	loadEntity("unused.dat", "Plain");
	return 1;
}

class World : public ::testing::Test {
protected:
	void SetUp() override { resetWorld(); }
	void TearDown() override {
		resetWorld();
		victims.clear();
	}
};

// A heap entity named n with priority p, not linked.
static Entity *named(const std::string &n, int p) {
	Entity *e = new Entity();
	e->name = n;
	e->priority = p;
	return e;
}

TEST_F(World, LinkingKeepsPriorityOrder) {
	Entity *a = named("A", 5);
	addEn(&elist, a);
	EXPECT_EQ(elist, a);
	EXPECT_EQ(a->next, nullptr);
	EXPECT_EQ(num_entities, 1);
	addEn(&elist, named("B", 3));
	addEn(&elist, named("C", 5));
	EXPECT_EQ(worldNames(), "B C A");
	addEn(&elist, named("Low", -1));
	addEn(&elist, named("High", 99));
	EXPECT_EQ(worldNames(), "Low B C A High");
	EXPECT_EQ(num_entities, 5);
	EXPECT_EQ(worldNext(a)->name, "High");
	EXPECT_EQ(worldNext(nullptr), nullptr);
}

TEST_F(World, RemovalUnlinksAtOnceAndDestroysLater) {
	Entity *a = named("A", 1);
	Entity *b = named("B", 2);
	Entity *c = named("C", 3);
	Entity *d = named("D", 4);
	addEn(&elist, a);
	addEn(&elist, b);
	addEn(&elist, c);
	addEn(&elist, d);
	remEn(&elist, a);  // the head
	EXPECT_EQ(elist, b);
	remEn(&elist, d);  // the last
	EXPECT_EQ(c->next, nullptr);
	EXPECT_EQ(num_entities, 2);
	EXPECT_TRUE(a->removed);
	EXPECT_EQ(graveyardSize(), 2);

	// Not in the list: nothing changes, nothing is destroyed.
	Entity *stray = named("Stray", 0);
	remEn(&elist, stray);
	remEn(&elist, a);
	Entity *empty = nullptr;
	remEn(&empty, b);
	remEn(nullptr, b);
	EXPECT_EQ(num_entities, 2);
	EXPECT_EQ(graveyardSize(), 2);
	EXPECT_FALSE(stray->removed);
	EXPECT_EQ(worldNames(), "B C");
	delete stray;

	// A removed entity keeps its next; worldNext walks on to the first one still linked.
	Entity *e = named("E", 5);
	Entity *f = named("F", 6);
	addEn(&elist, e);
	addEn(&elist, f);
	remEn(&elist, c);
	EXPECT_EQ(c->next, e);
	EXPECT_EQ(worldNext(c), e);
	remEn(&elist, e);
	EXPECT_EQ(worldNext(c), f);
	remEn(&elist, f);
	EXPECT_EQ(worldNext(c), nullptr);
	EXPECT_EQ(worldNames(), "B");
	reapEntities();
	EXPECT_EQ(graveyardSize(), 0);
	EXPECT_EQ(num_entities, 1);
}

TEST_F(World, FactoryLoadsMissingTemplatesOnce) {
	TempDir dir;
	std::string file = dir.write("entity.dat", "ENTITY Rock NAME Stone PRIORITY 4 STATE S FRAME NONE DELAY 2 END_FRAME END_STATE END_ENTITY\n");
	Env field;

	Capture err(2);
	Entity *none = loadEntity(file, "Nope", &field);
	std::string text = err.finish();
	EXPECT_EQ(none, nullptr);
	EXPECT_EQ(text.find("Entity::loadEn: EData (Nope) not found, loading...\n"), 0u);
	EXPECT_NE(text.find("Entity::initTo: Could not find EntityData: Nope\n"), std::string::npos);
	EXPECT_EQ(elist, nullptr);
	EXPECT_EQ(num_entities, 0);

	Capture err2(2);
	Entity *rock = loadEntity(file, "Rock", &field);
	text = err2.finish();
	ASSERT_NE(rock, nullptr);
	EXPECT_EQ(text.find("Entity::loadEn: EData (Rock) not found, loading...\n"), 0u);
	EXPECT_EQ(elist, rock);
	EXPECT_EQ(rock->env, &field);
	EXPECT_EQ(rock->name, "Stone");
	EXPECT_EQ(rock->priority, 4);
	EXPECT_EQ(rock->x, 100);
	EXPECT_EQ(rock->getState(), "S");

	Capture err3(2);
	Entity *again = loadEntity(file, "Rock");
	EXPECT_EQ(err3.finish(), "");
	ASSERT_NE(again, nullptr);
	EXPECT_EQ(again->env, nullptr);
	EXPECT_EQ(again->data, rock->data);
	EXPECT_EQ(num_entities, 2);
	EXPECT_EQ(elist, again);
}

// One animation pass as the main loop walks the world.
static void animationPass() {
	for (Entity *e = elist; e; e = worldNext(e)) {
		if (e->removed) {
			continue;
		}
		e->addAnimPhase(1);
	}
}

TEST_F(World, EntitiesLeavingDuringAnAnimationPass) {
	Frame first = makeFrame("a0", 0);
	registerTemplate("Self", {makeState("A", 0, "", {first, makeFrame("a1", 0, removeSelf)})})->priority = 1;
	registerTemplate("SelfExit", {makeState("A", 0, "", {makeFrame("a0", 0, nullptr, removeSelf), makeFrame("a1", 0, logEnter)})})->priority = 2;
	registerTemplate("Killer", {makeState("A", 0, "", {first, makeFrame("a1", 0, killVictims)})})->priority = 3;
	registerTemplate("Victim", {makeState("A", 0, "", {first, makeFrame("a1", 0, logEnter)})})->priority = 4;
	registerTemplate("Spawner", {makeState("A", 0, "", {first, makeFrame("a1", 0, spawnPlain)})})->priority = 5;
	registerTemplate("Plain", {makeState("A", 0, "", {first, makeFrame("a1", 0, logEnter)})})->priority = 9;

	Entity *early = spawnLinked("Plain", 0);  // handled before the killer, removed by it afterwards
	early->name = "Early";
	Entity *self = loadEntity("unused.dat", "Self");
	Entity *selfExit = loadEntity("unused.dat", "SelfExit");
	Entity *killer = loadEntity("unused.dat", "Killer");
	Entity *v1 = loadEntity("unused.dat", "Victim");
	Entity *v2 = loadEntity("unused.dat", "Victim");
	loadEntity("unused.dat", "Spawner");
	Entity *last = loadEntity("unused.dat", "Plain");
	last->name = "Last";
	EXPECT_EQ(worldNames(), "Early SelfName SelfExitName KillerName VictimName VictimName SpawnerName Last");
	victims = {v1, early, killer, v2};
	int before = num_entities;

	animationPass();
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"Early:a1", "SelfName:gone", "SelfExitName:gone", "KillerName:kills",
	                                                     "SpawnerName:spawns", "PlainName:a1", "Last:a1"}));
	// Nothing was touched after its removal.
	EXPECT_EQ(selfExit->frame->name, "a0");
	EXPECT_EQ(selfExit->curframe, 0u);
	EXPECT_EQ(v1->curframe, 0u);
	EXPECT_EQ(v2->framectr, 0);
	EXPECT_EQ(self->curframe, 1u);
	EXPECT_EQ(graveyardSize(), 6);
	EXPECT_EQ(num_entities, before - 6 + 1);
	EXPECT_EQ(worldNames(), "SpawnerName PlainName Last");
	reapEntities();

	// The survivors go on in the next pass.
	behaviourLog().clear();
	animationPass();
	animationPass();
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"SpawnerName:spawns", "PlainName:a1", "PlainName:a1", "Last:a1"}));
	reapEntities();
}

// One collision pass as the main loop walks the world: each pair once, the earlier as receiver.
static void collisionPass() {
	for (Entity *a = elist; a; a = worldNext(a)) {
		if (a->removed) {
			continue;
		}
		for (Entity *b = worldNext(a); b && !a->removed; b = worldNext(b)) {
			if (a->collide(b)) {
				a->doCollision(b);
			}
		}
	}
}

TEST_F(World, EntitiesLeavingDuringACollisionPass) {
	registerTemplate("Plain", {makeState("A", 0, "", {makeFrame("a0", 0)})})->priority = 1;
	registerTemplate("Self", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, removeSelf)})})->priority = 2;
	registerTemplate("Tough", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, logEnter)})})->priority = 3;
	Entity *x = loadEntity("unused.dat", "Plain");
	Entity *y = loadEntity("unused.dat", "Self");
	Entity *z = loadEntity("unused.dat", "Tough");
	Entity *w = loadEntity("unused.dat", "Tough");
	x->group = "A";
	for (Entity *e = elist; e; e = e->next) {
		e->damage = 1;
	}
	w->x = 500;  // far away

	Capture err(2);
	collisionPass();
	EXPECT_EQ(err.finish(), "Entity::setState: PlainName has no \"DEATH\" state\n");
	EXPECT_TRUE(x->removed);
	EXPECT_TRUE(y->removed);
	EXPECT_EQ(z->life, 1);  // never met the two that were gone
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"SelfName:gone"}));
	EXPECT_EQ(worldNames(), "ToughName ToughName");
	EXPECT_EQ(num_entities, 2);
	reapEntities();
	(void)w;
}

TEST_F(World, ManyCyclesOfSpawningAndRemoval) {
	registerTemplate("Self", {makeState("A", 0, "", {makeFrame("a0", 1), makeFrame("a1", 0, removeSelf)})});
	registerTemplate("Spawner", {makeState("A", 0, "", {makeFrame("a0", 0, spawnPlain)})})->priority = -1;
	registerTemplate("Plain", {makeState("A", 0, "", {makeFrame("a0", 0), makeFrame("a1", 0, removeSelf)})});
	loadEntity("unused.dat", "Spawner");
	for (int cycle = 0; cycle < 50; cycle++) {
		loadEntity("unused.dat", "Self");
		animationPass();
		reapEntities();
	}
	// Each cycle adds one Self and one Plain; each lives two or three passes.
	EXPECT_LE(num_entities, 6);
	int count = 0;
	for (Entity *e = elist; e; e = e->next) {
		count++;
	}
	EXPECT_EQ(count, num_entities);
}
