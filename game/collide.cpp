// The collision pass. Its outcome is defined by the plain walk over every pair in list order
// (collisionPassReference); collisionPass gives the same calls in the same order, but asks a
// grid of cells for the few entities near each receiver instead of testing all that follow it.
//
// Why the grid stays exact while behaviours change the world under it:
//  - Each entity's reach is the pixels from its box's top-left corner to its far corner,
//    columns x .. max(x, x + w - 1) and rows likewise. Two boxes that collide reach a common
//    pixel: the test asks each box to start no further right than the other ends and to end
//    no further left than the other starts, so the larger of the two left edges lies in both
//    column ranges; this holds also for a box 0 wide (it then hits boxes covering both x - 1
//    and x) or of negative size. Each entity is filed under the cells its reach covers, and
//    the reach is kept; candidates whose filed reach misses the receiver's are dropped
//    without touching them. A box that shrinks in place (EF_NOHIT) stays inside its filed
//    reach, so the grid needs no change for it.
//  - A death behaviour may link new entities anywhere in the list. After every doCollision
//    the pass checks whether the list gained entities, or whether either side's box left its
//    filed reach; if so it rebuilds the grid and takes the receiver's remaining partners afresh from
//    the entity the plain walk would visit next (worldNext of the partner) onwards.
//  - Removed partners are skipped, and a removed receiver ends its partners, as in the walk.
// Behaviours run inside the pass may remove any entity and shrink any box, but may move or
// enlarge only the two entities of the collision that ran them.
#include "game/vorska.h"

#include <algorithm>
#include <climits>
#include <vector>

void (*collisionTrace)(Entity *a, Entity *b) = nullptr;

#define MIN_CELL 8      // cell sizes are powers of two from here...
#define MAX_CELL 256    // ...to here, near the boxes' mean size
#define BIG_CELLS 64    // an entity covering more cells than this is tested against everyone

// The pixels a box reaches, both ends included: columns x .. max(x, x + w - 1), rows likewise.
// Two boxes that collide reach a common pixel.
struct Reach {
	int x0;
	int y0;
	int x1;
	int y1;
};

