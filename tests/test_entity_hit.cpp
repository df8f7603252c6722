// Entity collisions, damage and death, including entities that leave the world meanwhile.
#include <gtest/gtest.h>
#include "entity/entity.h"
#include "tests/support/testsupport.h"
#include "tests/test_entity_util.h"

static Entity *victim = nullptr;  // whom killVictim removes

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

static int killVictim(void *p) {
	Entity *e = (Entity *)p;
	behaviourLog().push_back(e->name + ":kills");
	remEn(&elist, victim);
	return 1;
}

class EntityHit : public ::testing::Test {
protected:
	void SetUp() override { resetWorld(); }
	void TearDown() override {
		resetWorld();
		victim = nullptr;
	}
};

// A w x h box at (x, y).
static void place(Entity *e, int x, int y, int w, int h) {
	e->x = x;
	e->y = y;
	e->w = w;
	e->h = h;
}

TEST_F(EntityHit, BoxesOverlapWithBothEndsIncluded) {
	Entity a;
	Entity b;
	place(&a, 5, 5, 1, 1);
	place(&b, 5, 5, 1, 1);
	EXPECT_EQ(a.collide(&b), 1);
	place(&b, 6, 5, 1, 1);  // edge to edge
	EXPECT_EQ(a.collide(&b), 0);
	EXPECT_EQ(b.collide(&a), 0);
	place(&b, 5, 6, 1, 1);
	EXPECT_EQ(a.collide(&b), 0);
	place(&a, 0, 0, 10, 10);
	place(&b, 9, 9, 5, 5);  // corner pixel shared
	EXPECT_EQ(a.collide(&b), 1);
	EXPECT_EQ(b.collide(&a), 1);
	place(&b, 10, 9, 5, 5);
	EXPECT_EQ(a.collide(&b), 0);
	place(&a, 20, 0, 0, 1);  // width 0 at x 20 meets a box over columns 19 and 20
	place(&b, 19, 0, 2, 1);
	EXPECT_EQ(a.collide(&b), 1);
	EXPECT_EQ(a.collide(nullptr), 0);
}

TEST_F(EntityHit, IgnoringIsByTypeFromEitherSide) {
	Entity a;
	Entity b;
	a.type = "BULLET";
	b.ignore["BULLET"] = 0;
	EXPECT_EQ(a.collide(&b), 0);
	EXPECT_EQ(b.collide(&a), 0);
	a.type = "Bullet";  // exact, case-sensitive
	EXPECT_EQ(a.collide(&b), 1);
	b.type = "SHIP";
	a.ignore["SHIP"] = 1;
	EXPECT_EQ(a.collide(&b), 0);
	EXPECT_EQ(b.collide(&a), 0);
	a.group = "X";
	b.group = "X";  // groups play no part
	a.ignore.clear();
	EXPECT_EQ(a.collide(&b), 1);
}

TEST_F(EntityHit, DamageBetweenGroupsAndInvulnerability) {
	registerTemplate("T", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, logEnter)})});
	Entity a("unused.dat", "T");
	Entity b("unused.dat", "T");
	a.name = "a";
	b.name = "b";
	a.life = 5;
	b.life = 5;
	a.damage = 2;
	b.damage = 3;
	a.doCollision(&b);  // same group: nothing
	EXPECT_EQ(a.life, 5);
	EXPECT_EQ(b.life, 5);

	b.group = "ENEMY";
	a.doCollision(&b);
	EXPECT_EQ(a.life, 2);
	EXPECT_EQ(b.life, 3);

	a.flags = ENT_INVULN;
	b.doCollision(&a);  // a keeps its life but still hurts b
	EXPECT_EQ(a.life, 2);
	EXPECT_EQ(b.life, 1);
	EXPECT_TRUE(behaviourLog().empty());

	// Both used up: the receiver dies first, then the other side.
	a.flags = 0;
	b.damage = 5;
	a.damage = 5;
	b.doCollision(&a);
	EXPECT_EQ(a.life, -3);
	EXPECT_EQ(b.life, -4);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"b:d0", "a:d0"}));
	EXPECT_EQ(a.getState(), "DEATH");

	// An entity already used up dies again, even in its own group; DEATH stays as it is.
	behaviourLog().clear();
	b.group = "";
	b.framectr = 3;
	a.doCollision(&b);
	EXPECT_EQ(a.life, -3);
	EXPECT_EQ(b.framectr, 3);
	EXPECT_TRUE(behaviourLog().empty());
}

