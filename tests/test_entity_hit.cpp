// Entity collisions, damage and death, including entities that leave the world meanwhile.
#include "tests/test_entity_util.h"

// Places e as the box x, y, w, h.
static void box(Entity *e, const int b[4]) {
	e->x = b[0];
	e->y = b[1];
	e->w = b[2];
	e->h = b[3];
}

typedef EntityTest EntityHit;

TEST_F(EntityHit, OverlapAndIgnoring) {
	// both ends included, so touching edges do not meet; a zero-width box at x 20 meets columns 19-20
	struct { int a[4], b[4], want; } rows[] = {
		{{5, 5, 1, 1}, {5, 5, 1, 1}, 1}, {{5, 5, 1, 1}, {6, 5, 1, 1}, 0}, {{5, 5, 1, 1}, {5, 6, 1, 1}, 0},
		{{0, 0, 10, 10}, {9, 9, 5, 5}, 1}, {{0, 0, 10, 10}, {10, 9, 5, 5}, 0}, {{0, 0, 10, 10}, {9, 10, 5, 5}, 0},
		{{20, 0, 0, 1}, {19, 0, 2, 1}, 1},
	};
	Entity a;
	Entity b;
	for (auto &r : rows) {
		box(&a, r.a);
		box(&b, r.b);
		EXPECT_EQ(a.collide(&b), r.want) << b.x << "," << b.y;
		EXPECT_EQ(b.collide(&a), r.want) << b.x << "," << b.y;
	}
	// ignoring is by exact type, from either side
	a.type = "BULLET";
	b.ignore["BULLET"] = 0;
	EXPECT_EQ(a.collide(&b), 0);
	EXPECT_EQ(b.collide(&a), 0);
	a.type = "Bullet";
	EXPECT_EQ(a.collide(&b), 1);
}

TEST_F(EntityHit, DamageBetweenGroupsInvulnerabilityAndDeathOrder) {
	withDeath("a", logEnter);
	withDeath("b", logEnter);
	Entity a("unused.dat", "a");
	Entity b("unused.dat", "b");
	a.life = b.life = 5;
	a.damage = 2;
	b.damage = 3;
	a.doCollision(&b);  // same group: nothing
	EXPECT_EQ(a.life, 5);
	b.group = "ENEMY";
	a.flags = ENT_INVULN;
	b.doCollision(&a);  // a keeps its life but still hurts b
	EXPECT_EQ(a.life, 5);
	EXPECT_EQ(b.life, 3);
	a.flags = 0;
	a.doCollision(&b);
	EXPECT_EQ(a.life, 2);
	EXPECT_EQ(b.life, 1);
	EXPECT_TRUE(behaviourLog().empty());
	b.doCollision(&a);  // both used up: the receiver dies first
	EXPECT_EQ(behaviourLog(), Log({"b:d0", "a:d0"}));
}

TEST_F(EntityHit, SidesThatLeaveTheWorldAreNotTouchedAgain) {
	oneState("Plain", {makeFrame("a0", 0)});
	withDeath("Self", removeSelf);
	withDeath("Killer", killVictims);
	withDeath("Dies", logEnter);

	// Without DEATH state the receiver leaves the world; the other side still dies.
	Entity *r = loadEntity("unused.dat", "Plain");
	Entity *o = loadEntity("unused.dat", "Self");
	r->group = "A";
	r->damage = o->damage = 1;
	Capture err(2);
	r->doCollision(o);
	EXPECT_EQ(err.finish(), "Entity::setState: Plain has no \"DEATH\" state\n");
	EXPECT_EQ(num_entities, 0);
	EXPECT_EQ(graveyardSize(), 2);
	r->die();  // a removed entity is left alone
	r->doCollision(o);
	EXPECT_EQ(graveyardSize(), 2);
	EXPECT_EQ(r->life, 0);

	// The receiver's death removes the other side: the other side is not made to die.
	behaviourLog().clear();
	r = loadEntity("unused.dat", "Killer");
	o = loadEntity("unused.dat", "Self");
	victims = {o};
	r->group = "A";
	r->damage = o->damage = 1;
	r->doCollision(o);
	EXPECT_EQ(behaviourLog(), Log({"Killer:kills"}));

	// The other side's death removes the receiver, which has already died itself.
	behaviourLog().clear();
	r = loadEntity("unused.dat", "Killer");
	o = loadEntity("unused.dat", "Dies");
	victims = {o};
	r->group = "A";
	r->damage = o->damage = 1;
	o->doCollision(r);
	EXPECT_EQ(behaviourLog(), Log({"Dies:d0", "Killer:kills"}));
	EXPECT_TRUE(o->removed);
}
