// Entity collisions, damage and death. die() runs the DEATH state's behaviours or removes the
// entity, so either side of a collision may be gone after it: check `removed` before going on.
#include "entity/entity.h"

#include <algorithm>
#include "entity/gamestate.h"
#include "platform/sound.h"

// A death is heard by the size of the one dying: the player's ship by its own sound, anything else
// by the larger side of its hit box as it dies (the tank's 28 pixels a small explosion, the
// helicopter's 44 a large one); shots and bullets die unheard.
#define SMALL_DEATH_SIDE 16
#define LARGE_DEATH_SIDE 40

// 1 when the boxes overlap, both ends included. A box without width meets only a box that
// covers its column and the one before it, and likewise in height; two without width never.
int Entity::boxMeets(const Entity *e) const {
	// Far edges in 64 bits: sizes from the data may be anywhere in the int range.
	if (e->x > (long long)x + w - 1 || (long long)e->x + e->w - 1 < x) {
		return 0;
	}
	if (e->y > (long long)y + h - 1 || (long long)e->y + e->h - 1 < y) {
		return 0;
	}
	return 1;
}

// 1 when the boxes overlap (both ends included) and neither side ignores the other's type.
int Entity::collide(Entity *e) {
	if (!e || !boxMeets(e)) {
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

// The sound of this entity's death as its box is now; SOUND_EVENTS when it dies unheard.
SoundEvent Entity::dyingSound() const {
	int side = std::max(w, h);
	if (this == player) {
		return SOUND_DEATH_SHIP;
	}
	if (side >= LARGE_DEATH_SIDE) {
		return SOUND_DEATH_LARGE;
	}
	return side >= SMALL_DEATH_SIDE ? SOUND_DEATH_SMALL : SOUND_EVENTS;
}

// Plays the sound of this entity's death, before its death behaviours shrink its box.
void Entity::soundDying() const {
	SoundEvent sound = dyingSound();
	if (sound != SOUND_EVENTS) {
		playSound(sound);
	}
}

// Switches to the DEATH state, or leaves the world when there is no such state.
void Entity::die() {
	if (removed) {
		return;
	}
	soundDying();
	if (!setState("DEATH")) {
		remEn(&elist, this);
	}
}
