// Behaviour table, aiming, projectile helpers and the five enemy firing patterns.
#include "tests/test_ef_fixture.h"

#include <utility>

typedef std::pair<int, int> Vel;

// The velocities of the bullets b.
static std::vector<Vel> vels(const std::vector<Entity *> &b) {
	std::vector<Vel> out;
	for (size_t i = 0; i < b.size(); i++) {
		out.push_back(Vel(b[i]->xvel, b[i]->yvel));
	}
	return out;
}

// The spawn list of e as {delay from now, xv, yv}.
static std::vector<std::vector<int>> queued(Entity *e) {
	std::vector<std::vector<int>> out;
	int when = 0;
	for (E_SPAWN *s = e->slist; s != nullptr; s = s->next) {
		when += s->delay;
		out.push_back({when, s->xv, s->yv});
	}
	return out;
}

TEST_F(EfTest, TableHoldsTheTwelveBehavioursByExactName) {
	struct { const char *name; EFHandle f; } rows[] = {{"EF_DIE", ef_die}, {"EF_NOHIT", ef_nohit},
		{"EF_PLAYER_DIE", ef_player_die}, {"EF_PLAYER_GONE", ef_player_gone}, {"EF_PLAYER_INVULN_ENTER", ef_player_invuln_enter},
		{"EF_PLAYER_INVULN_EXIT", ef_player_invuln_exit}, {"EF_FIRE_AIMED", ef_fire_aimed}, {"EF_FIRE_SPREAD", ef_fire_spread},
		{"EF_FIRE_LINE", ef_fire_line}, {"EF_FIRE_LEAD", ef_fire_lead}, {"EF_FIRE_LINEWAVE", ef_fire_linewave}, {"EF_GEN", ef_gen}};
	EXPECT_EQ(ent_fun_table.size(), 12u);
	for (auto &r : rows) {
		EXPECT_EQ(ent_fun_table[r.name], r.f) << r.name;
	}
}

TEST_F(EfTest, AnglesBetweenCorners) {
	// from (100, 100) to (x, y); 225 would be 224 if the steps were kept in double
	struct { int x, y, want; } rows[] = {
		{100, 100, 90}, {100, 150, 270}, {100, 20, 90}, {130, 100, 0}, {60, 100, 180}, {110, 90, 45},
		{90, 90, 135}, {90, 110, 225}, {110, 110, 315}, {103, 96, 53}, {100100, 101, 359},
	};
	Entity o;
	Entity t;
	o.x = o.y = 100;
	for (auto &r : rows) {
		t.x = r.x;
		t.y = r.y;
		EXPECT_EQ(getAngle(&o, &t), r.want) << r.x << "," << r.y;
	}
	// at the ends of the int range: a hair below the horizon wraps to 0 rather than 360
	o.x = -2000000000;
	o.y = 0;
	t.x = 2000000000;
	t.y = 1;
	EXPECT_EQ(getAngle(&o, &t), 0);
	EXPECT_EQ(getAngle(&t, &o), 180);
}

TEST_F(EfTest, ProjectileHelpersPlaceAndLaunch) {
	ASSERT_EQ(bulletAV("data/entity.dat", "Bullet", env, 30, 40, 45, 4000), 1);
	ASSERT_EQ(bulletAV("data/entity.dat", "Bullet", env, 0, 0, 90, 4000), 1);  // pi/180 is cut a little short
	ASSERT_EQ(bullet("data/entity.dat", "Bullet", env, 0, 0, 180, 4000), 1);
	ASSERT_EQ(bulletXY("data/entity.dat", "Bullet", env, 5, 6, -17, 23), 1);
	std::vector<Entity *> b = bullets();
	EXPECT_EQ(vels(b), std::vector<Vel>({{2828, -2828}, {0, -3999}, {-3999, 0}, {-17, 23}}));
	EXPECT_EQ(b[0]->x, 30);
	EXPECT_EQ(b[3]->y, 6);
	EXPECT_EQ(b[3]->env, env);
	Capture err(2);
	EXPECT_EQ(bulletAV("data/entity.dat", "Nothing", env, 0, 0, 0, 100), 0);
	EXPECT_EQ(bulletXY("data/entity.dat", "Nothing", env, 0, 0, 0, 100), 0);
	err.finish();
	EXPECT_EQ(num_entities, 4);
}

