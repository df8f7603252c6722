// Behaviours for the end of an entity's life and the player's loss of a life.
#include "entity/ef_def.h"

#include "entity/gamestate.h"
#include "platform/sound.h"

// What a dying ship takes from whatever runs into it: enough to wreck anything on the field.
#define DYING_SHIP_DAMAGE_POINTS 500
// The flags without ENT_INVULN. Every flag lives in the low eight bits, so the mask keeps
// all the others.
#define FLAGS_WITHOUT_INVULN_MASK 0xFE

// Takes the entity out of the world; it must not be touched afterwards.
int ef_die(void *p) {
	Entity *e = (Entity *)p;
	remEn(&elist, e);
	dbg |= DBG_DIE_SEEN;
	return 0;
}

// Shrinks the entity's box to nothing so that it no longer hits anything.
int ef_nohit(void *p) {
	Entity *e = (Entity *)p;
	e->h = 0;
	e->w = 0;
	return 0;
}

// A dying player wrecks whatever runs into it.
int ef_player_die(void *p) {
	Entity *e = (Entity *)p;
	e->damage = DYING_SHIP_DAMAGE_POINTS;
	return 0;
}

// Counts down the player's lives and ends the game when none are left.
int ef_player_gone(void *p) {
	Entity *e = (Entity *)p;
	e->damage = 0;
	if (player == nullptr || player->removed) {
		return 0;
	}
	int &lives = player->var["LIVES"];
	lives = saturatingAdd(lives, -1);
	playSound(SOUND_LIFE_LOST);
	if (lives < 0) {
		gameover = 1;
	}
	return 0;
}

// Restores the player's life and shields it while it comes back.
int ef_player_invuln_enter(void *p) {
	(void)p;
	if (player == nullptr || player->removed) {
		return 0;
	}
	player->life = player->maxlife;
	player->flags = player->flags | ENT_INVULN;
	playSound(SOUND_RETURN);
	return 0;
}

// Takes the player's shield away again.
int ef_player_invuln_exit(void *p) {
	(void)p;
	if (player == nullptr || player->removed) {
		return 0;
	}
	player->flags = player->flags & FLAGS_WITHOUT_INVULN_MASK;
	return 0;
}

// Sends the entity into its death animation.
int ef_gen(void *p) {
	Entity *e = (Entity *)p;
	e->setState("DEATH");
	return 0;
}
