// Behaviour table, aiming, projectile helpers and the five enemy firing patterns.
#include "tests/test_ef_fixture.h"

#include <utility>

typedef std::pair<int, int> Vel;

static Vel vel(Entity *e) {
	return Vel(e->xvel, e->yvel);
}

static Entity at(int x, int y) {
	Entity e;
	e.x = x;
	e.y = y;
	return e;
}

// One queued spawn, with its delay counted from the moment it was queued.
struct Queued {
	int delay;
	int xv;
	int yv;
	bool operator==(const Queued &o) const { return delay == o.delay && xv == o.xv && yv == o.yv; }
};

static std::ostream &operator<<(std::ostream &os, const Queued &q) {
	return os << "{" << q.delay << ", " << q.xv << ", " << q.yv << "}";
}

// The spawn list of e with absolute delays; checks the fields every wave record shares.
static std::vector<Queued> queued(Entity *e, int xp, int yp) {
	std::vector<Queued> out;
	int when = 0;
	for (E_SPAWN *s = e->slist; s != nullptr; s = s->next) {
		when += s->delay;
		EXPECT_EQ(s->id, "Bullet");
		EXPECT_EQ(s->filename, "data/entity.dat");
		EXPECT_NE(s->r, 0);
		EXPECT_EQ(s->x, xp);
		EXPECT_EQ(s->y, yp);
		out.push_back(Queued{when, s->xv, s->yv});
	}
	return out;
}

TEST_F(EfTest, TableHoldsTheTwelveBehavioursByExactName) {
	const char *names[] = {"EF_DIE", "EF_NOHIT", "EF_PLAYER_DIE", "EF_PLAYER_GONE",
		"EF_PLAYER_INVULN_ENTER", "EF_PLAYER_INVULN_EXIT", "EF_FIRE_AIMED", "EF_FIRE_SPREAD",
		"EF_FIRE_LINE", "EF_FIRE_LEAD", "EF_FIRE_LINEWAVE", "EF_GEN"};
	EFHandle funs[] = {ef_die, ef_nohit, ef_player_die, ef_player_gone, ef_player_invuln_enter,
		ef_player_invuln_exit, ef_fire_aimed, ef_fire_spread, ef_fire_line, ef_fire_lead,
		ef_fire_linewave, ef_gen};
	EXPECT_EQ(ent_fun_table.size(), 12u);
	for (int i = 0; i < 12; i++) {
		ASSERT_EQ(ent_fun_table.count(names[i]), 1u) << names[i];
		EXPECT_EQ(ent_fun_table[names[i]], funs[i]) << names[i];
	}
	EXPECT_EQ(ent_fun_table.count("ef_fire_lead"), 0u);
	EXPECT_EQ(ent_fun_table.count("EF_FIRE"), 0u);

	// a second build repairs overwritten rows and keeps foreign ones
	ent_fun_table["EF_DIE"] = ef_gen;
	ent_fun_table["EF_EXTRA"] = ef_die;
	buildEFuncs();
	EXPECT_EQ(ent_fun_table["EF_DIE"], ef_die);
	EXPECT_EQ(ent_fun_table["EF_EXTRA"], ef_die);
	ent_fun_table.erase("EF_EXTRA");
}

TEST_F(EfTest, AnglesBetweenCorners) {
	Entity o = at(100, 100);
	Entity same = at(100, 100), below = at(100, 150), above = at(100, 20);
	Entity right = at(130, 100), left = at(60, 100);
	Entity downRight = at(110, 110), upLeft = at(90, 90), upRight = at(110, 90), downLeft = at(90, 110);
	Entity triangle = at(103, 96);
	EXPECT_EQ(getAngle(&o, &same), 90);
	EXPECT_EQ(getAngle(&o, &below), 270);
	EXPECT_EQ(getAngle(&o, &above), 90);
	EXPECT_EQ(getAngle(&o, &right), 0);
	EXPECT_EQ(getAngle(&o, &left), 180);
	EXPECT_EQ(getAngle(&o, &upRight), 45);
	EXPECT_EQ(getAngle(&o, &upLeft), 135);
	EXPECT_EQ(getAngle(&o, &downLeft), 225);  // 224 if the steps were kept in double
	EXPECT_EQ(getAngle(&o, &downRight), 315);
	EXPECT_EQ(getAngle(&o, &triangle), 53);

	// just below the horizon, far away: truncation gives 359, never 360
	Entity slightlyDown = at(100100, 101);
	EXPECT_EQ(getAngle(&o, &slightlyDown), 359);
	// at the ends of the int range: a hair below the horizon wraps to 0 rather than 360
	Entity farWest = at(-2000000000, 0), farEast = at(2000000000, 1);
	EXPECT_EQ(getAngle(&farWest, &farEast), 0);
	EXPECT_EQ(getAngle(&farEast, &farWest), 180);
}

