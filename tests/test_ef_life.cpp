// Life-cycle behaviours, each run by a real frame change of a template read from a file.
#include "tests/test_ef_fixture.h"

TEST_F(EfTest, DieAsEnterOrExitRemovesTheEntityAndMarksDbg) {
	Entity *keep = make("Target", 0, 0);
	make("Dier", 0, 0);
	make("Dier", 0, 0);
	// a pass over the world goes on while every entity it reaches removes itself
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		e->addAnimPhase(1);
	}
	EXPECT_EQ(num_entities, 1);
	EXPECT_EQ(elist, keep);
	EXPECT_EQ(keep->next, nullptr);
	EXPECT_EQ(dbg, 16);
	reapEntities();

	// leaving frame 0 removes it; frame 1, whose enter would set damage, is never entered
	Entity *d = make("ExitDier", 0, 0);
	d->addAnimPhase(1);
	EXPECT_NE(d->removed, 0);
	EXPECT_EQ(elist, keep);
	EXPECT_EQ(d->curframe, 0u);
	EXPECT_EQ(d->damage, 0);
}

TEST_F(EfTest, PlayerLosesLivesUntilTheGameEnds) {
	player = make("Player", 200, 200);
	ASSERT_EQ(player->flags, ENT_MOV_OOB_VPT);
	for (int round = 0; round < 3; round++) {
		SCOPED_TRACE(round);
		player->doCollision(make("Bullet", 200, 200));  // 3 - 5 life: into DEATH, whose first frame arms the wreck
		ASSERT_EQ(player->getState(), "DEATH");
		EXPECT_EQ(player->damage, 500);
		player->addAnimPhase(1);  // a life is gone
		EXPECT_EQ(player->damage, 0);
		EXPECT_EQ(player->var["LIVES"], 1 - round);
		EXPECT_EQ(gameover, round == 2 ? 1 : 0);
		player->addAnimPhase(1);  // back to full life, shielded
		player->doCollision(make("Bullet", 200, 200));
		EXPECT_EQ(player->life, 3);
		EXPECT_EQ(player->flags, ENT_MOV_OOB_VPT | ENT_INVULN);
		player->addAnimPhase(1);  // leaving the shield frame for LIVE drops only the shield
		EXPECT_EQ(player->getState(), "LIVE");
		EXPECT_EQ(player->flags, ENT_MOV_OOB_VPT);
	}
}

TEST_F(EfTest, PlayerBehavioursActOnTheGlobalPlayerOnly) {
	// run by another entity, the count is the player's; a player without LIVES is on its last
	player = make("Target", 0, 0);
	player->maxlife = 9;
	Entity *m = make("Mourner", 0, 0);
	m->addAnimPhase(1);
	EXPECT_EQ(m->damage, 0);
	EXPECT_EQ(m->var.count("LIVES"), 0u);
	EXPECT_EQ(gameover, 1);
	ef_player_invuln_enter(m);
	EXPECT_EQ(player->life, 9);
	EXPECT_EQ(m->flags & ENT_INVULN, 0);

	// with no player they leave everything alone
	gameover = 0;
	player = nullptr;
	m->flags = ENT_INVULN;
	ef_player_gone(m);
	ef_player_invuln_enter(m);
	ef_player_invuln_exit(m);
	EXPECT_EQ(gameover, 0);
	EXPECT_EQ(m->flags, ENT_INVULN);
}

TEST_F(EfTest, GenSendsIntoDeathOnceWhereNoHitShrinksTheBox) {
	Entity *g = make("Gen", 50, 60);
	g->addAnimPhase(1);
	ASSERT_EQ(g->getState(), "DEATH");
	EXPECT_EQ(g->curframe, 0u);
	EXPECT_TRUE(g->w == 0 && g->h == 0);
	g->addAnimPhase(60);
	g->addAnimPhase(3);
	ef_gen(g);  // already dying: the state is not restarted
	EXPECT_EQ(g->curframe, 1u);
	EXPECT_EQ(g->framectr, 3);

	// without a DEATH state the entity is reported and stays, unlike die()
	Entity *n = make("Target", 0, 0);
	Capture err(2);
	ef_gen(n);
	EXPECT_EQ(err.finish(), "Entity::setState: Target has no \"DEATH\" state\n");
	EXPECT_EQ(num_entities, 2);
}
