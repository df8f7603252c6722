// The collision pass. Its outcome is defined by the plain walk over every pair in list order
// (collisionPassReference); collisionPass gives the same calls in the same order, but asks a
// grid of cells for the few entities near each receiver instead of testing all that follow it.
//
// Why the grid stays exact while behaviours change the world under it:
//  - Each entity is filed under the cells its box covers, columns x .. max(x, x + w - 1) and
//    rows likewise. Two boxes that collide always share such a cell: the test asks each box
//    to start no further right than the other ends and to end no further left than the other
//    starts, so the larger of the two left edges lies in both column ranges; also when a box
//    is 0 wide (it then hits boxes covering both x - 1 and x) or has a negative size. A box
//    that shrinks in place (EF_NOHIT) stays inside its cells, so the grid needs no change.
//  - A death behaviour may link new entities anywhere in the list. After every doCollision
//    the pass checks whether the list gained entities, or whether either side's box left its
//    cells; if so it rebuilds the grid and takes the receiver's remaining partners afresh from
//    the entity the plain walk would visit next (worldNext of the partner) onwards.
//  - Removed partners are skipped, and a removed receiver ends its partners, as in the walk.
// Behaviours run inside the pass may remove any entity and shrink any box, but may move or
// enlarge only the two entities of the collision that ran them.
#include "game/vorska.h"

#include <algorithm>
#include <vector>

void (*collisionTrace)(Entity *a, Entity *b) = nullptr;

#define CELL_SIZE 32
#define BIG_CELLS 64   // an entity covering more cells than this is tested against everyone

// The cells an entity is filed under, both ends included.
struct CellBox {
	int x0;
	int y0;
	int x1;
	int y1;
};

// The grid of one collision pass. Slots are list positions at the last build.
struct CollideGrid {
	std::vector<Entity *> ents;    // linked entities, in list order
	std::vector<CellBox> cells;    // the cells each slot is filed under
	std::vector<int> big;          // slots too large to file, ascending
	std::vector<int> bucketStart;  // first index into items of each bucket, and the end
	std::vector<int> items;        // slots grouped by bucket, ascending within each bucket
	unsigned int mask;             // bucket count - 1
	int links;                     // worldLinks() when built
	size_t cursor;                 // slot of the last receiver found
};

static CollideGrid grid;
static std::vector<int> partners;

// Grows by one for every entity linked, and stays put on removals: the graveyard keeps every
// removed entity until the cycle ends, and no pass runs reapEntities.
static int worldLinks() {
	return num_entities + graveyardSize();
}

// The cell holding world coordinate v, rounding down also for negative v.
static int cellOf(long long v) {
	if (v >= 0) {
		return (int)(v / CELL_SIZE);
	}
	return (int)(-((-v + CELL_SIZE - 1) / CELL_SIZE));
}

// The cells of e's box. A box less than a pixel wide (or high) is filed under its column x
// (row y): whatever it collides with covers that column, since the test asks the other box
// to reach from at most x + w - 1 to at least x.
static CellBox cellBox(const Entity *e) {
	long long x1 = std::max((long long)e->x, (long long)e->x + e->w - 1);
	long long y1 = std::max((long long)e->y, (long long)e->y + e->h - 1);
	CellBox c;
	c.x0 = cellOf(e->x);
	c.y0 = cellOf(e->y);
	c.x1 = cellOf(x1);
	c.y1 = cellOf(y1);
	return c;
}

// 1 when the box covers too many cells to be filed.
static int isBig(const CellBox &c) {
	long long n = ((long long)c.x1 - c.x0 + 1) * ((long long)c.y1 - c.y0 + 1);
	return n > BIG_CELLS;
}

// 1 when inner lies within outer.
static int within(const CellBox &inner, const CellBox &outer) {
	return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

// The bucket of cell (cx, cy); distinct cells may share one, which only adds candidates.
static unsigned int bucketOf(const CollideGrid &g, int cx, int cy) {
	unsigned int h = (unsigned int)cx * 73856093u ^ (unsigned int)cy * 19349663u;
	h ^= h >> 16;
	h *= 0x7feb352du;
	h ^= h >> 15;
	return h & g.mask;
}

// Files every linked entity under its cells, in list order.
static void buildGrid(CollideGrid &g) {
	g.ents.clear();
	g.cells.clear();
	g.big.clear();
	size_t filed = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		CellBox c = cellBox(e);
		if (isBig(c)) {
			g.big.push_back((int)g.ents.size());
		} else {
			filed += (size_t)(c.x1 - c.x0 + 1) * (size_t)(c.y1 - c.y0 + 1);
		}
		g.ents.push_back(e);
		g.cells.push_back(c);
	}
	unsigned int buckets = 16;
	while (buckets < filed) {
		buckets *= 2;
	}
	g.mask = buckets - 1;
	g.bucketStart.assign(buckets + 1, 0);
	g.items.resize(filed);
	size_t nbig = 0;
	// counting sort of the slots into their buckets: count, then place
	for (int pass = 0; pass < 2; pass++) {
		nbig = 0;
		for (size_t s = 0; s < g.ents.size(); s++) {
			if (nbig < g.big.size() && g.big[nbig] == (int)s) {
				nbig++;
				continue;
			}
			const CellBox &c = g.cells[s];
			for (int cy = c.y0; cy <= c.y1; cy++) {
				for (int cx = c.x0; cx <= c.x1; cx++) {
					unsigned int b = bucketOf(g, cx, cy);
					if (pass == 0) {
						g.bucketStart[b + 1]++;
					} else {
						g.items[g.bucketStart[b]++] = (int)s;
					}
				}
			}
		}
		if (pass == 0) {
			for (unsigned int b = 0; b < buckets; b++) {
				g.bucketStart[b + 1] += g.bucketStart[b];
			}
		} else {
			// placing advanced each start to the next bucket's: shift them back
			for (unsigned int b = buckets; b > 0; b--) {
				g.bucketStart[b] = g.bucketStart[b - 1];
			}
			g.bucketStart[0] = 0;
		}
	}
	g.links = worldLinks();
	g.cursor = 0;
}

