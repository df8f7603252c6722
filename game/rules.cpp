// The rules of play: the level set-up and the world step.
#include "game/vorska.h"

#include <cstdio>
#include <cstdlib>
#include "game/run.h"
#include "platform/message.h"

// The level: a first tank and the helicopter at fixed places, the rest of the tanks scattered
// over the left half of the field, clear of its bottom screenful.
#define FIRST_TANK_X     120
#define FIRST_TANK_Y     2700
#define RANDOM_TANKS     180
#define TANK_CLEAR_BELOW 640  // the random tanks stay this far above the bottom of the field
#define TANK_PHASES      39   // frame counter range that staggers the tanks' animations
#define HELICOPTER_X     180
#define HELICOPTER_Y     5200

// A random placement range that is never empty: a field too small for the level puts
// the random tanks at coordinate 0 instead of dividing by zero.
static int placementRange(int span) {
	return span > 0 ? span : 1;
}

// Populates the level, creates the player and puts the camera at the bottom of the field.
void setupLevel() {
	Entity *e = loadEntity(ENTITY_FILE, TANK_ID, env);
	if (e != nullptr) {
		e->x = FIRST_TANK_X;
		e->y = FIRST_TANK_Y;
	}
	int xr = placementRange(env->xlen / 2);
	int yr = placementRange(env->ylen - TANK_CLEAR_BELOW);
	if (env->xlen / 2 < 1 || env->ylen - TANK_CLEAR_BELOW < 1) {
		writeMessagef(MESSAGE_ERR, "setupLevel: field %dx%d is too small for random placement\n", env->xlen, env->ylen);
	}
	for (int i = 0; i < RANDOM_TANKS; i++) {
		e = loadEntity(ENTITY_FILE, TANK_ID, env);
		if (e == nullptr) {
			continue;
		}
		int r1 = levelRandom();
		int r2 = levelRandom();
		int r3 = levelRandom();
		e->x = r1 % xr;
		e->y = r2 % yr;
		e->framectr = r3 % TANK_PHASES;
	}
	e = loadEntity(ENTITY_FILE, HELICOPTER_ID, env);
	if (e != nullptr) {
		e->x = HELICOPTER_X;
		e->y = HELICOPTER_Y;
	}
	player = loadEntity(ENTITY_FILE, PLAYER_ID, env);
	if (player == nullptr) {
		failStartup(EXIT_NO_PLAYER);
	}
	env->cy = env->ylen - vp->ylen;
	int ph = 0;
	if (player->frame != nullptr && player->frame->bitmap != nullptr) {
		ph = player->frame->bitmap->h;
	}
	player->x = vp->xlen / 2 + env->cx;
	player->y = env->cy + vp->ylen - ph;
}

// 1 when e is about to enter its DEATH state, not already in it: it is heard once, as it blows
// up, not in every cycle it spends dead at the top.
static int blowsUp(const Entity *e) {
	if (e->data == nullptr || (e->state != nullptr && e->state->name == "DEATH")) {
		return 0;
	}
	for (const State &s : e->data->states) {
		if (s.name == "DEATH") {
			return 1;
		}
	}
	return 0;
}

// At the top of the field the player stops climbing, and if it never fired the enemies die.
void endOfField() {
	if (env->cy != 0 || player == nullptr) {
		return;
	}
	player->yvel = 0;
	if (player->var["SHOTSFIRED"] != 0) {
		return;
	}
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		if (e->group == "ENEMY" && e->type != "BULLET") {
			if (blowsUp(e)) {
				e->soundDying();
			}
			e->setState("DEATH");
		}
	}
}

// Free movers stop this far out, so that positions stay far from the ends of the int range
// and a box's far edge can still be computed. No field comes anywhere near it.
#define FAR_OUT (1 << 30)

// A position kept within FAR_OUT of the origin.
static int clampFar(long long v) {
	if (v > FAR_OUT) {
		return FAR_OUT;
	}
	if (v < -FAR_OUT) {
		return -FAR_OUT;
	}
	return (int)v;
}

// Spends an accumulator on one-pixel steps of (sx, sy): one step, and 1000 off, for every
// 1000 beyond +-1000, whether or not the step is allowed. A refused step would be refused
// again from the same place, and an entity without bounds takes every step, so neither is
// walked pixel by pixel: a velocity of millions costs no more than a small one.
static int spendSteps(Entity *e, int acc, int sx, int sy, int bounds) {
	long long a = acc;
	long long steps = 0;
	if (a > 1000) {
		steps = (a - 1) / 1000;
	} else if (a < -1000) {
		steps = (-a - 1) / 1000;
	}
	if (steps == 0) {
		return acc;
	}
	if (bounds == 0) {
		e->x = clampFar(e->x + sx * steps);
		e->y = clampFar(e->y + sy * steps);
	} else {
		for (long long k = 0; k < steps && e->move(sx, sy, bounds); k++) {
		}
	}
	return (int)(a > 0 ? a - 1000 * steps : a + 1000 * steps);
}

// Moves one entity by its accumulated velocity, one pixel at a time against its bounds.
static void moveEntity(Entity *e) {
	int bounds = BOUND_FIELD | BOUND_VIEW;
	if (e->flags & ENT_MOV_OOB_ENV) {
		bounds &= ~BOUND_FIELD;
	}
	if (e->flags & ENT_MOV_OOB_VPT) {
		bounds &= ~BOUND_VIEW;
	}
	e->xvc = saturatingAdd(e->xvc, e->xvel);
	e->yvc = saturatingAdd(e->yvc, e->yvel);
	e->xvc = spendSteps(e, e->xvc, e->xvc > 0 ? 1 : -1, 0, bounds);
	e->yvc = spendSteps(e, e->yvc, 0, e->yvc > 0 ? 1 : -1, bounds);
}

// Moves every entity in list order.
void movementPass() {
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		moveEntity(e);
	}
}

// Advances the world by one game cycle: scroll, end of field, and the four passes.
void worldStep() {
	env->moveCamera(0, -1);
	endOfField();
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		e->addAnimPhase(1);
	}
	for (Entity *e = elist; e != nullptr; e = worldNext(e)) {
		e->addPhase(1);
	}
	collisionPass();
	movementPass();
}