TEST_F(EfTest, ProjectileHelpersPlaceAndLaunch) {
	int before = num_entities;
	ASSERT_EQ(bulletAV("data/entity.dat", "Bullet", env, 30, 40, 45, 4000), 1);
	std::vector<Entity *> b = bullets();
	ASSERT_EQ(b.size(), 1u);
	EXPECT_EQ(num_entities, before + 1);
	EXPECT_EQ(b[0]->x, 30);
	EXPECT_EQ(b[0]->y, 40);
	EXPECT_EQ(b[0]->env, env);
	EXPECT_EQ(vel(b[0]), Vel(2828, -2828));

	// the degree constant is a little short of pi/180
	ASSERT_EQ(bulletAV("data/entity.dat", "Bullet", env, 0, 0, 90, 4000), 1);
	EXPECT_EQ(vel(bullets().back()), Vel(0, -3999));
	ASSERT_EQ(bullet("data/entity.dat", "Bullet", env, 0, 0, 180, 4000), 1);
	EXPECT_EQ(vel(bullets().back()), Vel(-3999, 0));
	ASSERT_EQ(bullet("data/entity.dat", "Bullet", env, 0, 0, 0, 4000), 1);
	EXPECT_EQ(vel(bullets().back()), Vel(4000, 0));
	ASSERT_EQ(bulletAV("data/entity.dat", "Bullet", env, 7, 8, 123, 0), 1);
	EXPECT_EQ(vel(bullets().back()), Vel(0, 0));
	EXPECT_EQ(bullets().back()->x, 7);

	ASSERT_EQ(bulletXY("data/entity.dat", "Bullet", nullptr, 5, 6, -17, 23), 1);
	Entity *xy = bullets().back();
	EXPECT_EQ(xy->x, 5);
	EXPECT_EQ(xy->y, 6);
	EXPECT_EQ(vel(xy), Vel(-17, 23));
	EXPECT_EQ(xy->env, nullptr);

	int count = num_entities;
	Capture err(2);
	EXPECT_EQ(bulletAV("data/entity.dat", "Nothing", env, 0, 0, 0, 100), 0);
	EXPECT_EQ(bullet("data/entity.dat", "Nothing", env, 0, 0, 0, 100), 0);
	EXPECT_EQ(bulletXY("data/entity.dat", "Nothing", env, 0, 0, 0, 100), 0);
	err.finish();
	EXPECT_EQ(num_entities, count);
}

TEST_F(EfTest, AimedShotFromAFrameChange) {
	Entity *g = make("Gunner", 100, 100);
	player = make("Target", 100, 400);
	ASSERT_NE(g, nullptr);
	ASSERT_NE(player, nullptr);

	g->addAnimPhase(1);  // enters the frame that fires
	std::vector<Entity *> b = bullets();
	ASSERT_EQ(b.size(), 1u);
	EXPECT_EQ(b[0]->x, 110);  // centre of the 20 x 10 box
	EXPECT_EQ(b[0]->y, 105);
	EXPECT_EQ(vel(b[0]), Vel(0, 2999));
	EXPECT_EQ(b[0]->env, &field);

	// straight up, and from outside the camera window: the aimed shot needs no visibility
	player->y = 0;
	g->y = 1500;
	ASSERT_EQ(g->visible(), 0);
	EXPECT_EQ(ef_fire_aimed(g), 0);
	b = bullets();
	ASSERT_EQ(b.size(), 2u);
	EXPECT_EQ(vel(b[1]), Vel(0, -4999));
	EXPECT_EQ(b[1]->y, 1505);
}

