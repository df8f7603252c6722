// Life-cycle behaviours, each run by a real frame change of a template read from a file.
#include "tests/test_ef_fixture.h"

static bool linked(Entity *e) {
	for (Entity *c = elist; c != nullptr; c = c->next) {
		if (c == e) {
			return true;
		}
	}
	return false;
}

TEST_F(EfTest, DieAsEnterRemovesTheEntityAndMarksDbg) {
	Entity *keep = make("Target", 0, 0);
	Entity *d = make("Dier", 0, 0);
	int count = num_entities;
	dbg = 4;

	d->addAnimPhase(1);
	EXPECT_FALSE(linked(d));
	EXPECT_TRUE(linked(keep));
	EXPECT_EQ(num_entities, count - 1);
	EXPECT_EQ(dbg, 4 | 16);
	reapEntities();

	// a pass over the world goes on while every entity it reaches removes itself
	make("Dier", 0, 0);
	make("Dier", 0, 0);
	make("Dier", 0, 0);
	count = num_entities;
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		e->addAnimPhase(1);
	}
	EXPECT_EQ(num_entities, count - 3);
	EXPECT_EQ(elist, keep);
	EXPECT_EQ(keep->next, nullptr);
	reapEntities();
}

TEST_F(EfTest, DieAsExitStopsTheFrameChange) {
	Entity *d = make("ExitDier", 0, 0);
	int count = num_entities;

	// leaving frame 0 removes the entity; frame 1, whose enter would set damage, is never entered
	d->addAnimPhase(1);
	EXPECT_FALSE(linked(d));
	EXPECT_EQ(num_entities, count - 1);
	EXPECT_NE(dbg & 16, 0);
	ASSERT_EQ(graveyardSize(), 1);
	EXPECT_NE(d->removed, 0);
	EXPECT_EQ(d->curframe, 0u);
	EXPECT_EQ(d->damage, 0);
	reapEntities();
	EXPECT_EQ(graveyardSize(), 0);
}

TEST_F(EfTest, NoHitShrinksTheBoxInPlace) {
	Entity *s = make("Shrinker", 50, 60);
	Entity *other = make("Target", 49, 59);
	other->w = 2;
	other->h = 2;
	ASSERT_EQ(s->w, 10);

	s->addAnimPhase(1);
	EXPECT_EQ(s->w, 0);
	EXPECT_EQ(s->h, 0);
	EXPECT_EQ(s->x, 50);
	EXPECT_EQ(s->y, 60);
	EXPECT_EQ(s->curframe, 1u);
	// an empty box still meets one covering the column and row on either side of its corner
	EXPECT_EQ(s->collide(other), 1);
	other->x = 50;
	other->y = 60;
	EXPECT_EQ(s->collide(other), 0);
}

TEST_F(EfTest, PlayerLosesLivesUntilTheGameEnds) {
	player = make("Player", 200, 200);
	ASSERT_NE(player, nullptr);
	ASSERT_EQ(player->var["LIVES"], 2);
	ASSERT_EQ(player->flags, ENT_MOV_OOB_VPT);
	int expectLives[] = {1, 0, -1};

	for (int round = 0; round < 3; round++) {
		SCOPED_TRACE(round);
		Entity *b = make("Bullet", 200, 200);
		player->doCollision(b);  // 3 - 5 life: into DEATH, whose first frame arms the wreck
		ASSERT_EQ(player->getState(), "DEATH");
		EXPECT_EQ(player->life, -2);
		EXPECT_EQ(player->damage, 500);

		player->addAnimPhase(1);  // a life is gone
		EXPECT_EQ(player->damage, 0);
		EXPECT_EQ(player->var["LIVES"], expectLives[round]);
		EXPECT_EQ(gameover, round == 2 ? 1 : 0);

		player->addAnimPhase(1);  // back to full life, shielded
		EXPECT_EQ(player->life, 3);
		EXPECT_EQ(player->flags, ENT_MOV_OOB_VPT | ENT_INVULN);
		Entity *b2 = make("Bullet", 200, 200);
		player->doCollision(b2);
		EXPECT_EQ(player->life, 3);

		player->addAnimPhase(1);  // leaving the shield frame for LIVE drops only the shield
		EXPECT_EQ(player->getState(), "LIVE");
		EXPECT_EQ(player->flags, ENT_MOV_OOB_VPT);
	}
}

TEST_F(EfTest, PlayerBehavioursActOnTheGlobalPlayer) {
	// bound to another entity, the count is the player's; a player without LIVES is on its last
	player = make("Target", 0, 0);
	player->life = -4;
	player->maxlife = 9;
	Entity *m = make("Mourner", 0, 0);
	m->addAnimPhase(1);
	EXPECT_EQ(m->damage, 0);
	EXPECT_EQ(m->var.count("LIVES"), 0u);
	EXPECT_EQ(player->var["LIVES"], -1);
	EXPECT_EQ(gameover, 1);

	EXPECT_EQ(ef_player_invuln_enter(m), 0);
	EXPECT_EQ(player->life, 9);
	EXPECT_EQ(player->flags & ENT_INVULN, ENT_INVULN);
	EXPECT_EQ(m->flags & ENT_INVULN, 0);

	// clearing a shield that is not there keeps the other flags
	player->flags = ENT_DIE_OOB_VPT | ENT_MOV_OOB_ENV;
	EXPECT_EQ(ef_player_invuln_exit(m), 0);
	EXPECT_EQ(player->flags, ENT_DIE_OOB_VPT | ENT_MOV_OOB_ENV);

	// with no player they leave everything alone
	gameover = 0;
	player = nullptr;
	m->damage = 7;
	m->flags = ENT_INVULN;
	m->life = 0;
	m->addAnimPhase(1);  // back to frame 0
	m->addAnimPhase(1);  // EF_PLAYER_GONE again
	EXPECT_EQ(m->damage, 0);
	EXPECT_EQ(gameover, 0);
	EXPECT_EQ(ef_player_invuln_enter(m), 0);
	EXPECT_EQ(ef_player_invuln_exit(m), 0);
	EXPECT_EQ(m->flags, ENT_INVULN);
	EXPECT_EQ(m->life, 0);
}

TEST_F(EfTest, GenSendsIntoDeathOnce) {
	Entity *g = make("Gen", 0, 0);
	g->addAnimPhase(1);
	ASSERT_EQ(g->getState(), "DEATH");
	EXPECT_EQ(g->curframe, 0u);

	// already dying: the state is not restarted
	g->addAnimPhase(60);
	g->addAnimPhase(3);
	ASSERT_EQ(g->curframe, 1u);
	EXPECT_EQ(ef_gen(g), 0);
	EXPECT_EQ(g->curframe, 1u);
	EXPECT_EQ(g->framectr, 3);

	// without a DEATH state the entity is reported and stays, unlike die()
	Entity *n = make("GenNoDeath", 0, 0);
	int count = num_entities;
	Capture err(2);
	n->addAnimPhase(1);
	std::string text = err.finish();
	EXPECT_NE(text.find("Entity::setState: GenNoDeath has no \"DEATH\" state"), std::string::npos) << text;
	EXPECT_TRUE(linked(n));
	EXPECT_EQ(num_entities, count);
	EXPECT_EQ(n->getState(), "LIVE");
	EXPECT_EQ(n->curframe, 1u);
}
