// The collision pass. Its outcome is defined by the plain walk over every pair in list order
// (collisionPassReference); collisionPass makes the same doCollision calls in the same order,
// but takes from a grid of cells (collide_grid.cpp) the few entities near each receiver
// instead of testing all that follow it.
//
// Why the grid stays exact while behaviours change the world under it:
//  - Each entity's reach is the pixels from its box's top-left corner to its far corner,
//    columns x .. max(x, x + w - 1) and rows likewise. Two boxes that collide reach a common
//    pixel: the test asks each box to start no further right than the other ends and to end
//    no further left than the other starts, so the larger of the two left edges lies in both
//    column ranges; this holds also for a box 0 wide (it then hits boxes covering both x - 1
//    and x) or of negative size. The grid pairs the entities whose reaches meet as they were
//    when it was built; a box that shrinks in place (EF_NOHIT) stays inside its filed reach,
//    so the grid needs no change for it.
//  - A death behaviour may link new entities anywhere in the list. After every doCollision
//    the pass checks whether the list gained entities, or whether either side's box left its
//    filed reach; if so it rebuilds the grid and takes the receiver's remaining partners
//    afresh from the entity the plain walk would visit next (worldNext of the partner) on.
//  - Removed partners are skipped, and a removed receiver ends its partners, as in the walk.
//  - Pairs that cannot hurt each other (one group, both alive: harmless) make no doCollision in
//    either pass. The grid does not even pair entities of one team (one group, alive when
//    filed), nor two boxes without width (or two without height), which cannot meet. A side
//    that dies in a collision leaves its team: as a partner it joins the leavers, which its
//    former team mates among the receivers after it are given besides their pairs; as the
//    receiver it asks the cells for the rest of its partners. A box filed without width or
//    height that gains one no longer fits its filing, as if it had left its reach.
// Behaviours run inside the pass may remove any entity and shrink any box, but may move or
// enlarge only the two entities of the collision that ran them (entity/ef_def.h); builds that
// check contracts stop the game when one does.
#include "game/vorska.h"

#include <cstdlib>
#include "game/collide_grid.h"
#include "platform/message.h"

void (*collisionTrace)(Entity *a, Entity *b) = nullptr;

static CollideGrid grid;
static std::vector<int> partners;

// The slot of receiver a. Receivers come in list order, so the search goes on from the last
// one; a receiver the grid does not hold (which the checks after each collision rule out)
// gets the grid rebuilt.
static int receiverSlot(CollideGrid &g, const Entity *a) {
	int s = slotOf(g, a, g.cursor);
	if (s < 0) {
		buildGrid(g, 0);
		s = slotOf(g, a, 0);
	}
	if (s >= 0) {
		g.cursor = (size_t)s;
	}
	return s;
}

// 1 when the grid no longer holds the world: entities were linked, or a side of the
// collision in slot sa or sb no longer fits what it was filed with.
static int gridStale(const CollideGrid &g, int sa, int sb) {
	if (gridLinks() != g.links) {
		return 1;
	}
	if (!g.ents[sa]->removed && !fitsFiling(g, sa)) {
		return 1;
	}
	return !g.ents[sb]->removed && !fitsFiling(g, sb);
}

// Stops the game when the collision of the entities in slots sa and sb moved or enlarged a
// third one beyond what it was filed with: the grid would miss that entity's collisions for
// the rest of the pass. Only builds that check contracts pay for the walk.
static void checkOnlyTheTwoGrew(const CollideGrid &g, int sa, int sb) {
#ifdef VORSKA_CHECK_CONTRACTS
	for (size_t s = 0; s < g.ents.size(); s++) {
		const Entity *e = g.ents[s];
		if ((int)s != sa && (int)s != sb && !e->removed && !fitsFiling(g, (int)s)) {
			writeMessage(MESSAGE_ERR, "collisionPass: the collision of " + g.ents[sa]->name + " and " +
			                              g.ents[sb]->name + " moved or enlarged " + e->name +
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

// Runs receiver a against its partners; the grid is rebuilt whenever the world outgrew it.
static void receiverPass(CollideGrid &g, Entity *a) {
	int sa = receiverSlot(g, a);
	if (sa < 0) {
		return;  // a is linked, so every build holds it
	}
	partnersOf(g, sa, sa + 1, partners);
	size_t i = 0;
	while (i < partners.size()) {
		int sb = partners[i++];
		Entity *b = g.ents[sb];
		if (b->removed || harmless(a, b) || !a->collide(b)) {
			continue;
		}
		collidePair(a, b);
		checkOnlyTheTwoGrew(g, sa, sb);
		int stale = gridStale(g, sa, sb);
		// a receiver that died may now hurt its team mates: its partners are asked again
		if (!leaveTeams(g, sa, sb) && !stale) {
			if (a->removed) {
				return;
			}
			continue;
		}
		// the plain walk goes on from the entity after b in the list as it is now. Filing
		// alone is cheaper than pairing the whole world again for a pass that is partly done.
		Entity *from = worldNext(b);
		if (stale) {
			buildGrid(g, 0);
		}
		if (a->removed || from == nullptr) {
			return;
		}
		sa = receiverSlot(g, a);
		if (sa < 0) {
			return;
		}
		partnersOf(g, sa, slotOf(g, from, (size_t)sa + 1), partners);
		i = 0;
	}
}

// Tests every pair once, the earlier entity as the receiver, and applies the collisions.
void collisionPass() {
	buildGrid(grid, 1);
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		receiverPass(grid, a);
	}
}

// The plain pass over every pair in list order: the definition collisionPass must match.
void collisionPassReference() {
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		for (Entity *b = worldNext(a); b != nullptr && !a->removed; b = worldNext(b)) {
			if (!harmless(a, b) && a->collide(b)) {
				collidePair(a, b);
			}
		}
	}
}