TEST_F(EfTest, SpreadAndLineFanAroundTheAimWhileVisible) {
	Entity *g = make("Gunner", 100, 100);
	player = make("Target", 100, 400);
	ASSERT_NE(g->visible(), 0);

	EXPECT_EQ(ef_fire_spread(g), 0);
	std::vector<Entity *> b = bullets();
	ASSERT_EQ(b.size(), 4u);
	std::vector<Vel> spread = {Vel(-25, -904), Vel(-8, -901), Vel(8, -901), Vel(25, -904)};
	for (int i = 0; i < 4; i++) {
		EXPECT_EQ(vel(b[i]), spread[i]) << i;
		EXPECT_EQ(b[i]->x, 110);
		EXPECT_EQ(b[i]->y, 105);
	}

	EXPECT_EQ(ef_fire_line(g), 0);
	b = bullets();
	ASSERT_EQ(b.size(), 8u);
	std::vector<Vel> line = {Vel(-107, -601), Vel(-34, -601), Vel(34, -601), Vel(107, -601)};
	for (int i = 0; i < 4; i++) {
		EXPECT_EQ(vel(b[4 + i]), line[i]) << i;
	}

	// aimed to the right the row shares its speed along the aim, 414 or 401 per bullet
	player->x = 400;
	player->y = 100;
	EXPECT_EQ(ef_fire_line(g), 0);
	b = bullets();
	ASSERT_EQ(b.size(), 12u);
	std::vector<Vel> right = {Vel(399, 107 - 1000), Vel(399, 34 - 1000), Vel(399, -34 - 1000), Vel(399, -107 - 1000)};
	for (int i = 0; i < 4; i++) {
		EXPECT_EQ(vel(b[8 + i]), right[i]) << i;
	}

	// out of the camera window neither fires
	g->y = 1500;
	ASSERT_EQ(g->visible(), 0);
	int count = num_entities;
	EXPECT_EQ(ef_fire_spread(g), 0);
	EXPECT_EQ(ef_fire_line(g), 0);
	EXPECT_EQ(num_entities, count);
}

TEST_F(EfTest, LeadShotAddsThePlayersVelocityWithoutBias) {
	Entity *g = make("Gunner", 100, 100);
	player = make("Target", 100, 400);
	g->y = 1500;  // fires whether seen or not
	player->y = 1800;

	EXPECT_EQ(ef_fire_lead(g), 0);
	player->xvel = 500;
	player->yvel = -300;
	EXPECT_EQ(ef_fire_lead(g), 0);

	std::vector<Entity *> b = bullets();
	ASSERT_EQ(b.size(), 2u);
	EXPECT_EQ(vel(b[0]), Vel(0, 3999));
	EXPECT_EQ(vel(b[1]), Vel(500, 3699));
	EXPECT_EQ(b[1]->x, 110);
	EXPECT_EQ(b[1]->y, 1505);
}

TEST_F(EfTest, LineWaveQueuesElevenBulletsInSixRows) {
	Entity *g = make("Gunner", 100, 100);
	g->w = 0;  // spawn point (100, 95), straight above the player
	player = make("Target", 100, 395);

	EXPECT_EQ(ef_fire_linewave(g), 1);
	std::vector<Queued> want = {{0, 304, 1481}, {0, -304, 1481}, {5, 935, 1437}, {5, -935, 1437},
		{10, 1569, 1241}, {10, -1569, 1241}, {15, 1344, 1527}, {15, -1344, 1527},
		{20, 726, 1911}, {20, -726, 1911}, {25, 0, 2156}};
	EXPECT_EQ(queued(g, 0, -5), want);
	EXPECT_TRUE(bullets().empty());

	// rows leave in the first phase and then every fifth, at the spawner's place and speed then
	g->xvel = 100;
	std::vector<int> fired;
	for (int call = 1; call <= 30; call++) {
		if (call == 6) {
			g->x = 200;
		}
		size_t had = bullets().size();
		g->addPhase(1);
		std::vector<Entity *> b = bullets();
		if (b.size() > had) {
			fired.push_back(call);
			fired.push_back((int)(b.size() - had));
		}
		if (call == 1) {
			ASSERT_EQ(b.size(), 2u);
			EXPECT_EQ(b[0]->x, 100);
			EXPECT_EQ(b[0]->y, 95);
			EXPECT_EQ(vel(b[0]), Vel(404, 1481));
			EXPECT_EQ(vel(b[1]), Vel(-204, 1481));
		}
		if (call == 6) {
			EXPECT_EQ(b[2]->x, 200);
			EXPECT_EQ(vel(b[2]), Vel(1035, 1437));
		}
	}
	EXPECT_EQ(fired, std::vector<int>({1, 2, 6, 2, 11, 2, 16, 2, 21, 2, 26, 1}));
	EXPECT_EQ(g->slist, nullptr);
}

