// The collision pass. Its outcome is defined by the plain walk over every pair in list order
// (collisionPassReference); collisionPass makes the same doCollision calls in the same order,
// but takes from a grid of stacks (collide_grid.cpp) only the entities near each receiver
// whose collision with it could change something, instead of testing all that follow it.
//
// Why the grid stays exact while behaviours change the world under it:
//  - A pair whose doCollision would change nothing (changesNothing: one group or no damage
//    either way, and no die() that would act) is left alone by both passes. The grid files
//    each entity with its kind, which decides this for whole crowds at once, and with its
//    reach, which decides whether two boxes meet (collide_grid.h).
//  - The list stays in order of priority, and an entity linked during the pass goes before
//    every other of its priority: each entity's place in the list is a number (its key), and
//    a receiver walks its partners by key, as the plain walk does by the list.
//  - A collision changes the kind or the reach of its two sides only, and of the player
//    (the behaviours of entity/ef_def.h keep to this; builds that check contracts stop the
//    game when one does not). After each doCollision the pass files anew whichever of them
//    changed, files the entities the collision linked, and when the receiver changed, the
//    world gained entities, the player changed or a death sound was asked for, asks the grid
//    for the receiver's partners again from the entity the plain walk would visit next
//    (worldNext of the partner) on.
//  - Removed entities stand for nothing in the grid, and a removed receiver ends its walk.
#include "game/vorska.h"

#include <climits>
#include <cstdlib>
#include "game/collide_batch.h"
#include "game/collide_grid.h"
#include "platform/message.h"

void (*collisionTrace)(Entity *a, Entity *b) = nullptr;
long collisionsSummed = 0;
int collisionPileSize = 4;
int collisionBatchSize = 16;
int collisionBatchPairs = 4;
int collisionCrowdSize = 1024;

static CollideGrid grid;

// Stops the game when the collision of the entities in slots sa and sb changed the kind or
// the reach of a third one still ahead of the receiver, other than the player: the grid would
// miss that entity's collisions for the rest of the pass. (Receivers passed are never looked
// at again, and are not filed anew when they change.) Only builds that check contracts pay
// for the walk.
static void checkOnlyTheTwoChanged(CollideGrid &g, int sa, int sb) {
#ifdef VORSKA_CHECK_CONTRACTS
	for (size_t s = 0; s < g.ents.size(); s++) {
		const Entity *e = g.ents[s];
		if (g.key[s] > g.key[sa] && (int)s != sb && e != player && changedSinceFiled(g, (int)s)) {
			writeMessage(MESSAGE_ERR, "collisionPass: the collision of " + g.ents[sa]->name + " and " +
			                              g.ents[sb]->name + " changed " + e->name +
			                              ": a behaviour run from a collision may change only its two sides\n");
			abort();
		}
	}
#else
	(void)g;
	(void)sa;
	(void)sb;
#endif
}

// Applies one collision, tracing it first when a tracer is set.
static void collidePair(Entity *a, Entity *b) {
	if (collisionTrace != nullptr) {
		collisionTrace(a, b);
	}
	a->doCollision(b);
}

// Notes for the grid each entity linked while the pass runs.
static void watchLink(Entity *e) {
	noteLinked(grid, e);
}

// Notes for the grid each entity unlinked while the pass runs.
static void watchUnlink(Entity *e) {
	noteUnlinked(grid, e);
}

// Files anew what the collision of slots sa and sb changed; 1 when the receiver's walk must
// be asked again: the world gained entities, or the receiver or the player changed.
static int fileChanges(CollideGrid &g, int sa, int sb) {
	int ask = fileFresh(g);
	refileIfChanged(g, sb);
	int ps = player != nullptr ? slotOf(g, player) : -1;
	if (ps >= 0 && ps != sa && ps != sb) {
		ask |= refileIfChanged(g, ps);
	}
	if (!receiverChanged(g)) {
		return ask;
	}
	leaveBatch(g, sa);  // a batched receiver that changed collides one by one from now on
	return 1;
}