TEST_F(EfTest, AimedAndLeadShotsAndNoneWithoutPlayer) {
	Entity *g = make("Gunner", 100, 100);
	ef_fire_spread(g);
	ef_fire_line(g);
	ef_fire_lead(g);
	ef_fire_linewave(g);
	g->addAnimPhase(1);  // the aimed shot of the firing frame
	g->addAnimPhase(1);
	EXPECT_EQ(num_entities, 1);
	EXPECT_EQ(g->slist, nullptr);

	player = make("Target", 100, 400);
	g->addAnimPhase(1);  // enters the frame that fires: straight down, less the upward bias
	std::vector<Entity *> b = bullets();
	ASSERT_EQ(b.size(), 1u);
	EXPECT_EQ(b[0]->x, 110);  // centre of the 20 x 10 box
	EXPECT_EQ(b[0]->y, 105);
	EXPECT_EQ(b[0]->env, &field);

	// straight up from outside the camera window: the aimed shot needs no visibility
	player->y = 0;
	g->y = 1500;
	ef_fire_aimed(g);
	// the lead shot adds the player's velocity and no bias, seen or not
	player->y = 1800;
	player->xvel = 500;
	player->yvel = -300;
	ef_fire_lead(g);
	EXPECT_EQ(vels(bullets()), std::vector<Vel>({{0, 2999}, {0, -4999}, {500, 3699}}));
	EXPECT_EQ(bullets()[2]->y, 1505);
}

TEST_F(EfTest, SpreadAndLineFanAroundTheAimWhileVisible) {
	Entity *g = make("Gunner", 100, 100);
	player = make("Target", 100, 400);
	ef_fire_spread(g);
	ef_fire_line(g);
	std::vector<Entity *> b = bullets();
	EXPECT_EQ(vels(b), std::vector<Vel>({{-25, -904}, {-8, -901}, {8, -901}, {25, -904},
		{-107, -601}, {-34, -601}, {34, -601}, {107, -601}}));
	EXPECT_EQ(b[7]->x, 110);
	EXPECT_EQ(b[7]->y, 105);

	g->y = 1500;  // out of the camera window neither fires
	ef_fire_spread(g);
	ef_fire_line(g);
	EXPECT_EQ(num_entities, 10);
}

TEST_F(EfTest, LineWaveQueuesElevenBulletsInSixRowsWhateverTheDistance) {
	Entity *g = make("Gunner", 100, 100);
	g->w = 0;  // spawn point (100, 95), 300 straight above the player
	player = make("Target", 100, 395);
	EXPECT_EQ(ef_fire_linewave(g), 1);
	EXPECT_EQ(queued(g), std::vector<std::vector<int>>({{0, 304, 1481}, {0, -304, 1481}, {5, 935, 1437}, {5, -935, 1437},
		{10, 1569, 1241}, {10, -1569, 1241}, {15, 1344, 1527}, {15, -1344, 1527}, {20, 726, 1911}, {20, -726, 1911}, {25, 0, 2156}}));

	// rows leave in the first phase and then every fifth, at the spawner's place and speed then
	g->xvel = 100;
	std::vector<int> fired;
	for (int call = 1; call <= 30; call++) {
		g->x = 100 + call;
		size_t had = bullets().size();
		g->addPhase(1);
		fired.insert(fired.end(), bullets().size() - had, call);
	}
	EXPECT_EQ(fired, std::vector<int>({1, 1, 6, 6, 11, 11, 16, 16, 21, 21, 26}));
	std::vector<Entity *> b = bullets();
	EXPECT_EQ(b[0]->x, 101);
	EXPECT_EQ(b[0]->y, 95);
	EXPECT_EQ(b[2]->x, 106);
	EXPECT_EQ(vels(b)[0], Vel(404, 1481));
	EXPECT_EQ(vels(b)[3], Vel(-835, 1437));

	// {player y, record, delay, xv, yv}: at 40 pixels the step is 44, atan(1) in degrees being
	// just under 45; at 0 the aim is 90 and the step 89; at 60005 the squares pass the int range
	struct { int py; size_t i; std::vector<int> want; } rows[] = {
		{135, 0, {0, 232, -760}}, {135, 1, {0, -232, -760}}, {135, 10, {25, 0, -580}},
		{95, 0, {0, -40, -1000}}, {95, 8, {20, -3, -901}}, {95, 10, {25, 0, -1000}},
		{60100, 0, {0, 0, 499040}}, {60100, 10, {25, 0, 630630}},
	};
	g->x = 100;
	for (auto &r : rows) {
		player->y = r.py;
		ef_fire_linewave(g);
		std::vector<std::vector<int>> q = queued(g);
		ASSERT_EQ(q.size(), 11u);
		EXPECT_EQ(q[r.i], r.want) << r.py << " #" << r.i;
		while (g->slist != nullptr) {
			remES(&g->slist, g->slist);
		}
	}
	// entities at the ends of the int range still get sane, downward speeds
	g->y = -2000000000;
	player->y = 2000000000;
	ef_fire_linewave(g);
	for (std::vector<int> &q : queued(g)) {
		EXPECT_TRUE(q[2] > 0 && q[2] < 100000000) << q[2];
	}
}
