// The broad phase of the collision pass. Each linked entity is filed under the cells of a
// grid that its reach covers; cells are hashed into buckets, so the world has no bounds to
// fit and far-flung entities cost nothing. Every pair of entries of one cell whose reaches
// meet becomes a pair, counted in the one cell that holds the corner where the two reaches
// begin to overlap. Entities covering too many cells are not filed but paired with everyone.
// A grid filed without pairing answers each receiver by asking the cells of its reach.
#include "game/collide_grid.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>

#define MIN_CELL  8    // cell sizes are powers of two from here...
#define MAX_CELL  256  // ...to here, near the boxes' mean size
#define BIG_CELLS 64   // an entity covering more cells than this is paired with everyone

// Grows by one for every entity linked, and stays put on removals: the graveyard keeps every
// removed entity until the cycle ends, and no pass runs reapEntities.
int gridLinks() {
	return num_entities + graveyardSize();
}

// 1 when a and b cannot hurt each other: one group, both alive.
int harmless(const Entity *a, const Entity *b) {
	return a->life >= 1 && b->life >= 1 && a->group == b->group;
}

// Numbers the slots' teams: slots of one group that are alive share a number, every other
// slot has one of its own.
static void numberTeams(CollideGrid &g) {
	std::unordered_map<std::string, int> groups;
	g.team.resize(g.ents.size());
	for (size_t s = 0; s < g.ents.size(); s++) {
		const Entity *e = g.ents[s];
		if (e->life < 1) {
			g.team[s] = -1 - (int)s;
			continue;
		}
		g.team[s] = groups.emplace(e->group, (int)groups.size()).first->second;
	}
}

// The far end of a box from start p over n pixels, never below p, held inside an int.
static int reachEnd(int p, int n) {
	long long end = std::max((long long)p, (long long)p + n - 1);
	return (int)std::min(end, (long long)INT_MAX);
}

// What e's box reaches now.
Reach reachOf(const Entity *e) {
	Reach r;
	r.x0 = e->x;
	r.y0 = e->y;
	r.x1 = reachEnd(e->x, e->w);
	r.y1 = reachEnd(e->y, e->h);
	return r;
}

// 1 when the two reaches share a pixel. The tests are joined bitwise: in the pairing's
// innermost loop one branch on the whole is cheaper than one for each test.
static int overlaps(const Reach &a, const Reach &b) {
	return (a.x0 <= b.x1) & (b.x0 <= a.x1) & (a.y0 <= b.y1) & (b.y0 <= a.y1);
}

// 1 when inner lies within outer.
int within(const Reach &inner, const Reach &outer) {
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

// How many cells c holds.
static long long cellCount(const Reach &c) {
	return ((long long)c.x1 - c.x0 + 1) * ((long long)c.y1 - c.y0 + 1);
}

// The bucket of cell (cx, cy); distinct cells may share one, which the pairing tells apart.
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
			if (!place) {
				g.bucketStart[b + 1]++;
				continue;
			}
			Filed &f = g.items[g.bucketStart[b]++];
			f.slot = (int)s;
			f.cx = cx;
			f.cy = cy;
			f.reach = g.reach[s];
		}
	}
}

// Files every slot that is not big under its cells: a counting sort into the buckets.
static void fileAll(CollideGrid &g) {
	size_t filed = 0;
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (!g.big[s]) {
			filed += (size_t)cellCount(g.cells[s]);
		}
	}
	unsigned int buckets = 16;
	while (buckets < filed) {
		buckets *= 2;
	}
	g.mask = buckets - 1;
	g.bucketStart.assign(buckets + 1, 0);
	g.items.resize(filed);
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (!g.big[s]) {
			fileSlot(g, s, 0);
		}
	}
	for (unsigned int b = 0; b < buckets; b++) {
		g.bucketStart[b + 1] += g.bucketStart[b];
	}
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (!g.big[s]) {
			fileSlot(g, s, 1);
		}
	}
	// placing moved each bucket's start to where the next one starts: shift them back
	for (unsigned int b = buckets; b > 0; b--) {
		g.bucketStart[b] = g.bucketStart[b - 1];
	}
	g.bucketStart[0] = 0;
}

// Records the pair of p and q when their reaches meet in the cell holding the corner where
// they begin to overlap; the earlier slot first.
static void pairEntries(CollideGrid &g, const Filed *p, const Filed *q) {
	if (!((q->cx == p->cx) & (q->cy == p->cy) & overlaps(p->reach, q->reach))) {
		return;
	}
	int cornerX = std::max(p->reach.x0, q->reach.x0);
	int cornerY = std::max(p->reach.y0, q->reach.y0);
	if (cellOf(cornerX, g.cellSize) != p->cx || cellOf(cornerY, g.cellSize) != p->cy) {
		return;
	}
	g.found.push_back(std::min(p->slot, q->slot));
	g.found.push_back(std::max(p->slot, q->slot));
}

// Pairs the entries of each cell whose reaches meet, once: in the cell holding the corner
// where they begin to overlap. A bucket is taken team by team, and only entries of different
// teams are paired, so that a crowd of one group on one spot costs no more than its size.
static void pairCells(CollideGrid &g) {
	for (unsigned int b = 0; b <= g.mask; b++) {
		g.byTeam.assign(g.items.begin() + g.bucketStart[b], g.items.begin() + g.bucketStart[b + 1]);
		std::stable_sort(g.byTeam.begin(), g.byTeam.end(),
		                 [&g](const Filed &x, const Filed &y) { return g.team[x.slot] < g.team[y.slot]; });
		const Filed *end = g.byTeam.data() + g.byTeam.size();
		const Filed *teamEnd = g.byTeam.data();
		for (const Filed *p = g.byTeam.data(); p < end; p++) {
			while (teamEnd < end && g.team[teamEnd->slot] == g.team[p->slot]) {
				teamEnd++;
			}
			for (const Filed *q = teamEnd; q < end; q++) {
				pairEntries(g, p, q);
			}
		}
	}
}

