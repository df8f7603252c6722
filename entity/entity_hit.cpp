// Entity collisions, damage and death. die() runs the DEATH state's behaviours or removes the
// entity, so either side of a collision may be gone after it: check `removed` before going on.
#include "entity/entity.h"

// 1 when the boxes overlap (both ends included) and neither side ignores the other's type.
int Entity::collide(Entity *e) {
	if (!e) {
		return 0;
	}
	// Far edges in 64 bits: sizes from the data may be anywhere in the int range.
	if (e->x > (long long)x + w - 1 || (long long)e->x + e->w - 1 < x) {
		return 0;
	}
	if (e->y > (long long)y + h - 1 || (long long)e->y + e->h - 1 < y) {
		return 0;
	}
	if (e->ignore.count(type) != 0) {
		return 0;
	}
	if (ignore.count(e->type) != 0) {
		return 0;
	}
	return 1;
}

// Exchanges damage between different groups, then lets whichever side is used up die.
void Entity::doCollision(Entity *e) {
	if (!e || removed || e->removed) {
		return;
	}
	if (group != e->group) {
		takeDamage(e);
		e->takeDamage(this);
	}
	if (life < 1) {
		die();
	}
	// The receiver's death behaviours may have removed the other side as well.
	if (!e->removed && e->life < 1) {
		e->die();
	}
}

// Loses e's damage from life unless invulnerable.
void Entity::takeDamage(Entity *e) {
	if (!e || (flags & ENT_INVULN)) {
		return;
	}
	// Saturates instead of wrapping: a huge damage leaves the least life, never a full one.
	life = saturatingAdd(life, -(long long)e->damage);
}

// Switches to the DEATH state, or leaves the world when there is no such state.
void Entity::die() {
	if (removed) {
		return;
	}
	if (!setState("DEATH")) {
		remEn(&elist, this);
	}
}