// The grid of one collision pass. Slots are list positions at the last build.
struct CollideGrid {
	std::vector<Entity *> ents;    // linked entities, in list order
	std::vector<Reach> reach;      // each slot's reach when filed; boxes only shrink inside it
	std::vector<Reach> cells;      // the cells each slot is filed under
	std::vector<int> big;          // slots too large to file, ascending
	std::vector<int> bucketStart;  // first index into items of each bucket, and the end
	std::vector<int> items;        // slots grouped by bucket, ascending within each bucket
	int cellSize;                  // pixels
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

// The far end of a box from start p over n pixels, never below p, held inside an int.
static int reachEnd(int p, int n) {
	long long end = std::max((long long)p, (long long)p + n - 1);
	return (int)std::min(end, (long long)INT_MAX);
}

// What e's box reaches now.
static Reach reachOf(const Entity *e) {
	Reach r;
	r.x0 = e->x;
	r.y0 = e->y;
	r.x1 = reachEnd(e->x, e->w);
	r.y1 = reachEnd(e->y, e->h);
	return r;
}

// 1 when the two reaches share a pixel.
static int overlaps(const Reach &a, const Reach &b) {
	return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

// 1 when inner lies within outer.
static int within(const Reach &inner, const Reach &outer) {
	return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

// The cell of size n holding world coordinate v, rounding down also for negative v.
static int cellOf(int v, int n) {
	if (v >= 0) {
		return v / n;
	}
	return -(int)((-(long long)v + n - 1) / n);
}

// The cells a reach covers.
static Reach cellsOf(const CollideGrid &g, const Reach &r) {
	Reach c;
	c.x0 = cellOf(r.x0, g.cellSize);
	c.y0 = cellOf(r.y0, g.cellSize);
	c.x1 = cellOf(r.x1, g.cellSize);
	c.y1 = cellOf(r.y1, g.cellSize);
	return c;
}

// A cell about as large as the reaches are on average: small boxes in a crowd then share a
// cell with few others, and a box rarely spans more than four cells.
static int cellSizeFor(const std::vector<Reach> &reach) {
	long long sum = 0;
	long long n = 0;
	for (size_t s = 0; s < reach.size(); s++) {
		long long extent = (long long)reach[s].x1 - reach[s].x0 + reach[s].y1 - reach[s].y0 + 2;
		if (extent <= 2 * MAX_CELL) {
			sum += extent;
			n += 2;
		}
	}
	int size = MIN_CELL;
	while (size < MAX_CELL && n > 0 && size * n < sum) {
		size *= 2;
	}
	return size;
}

// 1 when the cells are too many to file.
static int isBig(const Reach &c) {
	long long n = ((long long)c.x1 - c.x0 + 1) * ((long long)c.y1 - c.y0 + 1);
	return n > BIG_CELLS;
}

// The bucket of cell (cx, cy); distinct cells may share one, which only adds candidates.
static unsigned int bucketOf(const CollideGrid &g, int cx, int cy) {
	unsigned int h = (unsigned int)cx * 73856093u ^ (unsigned int)cy * 19349663u;
	h ^= h >> 16;
	h *= 0x7feb352du;
	h ^= h >> 15;
	return h & g.mask;
}

// Counts (place 0) or places (place 1) slot s in the buckets of its cells.
static void fileSlot(CollideGrid &g, size_t s, int place) {
	const Reach &c = g.cells[s];
	for (int cy = c.y0; cy <= c.y1; cy++) {
		for (int cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, cx, cy);
			if (place) {
				g.items[g.bucketStart[b]++] = (int)s;
			} else {
				g.bucketStart[b + 1]++;
			}
		}
	}
}

// Files every linked entity under its cells, in list order.
static void buildGrid(CollideGrid &g) {
	g.ents.clear();
	g.reach.clear();
	g.cells.clear();
	g.big.clear();
	for (Entity *e = elist; e != nullptr; e = e->next) {
		g.ents.push_back(e);
		g.reach.push_back(reachOf(e));
	}
	g.cellSize = cellSizeFor(g.reach);
	size_t filed = 0;
	for (size_t s = 0; s < g.ents.size(); s++) {
		Reach c = cellsOf(g, g.reach[s]);
		if (isBig(c)) {
			g.big.push_back((int)s);
		} else {
			filed += (size_t)(c.x1 - c.x0 + 1) * (size_t)(c.y1 - c.y0 + 1);
		}
		g.cells.push_back(c);
	}
	unsigned int buckets = 16;
	while (buckets < filed) {
		buckets *= 2;
	}
	g.mask = buckets - 1;
	// a counting sort of the slots into their buckets: count, sum up, place
	g.bucketStart.assign(buckets + 1, 0);
	g.items.resize(filed);
	size_t nbig = 0;
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (nbig < g.big.size() && g.big[nbig] == (int)s) {
			nbig++;
		} else {
			fileSlot(g, s, 0);
		}
	}
	for (unsigned int b = 0; b < buckets; b++) {
		g.bucketStart[b + 1] += g.bucketStart[b];
	}
	nbig = 0;
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (nbig < g.big.size() && g.big[nbig] == (int)s) {
			nbig++;
		} else {
			fileSlot(g, s, 1);
		}
	}
	// placing moved each bucket's start to where the next one starts: shift them back
	for (unsigned int b = buckets; b > 0; b--) {
		g.bucketStart[b] = g.bucketStart[b - 1];
	}
	g.bucketStart[0] = 0;
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

// Fills out with the slots from first on whose filed reach meets receiver a's reach now, in
// list order. Their boxes only shrink inside what was filed, so no other slot can collide.
static void findPartners(const CollideGrid &g, const Entity *a, int first, std::vector<int> &out) {
	out.clear();
	Reach r = reachOf(a);
	Reach c = cellsOf(g, r);
	if (isBig(c)) {
		for (size_t s = (size_t)first; s < g.ents.size(); s++) {
			if (overlaps(r, g.reach[s])) {
				out.push_back((int)s);
			}
		}
		return;
	}
	int runs = 0;
	for (int cy = c.y0; cy <= c.y1; cy++) {
		for (int cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, cx, cy);
			// ascending within the bucket: start at the first slot wanted
			const int *end = g.items.data() + g.bucketStart[b + 1];
			const int *i = std::lower_bound(g.items.data() + g.bucketStart[b], end, first);
			for (; i < end; i++) {
				if (overlaps(r, g.reach[*i])) {
					out.push_back(*i);
				}
			}
			runs++;
		}
	}
	for (size_t i = 0; i < g.big.size(); i++) {
		if (g.big[i] >= first && overlaps(r, g.reach[g.big[i]])) {
			out.push_back(g.big[i]);
			runs++;
		}
	}
	// one bucket gives them in order already; a slot filed twice in it stands twice in a row
	if (runs > 1) {
		std::sort(out.begin(), out.end());
	}
	out.erase(std::unique(out.begin(), out.end()), out.end());
}

// 1 when the grid no longer holds the world: entities were linked, or a side of the
// collision in slot sa or sb reaches beyond what it was filed with.
static int gridStale(const CollideGrid &g, int sa, int sb) {
	if (worldLinks() != g.links) {
		return 1;
	}
	const Entity *a = g.ents[sa];
	const Entity *b = g.ents[sb];
	if (!a->removed && !within(reachOf(a), g.reach[sa])) {
		return 1;
	}
	if (!b->removed && !within(reachOf(b), g.reach[sb])) {
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