TEST_F(EntityHit, DeathWithoutDeathStateLeavesTheWorld) {
	registerTemplate("Plain", {makeState("A", 0, "", {makeFrame("a0", 0)})});
	Entity *a = spawnLinked("Plain");
	Entity *b = spawnLinked("Plain");
	ASSERT_EQ(num_entities, 2);
	Capture err(2);
	b->die();
	EXPECT_EQ(err.finish(), "Entity::setState: PlainName has no \"DEATH\" state\n");
	EXPECT_TRUE(b->removed);
	EXPECT_EQ(elist, a);
	EXPECT_EQ(a->next, nullptr);
	EXPECT_EQ(num_entities, 1);
	EXPECT_EQ(graveyardSize(), 1);
	b->die();  // a removed entity is left alone
	EXPECT_EQ(graveyardSize(), 1);

	// Without a template too.
	Entity *bare = new Entity();
	bare->name = "Bare";
	addEn(&elist, bare);
	Capture err2(2);
	bare->die();
	EXPECT_EQ(err2.finish(), "Entity::setState: Bare has no EData\n");
	EXPECT_EQ(worldNames(), "PlainName");
	reapEntities();
	EXPECT_EQ(graveyardSize(), 0);
}

TEST_F(EntityHit, CollisionSidesThatLeaveTheWorldAreNotTouchedAgain) {
	registerTemplate("Plain", {makeState("A", 0, "", {makeFrame("a0", 0)})});
	registerTemplate("Self", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, removeSelf)})});
	registerTemplate("Killer", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, killVictim)})});

	// Receiver without DEATH state is removed; the other side still dies.
	Entity *r = spawnLinked("Plain");
	Entity *o = spawnLinked("Self");
	r->group = "A";
	r->damage = 1;
	o->damage = 1;
	Capture err(2);
	r->doCollision(o);
	err.finish();
	EXPECT_TRUE(r->removed);
	EXPECT_TRUE(o->removed);
	EXPECT_EQ(elist, nullptr);
	EXPECT_EQ(num_entities, 0);
	reapEntities();

	// The receiver's death removes the other side: the other side is not made to die.
	behaviourLog().clear();
	r = spawnLinked("Killer");
	o = spawnLinked("Self");
	victim = o;
	r->group = "A";
	r->damage = 1;
	o->damage = 1;
	r->doCollision(o);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"KillerName:kills"}));
	EXPECT_TRUE(o->removed);
	EXPECT_FALSE(r->removed);
	EXPECT_EQ(o->getState(), "A");
	EXPECT_EQ(graveyardSize(), 1);
	reapEntities();
	resetWorld();

	// The other side's death removes the receiver, which has already died itself.
	registerTemplate("Self", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, logEnter)})});
	registerTemplate("Killer", {makeState("A", 0, "", {makeFrame("a0", 0)}), makeState("DEATH", 0, "", {makeFrame("d0", 0, killVictim)})});
	r = spawnLinked("Self");
	o = spawnLinked("Killer");
	victim = r;
	r->group = "A";
	r->damage = 1;
	o->damage = 1;
	r->doCollision(o);
	EXPECT_EQ(behaviourLog(), std::vector<std::string>({"SelfName:d0", "KillerName:kills"}));
	EXPECT_TRUE(r->removed);
	EXPECT_EQ(worldNames(), "KillerName");
	reapEntities();

	// A removed entity takes part in no collision.
	Entity *gone = spawnLinked("Self");
	gone->life = 5;
	remEn(&elist, gone);
	o->life = 5;
	o->group = "B";
	gone->damage = 3;
	o->doCollision(gone);
	gone->doCollision(o);
	EXPECT_EQ(o->life, 5);
	EXPECT_EQ(gone->life, 5);
}
