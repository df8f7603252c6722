// Entity spawn lists: entities queued to be created some game cycles later.
#include "entity/entity.h"
#include "entity/report.h"

// Makes a record for template id of file fn, d game cycles from now.
static E_SPAWN *newSpawn(const std::string &fn, const std::string &id, int x, int y, int xv, int yv, int d, int r) {
	E_SPAWN *s = new E_SPAWN();
	s->filename = fn;
	s->id = id;
	s->delay = d;
	s->x = x;
	s->y = y;
	s->xv = xv;
	s->yv = yv;
	s->r = r;
	s->next = nullptr;
	return s;
}

// Tells that no record for template id was queued because too many wait (once per
// template, then counted); 1 when so.
static int tooManySpawns(const std::string &id) {
	if (spawnRecords < MAX_PENDING_SPAWNS) {
		return 0;
	}
	reportLine({"Entity::addSpawn: ", std::to_string(spawnRecords), " spawns pending, not queuing ", id});
	return 1;
}

// Queues an entity at an absolute place and velocity in d game cycles.
void Entity::addSpawn(const std::string &fn, const std::string &id, int sx, int sy, int xv, int yv, int d) {
	if (!tooManySpawns(id)) {
		addES(&slist, newSpawn(fn, id, sx, sy, xv, yv, d, 0));
	}
}

// Queues an entity placed and moving relative to this one as it is when the record fires.
void Entity::addSpawnR(const std::string &fn, const std::string &id, int sx, int sy, int xv, int yv, int d) {
	if (!tooManySpawns(id)) {
		addES(&slist, newSpawn(fn, id, sx, sy, xv, yv, d, 1));
	}
}

// Ages the entity by n game cycles and fires the spawn records that are then due.
void Entity::addPhase(int n) {
	ctr += n;
	if (!slist) {
		return;
	}
	slist->delay -= n;
	if (slist->delay < 1) {
		spawn();
	}
}

// Fires the due records at the head of the spawn list, in order.
void Entity::spawn() {
	while (slist && slist->delay < 1) {
		E_SPAWN *s = slist;
		if (!s->filename.empty() && !s->id.empty()) {
			Entity *e = loadEntity(s->filename, s->id, env);
			if (e && s->r == 0) {
				e->x = s->x;
				e->y = s->y;
				e->xvel = s->xv;
				e->yvel = s->yv;
			} else if (e) {
				e->x = saturatingAdd(x, s->x);
				e->y = saturatingAdd(y, s->y);
				e->xvel = saturatingAdd(xvel, s->xv);
				e->yvel = saturatingAdd(yvel, s->yv);
			} else if (!worldFull()) {
				reportLine({"Entity::spawn(): ", name, ": Could not load ", s->filename, ", ID ", s->id});
			}
		}
		remES(&slist, s);
	}
}