TEST_F(EfTest, LineWaveStepAtShortZeroAndHugeDistances) {
	Entity *g = make("Gunner", 100, 100);
	g->w = 0;

	// 40 pixels: step 44, since atan(1) in degrees comes out just under 45
	player = make("Target", 100, 135);
	ef_fire_linewave(g);
	std::vector<Queued> q = queued(g, 0, -5);
	ASSERT_EQ(q.size(), 11u);
	EXPECT_EQ(q[0], (Queued{0, 232, -760}));
	EXPECT_EQ(q[1], (Queued{0, -232, -760}));
	EXPECT_EQ(q[10], (Queued{25, 0, -580}));
	while (g->slist != nullptr) {
		remES(&g->slist, g->slist);
	}

	// spawn point on the player's corner: aim 90, step 89, the last bullet rides the bias alone
	player->y = 95;
	ef_fire_linewave(g);
	q = queued(g, 0, -5);
	ASSERT_EQ(q.size(), 11u);
	EXPECT_EQ(q[0], (Queued{0, -40, -1000}));
	EXPECT_EQ(q[1], (Queued{0, 40, -1000}));
	EXPECT_EQ(q[8], (Queued{20, -3, -901}));
	EXPECT_EQ(q[10], (Queued{25, 0, -1000}));
	while (g->slist != nullptr) {
		remES(&g->slist, g->slist);
	}

	// 60005 pixels: the squares pass the range of an int and must still come out exact
	player->y = 95 + 60005;
	ef_fire_linewave(g);
	q = queued(g, 0, -5);
	ASSERT_EQ(q.size(), 11u);
	EXPECT_EQ(q[0], (Queued{0, 0, 499040}));
	EXPECT_EQ(q[4], (Queued{10, 0, 544499}));
	EXPECT_EQ(q[10], (Queued{25, 0, 630630}));
	while (g->slist != nullptr) {
		remES(&g->slist, g->slist);
	}

	// entities at the ends of the int range still get sane, downward speeds
	g->y = -2000000000;
	player->y = 2000000000;
	ef_fire_linewave(g);
	q = queued(g, 0, -5);
	ASSERT_EQ(q.size(), 11u);
	for (size_t i = 0; i < q.size(); i++) {
		EXPECT_GT(q[i].yv, 0) << i;
		EXPECT_LT(q[i].yv, 100000000) << i;
	}
}

TEST_F(EfTest, NoPlayerMeansNoFire) {
	Entity *g = make("Gunner", 100, 100);
	ASSERT_NE(g->visible(), 0);
	player = nullptr;
	int count = num_entities;
	EXPECT_EQ(ef_fire_aimed(g), 0);
	EXPECT_EQ(ef_fire_spread(g), 0);
	EXPECT_EQ(ef_fire_line(g), 0);
	EXPECT_EQ(ef_fire_lead(g), 0);
	ef_fire_linewave(g);
	g->addAnimPhase(1);  // the firing frame itself
	EXPECT_EQ(num_entities, count);
	EXPECT_EQ(g->slist, nullptr);
	EXPECT_EQ(getEData("Bullet", edlist), nullptr);
}