// Runs receiver a against every partner from b on, as the plain pass does.
static void plainWalk(Entity *a, Entity *b) {
	for (; b != nullptr && !a->removed; b = worldNext(b)) {
		if (!changesNothing(a, b) && a->collide(b)) {
			collidePair(a, b);
		}
	}
}

// The same for receiver slot sa of the grid, leaving the collisions summed alone.
static void plainWalkBatched(CollideGrid &g, int sa, Entity *b) {
	Entity *a = g.ents[sa];
	for (; b != nullptr && !a->removed; b = worldNext(b)) {
		int sb = slotOf(g, b);
		if (sb >= 0) {
			if (bothBatched(g, sa, sb)) {
				continue;
			}
			markNow(g, sa, sb);
			leaveBatchBefore(g, sa, sb);
		}
		if (!changesNothing(a, b) && a->collide(b)) {
			collidePair(a, b);
			if (sb >= 0 && !b->removed) {
				leaveBatchAfter(g, sb);
			}
		}
	}
}

// Runs receiver a against its partners.
static void receiverPass(CollideGrid &g, Entity *a) {
	fileFresh(g);
	int sa = slotOf(g, a);
	if (sa < 0) {
		return;  // every linked entity is filed
	}
	finishTurns(g, g.key[sa]);
	askPartners(g, sa, g.key[sa] + 1, !startReceiver(g, sa));
	for (int sb = nextToMake(g); sb >= 0; sb = nextToMake(g)) {
		Entity *b = g.ents[sb];
		int pile = leavePile(g, sb);  // its life as the collisions made at once left it
		int ver = g.ver[sb];
		markNow(g, sa, sb);
		int changed = leaveBatchBefore(g, sa, sb);
		int sounds = deathSoundsAsked();
		if (!changesNothing(a, b) && a->collide(b)) {
			long frames = frameChanges;
			int dead = (a->life < 1) | (b->life < 1) << 1;
			collidePair(a, b);
			g.pairsMade++;
			g.pairsOneByOne++;
			checkOnlyTheTwoChanged(g, sa, sb);
			changed |= leaveBatchAfter(g, sb);
			// without a behaviour run, an entity linked or a side dying (or coming back), only
			// the sides' lives have changed, and no kind, box or place
			changed |= frameChanges != frames || !g.fresh.empty() || ((a->life < 1) | (b->life < 1) << 1) != dead;
		}
		int ask = changed && fileChanges(g, sa, sb);
		settle(g, sb, pile, ver);
		if (a->removed) {
			return;
		}
		if (!ask && deathSoundsAsked() == sounds) {
			continue;
		}
		Entity *from = worldNext(b);
		if (from == nullptr) {
			return;
		}
		int sf = slotOf(g, from);
		if (sf < 0) {
			// every linked entity is filed; should one not be, still exact
			flushPiles(g);
			plainWalkBatched(g, sa, from);
			return;
		}
		askPartners(g, sa, g.key[sf], 0);
	}
}

// Tests every pair once, the earlier entity as the receiver, and applies the collisions.
void collisionPass() {
	if (!buildGrid(grid)) {
		// linking keeps the list in order of priority; should anything else not, the plain
		// pass still gives the same outcome
		collisionPassReference();
		return;
	}
	linkWatch = watchLink;
	unlinkWatch = watchUnlink;
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		fileFresh(grid);
		batchTheRest(grid, a);
		receiverPass(grid, a);
	}
	flushPiles(grid);
	finishTurns(grid, LLONG_MAX);
	passMade(grid);
	linkWatch = nullptr;
	unlinkWatch = nullptr;
}

// The plain pass over every pair in list order: the definition collisionPass must match.
void collisionPassReference() {
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		plainWalk(a, worldNext(a));
	}
}