// Pairs each big slot with every slot its reach meets; two big ones once.
static void pairBig(CollideGrid &g) {
	int n = (int)g.ents.size();
	for (int s = 0; s < n; s++) {
		if (!g.big[s]) {
			continue;
		}
		for (int t = 0; t < n; t++) {
			if (t == s || (g.big[t] && t < s) || g.team[t] == g.team[s] || !overlaps(g.reach[s], g.reach[t])) {
				continue;
			}
			g.found.push_back(std::min(s, t));
			g.found.push_back(std::max(s, t));
		}
	}
}

// Groups the pairs by their earlier slot, later slots ascending within each group.
static void groupPairs(CollideGrid &g) {
	size_t n = g.ents.size();
	g.partnerStart.assign(n + 1, 0);
	for (size_t k = 0; k < g.found.size(); k += 2) {
		g.partnerStart[g.found[k] + 1]++;
	}
	for (size_t s = 0; s < n; s++) {
		g.partnerStart[s + 1] += g.partnerStart[s];
	}
	g.partners.resize(g.found.size() / 2);
	g.fill.assign(g.partnerStart.begin(), g.partnerStart.end() - 1);
	for (size_t k = 0; k < g.found.size(); k += 2) {
		g.partners[g.fill[g.found[k]]++] = g.found[k + 1];
	}
	for (size_t s = 0; s < n; s++) {
		if (g.partnerStart[s + 1] - g.partnerStart[s] > 1) {
			std::sort(g.partners.begin() + g.partnerStart[s], g.partners.begin() + g.partnerStart[s + 1]);
		}
	}
}

// Files every linked entity, in list order, and with pairs set pairs those whose reaches meet.
void buildGrid(CollideGrid &g, int pairs) {
	g.ents.clear();
	g.reach.clear();
	for (Entity *e = elist; e != nullptr; e = e->next) {
		g.ents.push_back(e);
		g.reach.push_back(reachOf(e));
	}
	numberTeams(g);
	g.cellSize = cellSizeFor(g.reach);
	g.cells.resize(g.ents.size());
	g.big.resize(g.ents.size());
	g.bigSlots.clear();
	for (size_t s = 0; s < g.ents.size(); s++) {
		g.cells[s] = cellsOf(g, g.reach[s]);
		g.big[s] = cellCount(g.cells[s]) > BIG_CELLS;
		if (g.big[s]) {
			g.bigSlots.push_back((int)s);
		}
	}
	fileAll(g);
	g.paired = pairs;
	if (pairs) {
		g.found.clear();
		pairCells(g);
		pairBig(g);
		groupPairs(g);
	}
	g.links = gridLinks();
	g.cursor = 0;
}

// The slot of e, searched from slot `from` on and then from the start; -1 when not filed.
int slotOf(const CollideGrid &g, const Entity *e, size_t from) {
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

// Orders bucket entries by slot for the binary search.
static bool slotBefore(const Filed &f, int slot) {
	return f.slot < slot;
}

// Asks the cells for the partners of slot sa from slot first on: every filed entry whose reach
// meets sa's reach now, found in the cell that holds the corner where the two begin to
// overlap, so that each comes once; and the big slots that it meets.
static void askCells(const CollideGrid &g, int team, const Reach &r, int first, std::vector<int> &out) {
	Reach c = cellsOf(g, r);
	for (int cy = c.y0; cy <= c.y1; cy++) {
		for (int cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, cx, cy);
			const Filed *end = g.items.data() + g.bucketStart[b + 1];
			const Filed *i = std::lower_bound(g.items.data() + g.bucketStart[b], end, first, slotBefore);
			for (; i < end; i++) {
				if (!((i->cx == cx) & (i->cy == cy) & overlaps(r, i->reach)) || g.team[i->slot] == team) {
					continue;
				}
				if (cellOf(std::max(r.x0, i->reach.x0), g.cellSize) == cx &&
				    cellOf(std::max(r.y0, i->reach.y0), g.cellSize) == cy) {
					out.push_back(i->slot);
				}
			}
		}
	}
	for (size_t k = 0; k < g.bigSlots.size(); k++) {
		if (g.bigSlots[k] >= first && g.team[g.bigSlots[k]] != team && overlaps(r, g.reach[g.bigSlots[k]])) {
			out.push_back(g.bigSlots[k]);
		}
	}
	std::sort(out.begin(), out.end());
}

// The slots from first on that may collide with slot sa, ascending.
void partnersOf(const CollideGrid &g, int sa, int first, std::vector<int> &out) {
	out.clear();
	if (g.paired) {
		const int *group = g.partners.data();
		const int *end = group + g.partnerStart[sa + 1];
		for (const int *i = std::lower_bound(group + g.partnerStart[sa], end, first); i < end; i++) {
			out.push_back(*i);
		}
		return;
	}
	// the receiver's box may have shrunk since it was filed: ask with what it reaches now
	Reach r = reachOf(g.ents[sa]);
	if (!g.big[sa]) {
		askCells(g, g.team[sa], r, first, out);
		return;
	}
	for (int t = first; t < (int)g.ents.size(); t++) {
		if (g.team[t] != g.team[sa] && overlaps(r, g.reach[t])) {
			out.push_back(t);
		}
	}
}