// The slot of linked entity e, searched from slot `from` on and then from the start;
// -1 when e is not in the grid.
static int slotOf(const CollideGrid &g, const Entity *e, size_t from) {
	for (size_t s = from; s < g.ents.size(); s++) {
		if (g.ents[s] == e) {
			return (int)s;
		}
	}
	for (size_t s = 0; s < from && s < g.ents.size(); s++) {
		if (g.ents[s] == e) {
			return (int)s;
		}
	}
	return -1;
}

// The slot of receiver a. Receivers come in list order, so the search goes on from the last
// one; a receiver the grid does not hold (which the checks after each collision rule out)
// gets the grid rebuilt.
static int receiverSlot(CollideGrid &g, const Entity *a) {
	int s = slotOf(g, a, g.cursor);
	if (s < 0) {
		buildGrid(g);
		s = slotOf(g, a, 0);
	}
	if (s >= 0) {
		g.cursor = (size_t)s;
	}
	return s;
}

// Fills out with the slots from first on that may collide with receiver a, in list order.
static void findPartners(const CollideGrid &g, const Entity *a, int first, std::vector<int> &out) {
	out.clear();
	CellBox c = cellBox(a);
	if (isBig(c)) {
		for (size_t s = (size_t)first; s < g.ents.size(); s++) {
			out.push_back((int)s);
		}
		return;
	}
	for (int cy = c.y0; cy <= c.y1; cy++) {
		for (int cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, cx, cy);
			// ascending within the bucket: walk down from the end to the first slot wanted
			for (int i = g.bucketStart[b + 1] - 1; i >= g.bucketStart[b] && g.items[i] >= first; i--) {
				out.push_back(g.items[i]);
			}
		}
	}
	for (size_t i = 0; i < g.big.size(); i++) {
		if (g.big[i] >= first) {
			out.push_back(g.big[i]);
		}
	}
	std::sort(out.begin(), out.end());
	out.erase(std::unique(out.begin(), out.end()), out.end());
}

// 1 when the grid no longer holds the world: entities were linked, or a side of the
// collision in slot sa or sb left the cells it is filed under.
static int gridStale(const CollideGrid &g, int sa, int sb) {
	if (worldLinks() != g.links) {
		return 1;
	}
	const Entity *a = g.ents[sa];
	const Entity *b = g.ents[sb];
	if (!a->removed && !within(cellBox(a), g.cells[sa])) {
		return 1;
	}
	if (!b->removed && !within(cellBox(b), g.cells[sb])) {
		return 1;
	}
	return 0;
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
	findPartners(g, a, sa + 1, partners);
	size_t i = 0;
	while (i < partners.size()) {
		int sb = partners[i++];
		Entity *b = g.ents[sb];
		if (b->removed || !a->collide(b)) {
			continue;
		}
		collidePair(a, b);
		if (!gridStale(g, sa, sb)) {
			if (a->removed) {
				return;
			}
			continue;
		}
		// the plain walk goes on from the entity after b in the list as it is now
		Entity *from = worldNext(b);
		buildGrid(g);
		if (a->removed || from == nullptr) {
			return;
		}
		sa = receiverSlot(g, a);
		if (sa < 0) {
			return;
		}
		findPartners(g, a, slotOf(g, from, (size_t)sa + 1), partners);
		i = 0;
	}
}

// Tests every pair once, the earlier entity as the receiver, and applies the collisions.
void collisionPass() {
	buildGrid(grid);
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		receiverPass(grid, a);
	}
}

// The plain pass over every pair in list order: the definition collisionPass must match.
void collisionPassReference() {
	for (Entity *a = elist; a != nullptr; a = worldNext(a)) {
		for (Entity *b = worldNext(a); b != nullptr && !a->removed; b = worldNext(b)) {
			if (a->collide(b)) {
				collidePair(a, b);
			}
		}
	}
}
