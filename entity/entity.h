// Live entities, the world list and the entity factory; templates come from entitydata.h.
//
// REMOVAL RULE — read this before touching the world list.
// Entities are removed while operations on them are still running: a behaviour run by the
// entity's own frame change may remove it, die() removes it inside doCollision, and every
// pass of the main loop holds the entity it is working on. Therefore:
//   1. remEn unlinks at once (no walk of elist reaches the entity afterwards), lowers
//      num_entities, sets the entity's `removed` mark and hands it to the graveyard. The
//      entity stays allocated; its `next` keeps pointing at the entity that followed it when
//      it was unlinked, and nothing changes that pointer afterwards.
//   2. Nothing may act on an entity whose `removed` mark is set: every operation that runs
//      behaviours (setFrame, setState, nextFrame, addAnimPhase, die, doCollision) checks the
//      mark after each call that may have removed it and stops.
//   3. reapEntities() destroys the graveyard. Call it only where no pass holds an entity:
//      the main loop does so at the end of each game cycle and after each draw pass.
//   4. A pass walks with worldNext(e): the entity after e in the list as it is now; for a
//      removed e, the first entity still linked along e's frozen `next` chain. Entities
//      linked in behind the current one during a pass are therefore reached by that pass.
#ifndef ENTITY_ENTITY_H
#define ENTITY_ENTITY_H

#include <string>
#include <vector>
#include "entity/types.h"
#include "entity/entitydata.h"
#include "display/env.h"
#include "platform/sound.h"

// The bounds chkMove tests and reports.
#define BOUND_FIELD   1  // the box leaves the field
#define BOUND_VIEW    2  // the box leaves the camera window
#define BOUND_PICTURE 4  // the current picture overlaps the camera window

// A live game object made from a template.
class Entity : public EntityFields {
public:
	int x;
	int y;
	Sint32 ctr;  // age in game cycles
	int xvc;     // motion accumulated and not yet made
	int yvc;
	State *state;  // current state, inside the template; not owned
	Frame *frame;  // current frame, inside state; not owned
	unsigned int curframe;
	int framectr;
	Env *env;          // not owned
	EntityData *data;  // the template; not owned
	E_SPAWN *slist;    // pending spawns; owned
	Entity *next;      // world list link
	int removed;       // set by remEn; see the removal rule above
	Entity *prev;      // bookkeeping of addEn and remEn: the entity before this one in
	                   // elist, so that removal needs no walk; null at the head, outside
	                   // elist, and in copies (remEn then walks the list as before)

	Entity();
	Entity(const std::string &fn, const std::string &id);
	Entity(const std::string &fn, const std::string &id, Env *e);
	Entity(const Entity &o);  // deep-copies the spawn list
	Entity &operator=(const Entity &o);
	~Entity();

	// binding
	void initEn();
	int initTo(const std::string &id);
	int loadEn(const std::string &fn, const std::string &id);
	int loadEn(const std::string &fn, const std::string &id, Env *e);
	void setEnv(Env *e);

	// animation
	int setState(const std::string &s);
	std::string getState();
	void setFrame(unsigned int i);
	void nextFrame();
	void addAnimPhase(int n);

	// bounds and motion
	int chkMove(int x, int y, int flags);
	int chkMove(int x, int y);
	int visible();
	int move(int dx, int dy, int flags);
	void move(int dx, int dy);
	void moveX(int dx);
	void moveY(int dy);

	// collision, damage, death
	int boxMeets(const Entity *e) const;
	int collide(Entity *e);
	void doCollision(Entity *e);
	void takeDamage(Entity *e);
	void die();
	SoundEvent dyingSound() const;
	void soundDying() const;

	// drawing
	void draw(Env *e);
	void draw();
	void drawHitBox(Env *e, int r, int g, int b);
	void drawHitBox(int r, int g, int b);
	void drawFrameBox(Env *e, int r, int g, int b);
	void drawFrameBox(int r, int g, int b);

	// spawning
	void addSpawn(const std::string &fn, const std::string &id, int x, int y, int xv, int yv, int d);
	void addSpawnR(const std::string &fn, const std::string &id, int x, int y, int xv, int yv, int d);
	void addPhase(int n);
	void spawn();

	void snoop(const std::string &spaces);
};

// The world list.
extern Entity *elist;
extern int num_entities;
// Entity values beside the templates; only printEnListV reads it.
extern std::vector<Entity> enlist;

void addEn(Entity **list, Entity *e);
void remEn(Entity **list, Entity *e);
Entity *worldNext(Entity *e);
// Told of every entity linked into elist while set: the collision pass files them as they come.
extern void (*linkWatch)(Entity *e);
// Told of every entity unlinked from elist while set: the collision pass takes it out of its
// reckoning at once.
extern void (*unlinkWatch)(Entity *e);
// Grows at every frame change asked for (a change of state asks for one), where behaviours
// run: a collision that left it alone changed only the lives of its two sides.
extern long frameChanges;
void reapEntities();
int graveyardSize();

// Live entities the factory makes at most: far above any level, far below what would make
// a cycle last a second or the game take hundreds of megabytes.
#define MAX_LIVE_ENTITIES 16384

int worldFull();
Entity *loadEntity(const std::string &fn, const std::string &id, Env *e);
Entity *loadEntity(const std::string &fn, const std::string &id);

void printEnList(int level);
void printEnListV(int level);
void printList(Entity **list);

#endif
