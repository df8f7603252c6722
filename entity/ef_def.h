// Behaviours that data binds to frames: the table, aiming, projectiles, firing patterns, life cycle.
#ifndef ENTITY_EF_DEF_H
#define ENTITY_EF_DEF_H

#include <string>
#include "entity/entity.h"

void buildEFuncs();
int getAngle(Entity *e1, Entity *e2);
int bulletAV(const std::string &fn, const std::string &id, Env *e, int x, int y, int a, int v);
int bullet(const std::string &fn, const std::string &id, Env *e, int x, int y, int a, int v);
int bulletXY(const std::string &fn, const std::string &id, Env *e, int x, int y, int xv, int yv);

// The contract every behaviour keeps: it gets its entity as a void pointer and returns an int
// that nobody reads. It may create entities, queue spawns and remove any entity. Run from a
// collision (the frames of a dying side's DEATH state), it may change the box, life, damage,
// flags, group, type or state of only the two entities of that collision and of the player:
// the collision pass files each entity by what it is where it stands, and files anew only
// those, so that another one changed meanwhile would miss collisions or be given some twice.
// Builds that check contracts (Debug, sanitizers) stop the game when a behaviour breaks this.

// firing patterns
int ef_fire_aimed(void *p);
int ef_fire_spread(void *p);
int ef_fire_line(void *p);
int ef_fire_lead(void *p);
int ef_fire_linewave(void *p);

// life cycle
int ef_die(void *p);
int ef_nohit(void *p);
int ef_player_die(void *p);
int ef_player_gone(void *p);
int ef_player_invuln_enter(void *p);
int ef_player_invuln_exit(void *p);
int ef_gen(void *p);

#endif
