// The broad phase of the collision pass. Each linked entity is filed under the cells of a
// grid that its reach covers; cells are hashed into buckets, so the world has no bounds to
// fit and far-flung entities cost nothing. Every pair of entries of one cell whose reaches
// meet becomes a pair, counted in the one cell that holds the corner where the two reaches
// begin to overlap. Entities covering too many cells are not filed but paired with everyone.
// A grid filed without pairing answers each receiver by asking the cells of its reach.
// Each bucket holds its entries run by run (collide_grid.h): pairing and asking jump over a
// run that cannot hurt the entry at hand, so that a crowd of one group piled on one spot
// costs no more than its size, whether its members live or die.
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

// The number of group's team, given once for the whole run of the game: a game has few
// groups, and a number kept costs no table built every pass.
static int teamOf(CollideGrid &g, const std::string &group) {
	std::unordered_map<std::string, int>::const_iterator known = g.teams.find(group);
	if (known != g.teams.end()) {
		return known->second;
	}
	return g.teams.emplace(group, (int)g.teams.size()).first->second;
}

// The run e is filed in: without width or height, dead, or its group's team.
static int runOf(CollideGrid &g, const Entity *e) {
	if (e->w <= 0) {
		return RUN_EMPTY_X;
	}
	if (e->h <= 0) {
		return RUN_EMPTY_Y;
	}
	if (e->life < 1) {
		return RUN_LONE;
	}
	return teamOf(g, e->group);
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

// 1 when the two reaches share a pixel. The tests are joined bitwise: in the pairing's
// innermost loop one branch on the whole is cheaper than one for each test.
static int overlaps(const Reach &a, const Reach &b) {
	return (a.x0 <= b.x1) & (b.x0 <= a.x1) & (a.y0 <= b.y1) & (b.y0 <= a.y1);
}

// 1 when inner lies within outer.
static int within(const Reach &inner, const Reach &outer) {
	return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

// 1 when the entity in slot s still fits what it was filed with.
int fitsFiling(const CollideGrid &g, int s) {
	const Entity *e = g.ents[s];
	if (!within(reachOf(e), g.reach[s])) {
		return 0;
	}
	return !(g.run[s] == RUN_EMPTY_X && e->w > 0) && !(g.run[s] == RUN_EMPTY_Y && e->h > 0);
}

// Takes the sides of the collision that lost their life out of their teams; 1 when the
// receiver did. A partner that left is kept as a leaver: the receivers after this one that
// were its team mates must now be paired with it.
int leaveTeams(CollideGrid &g, int sa, int sb) {
	int receiverLeft = 0;
	for (int s : {sa, sb}) {
		if (g.run[s] < 0 || g.left[s] || g.ents[s]->life >= 1) {
			continue;
		}
		g.left[s] = 1;
		if (s == sa) {
			receiverLeft = 1;
		} else {
			g.leavers.push_back(s);
		}
	}
	return receiverLeft;
}

// 1 when no entry of run r can hurt the receiver in slot sa for a reason the filing knows:
// r is the team sa is still in (its members that left are the leavers), or neither has
// width, or neither has height.
static int runApart(const CollideGrid &g, int sa, int r) {
	const Entity *a = g.ents[sa];
	if (r >= 0) {
		return r == g.run[sa] && !g.left[sa];
	}
	return (r == RUN_EMPTY_X && a->w <= 0) || (r == RUN_EMPTY_Y && a->h <= 0);
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

// Orders the slots by run, ascending within each run: filed in this order, every bucket
// holds its runs one after the other.
static void orderByRun(CollideGrid &g) {
	size_t kinds = g.teams.size() + RUN_KINDS;
	g.runStart.assign(kinds + 1, 0);
	for (size_t s = 0; s < g.ents.size(); s++) {
		g.runStart[g.run[s] + RUN_KINDS + 1]++;
	}
	for (size_t k = 0; k < kinds; k++) {
		g.runStart[k + 1] += g.runStart[k];
	}
	g.order.resize(g.ents.size());
	for (size_t s = 0; s < g.ents.size(); s++) {
		g.order[g.runStart[g.run[s] + RUN_KINDS]++] = (int)s;
	}
}

// Marks in every entry where its run ends in its bucket.
static void markRuns(CollideGrid &g) {
	for (unsigned int b = 0; b <= g.mask; b++) {
		int start = g.bucketStart[b];
		for (int k = g.bucketStart[b + 1] - 1; k >= start; k--) {
			Filed &f = g.items[k];
			int next = k + 1;
			int joins = next < g.bucketStart[b + 1] && g.run[g.items[next].slot] == g.run[f.slot];
			f.runEnd = joins ? g.items[next].runEnd : next;
		}
	}
}

// Files every slot that is not big under its cells: a counting sort into the buckets, taking
// the slots by run.
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
	orderByRun(g);
	for (int s : g.order) {
		if (!g.big[s]) {
			fileSlot(g, (size_t)s, 1);
		}
	}
	// placing moved each bucket's start to where the next one starts: shift them back
	for (unsigned int b = buckets; b > 0; b--) {
		g.bucketStart[b] = g.bucketStart[b - 1];
	}
	g.bucketStart[0] = 0;
	markRuns(g);
}

// 1 when boxes filed in slots s and t can meet although one has no width or height: their
// reaches overlap, but such a box meets only one that covers the pixels on both sides of
// its edge. The pairs of a dead crowd whose boxes shrank to nothing are thus never made.
static int emptyBoxesMeet(const CollideGrid &g, int s, int t) {
	if (g.run[s] != RUN_EMPTY_X && g.run[s] != RUN_EMPTY_Y && g.run[t] != RUN_EMPTY_X && g.run[t] != RUN_EMPTY_Y) {
		return 1;
	}
	return g.ents[s]->boxMeets(g.ents[t]);
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
	if (!emptyBoxesMeet(g, p->slot, q->slot)) {
		return;
	}
	g.found.push_back(std::min(p->slot, q->slot));
	g.found.push_back(std::max(p->slot, q->slot));
}

// Pairs the entries of each cell whose reaches meet, once: in the cell holding the corner
// where they begin to overlap. An entry is paired with the runs after its own, and within
// its own run only when it is lone.
static void pairCells(CollideGrid &g) {
	const Filed *items = g.items.data();
	for (unsigned int b = 0; b <= g.mask; b++) {
		const Filed *end = items + g.bucketStart[b + 1];
		for (const Filed *p = items + g.bucketStart[b]; p < end; p++) {
			const Filed *q = g.run[p->slot] == RUN_LONE ? p + 1 : items + p->runEnd;
			for (; q < end; q++) {
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
			if (t == s || (g.big[t] && t < s) || (g.run[t] == g.run[s] && g.run[s] != RUN_LONE) ||
			    !overlaps(g.reach[s], g.reach[t]) || !emptyBoxesMeet(g, s, t)) {
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
	g.run.clear();
	for (Entity *e = elist; e != nullptr; e = e->next) {
		g.ents.push_back(e);
		g.reach.push_back(reachOf(e));
		g.run.push_back(runOf(g, e));
	}
	g.left.assign(g.ents.size(), 0);
	g.leavers.clear();
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

// Adds the leavers of the team that the receiver in slot sa is still in, from slot first on,
// whose reach meets r: former team mates, now dead, that the filing left unpaired with it.
static void addLeavers(const CollideGrid &g, int sa, const Reach &r, int first, std::vector<int> &out) {
	if (g.run[sa] < 0 || g.left[sa]) {
		return;
	}
	for (int l : g.leavers) {
		if (g.run[l] == g.run[sa] && l >= first && overlaps(r, g.reach[l])) {
			out.push_back(l);
		}
	}
}

// Forgets the leavers at or before slot sa, which the receivers have passed, and the removed.
static void forgetPassedLeavers(CollideGrid &g, int sa) {
	size_t kept = 0;
	for (int l : g.leavers) {
		if (l > sa && !g.ents[l]->removed) {
			g.leavers[kept++] = l;
		}
	}
	g.leavers.resize(kept);
}

// Asks the cells for the partners of slot sa from slot first on: every filed entry whose reach
// meets r, the reach of sa now, found in the cell that holds the corner where the two begin
// to overlap, so that each comes once; runs that cannot hurt sa are passed over whole. Then
// the big slots that it meets.
static void askCells(const CollideGrid &g, int sa, const Reach &r, int first, std::vector<int> &out) {
	Reach c = cellsOf(g, r);
	const Filed *items = g.items.data();
	for (int cy = c.y0; cy <= c.y1; cy++) {
		for (int cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, cx, cy);
			const Filed *run = items + g.bucketStart[b];
			const Filed *end = items + g.bucketStart[b + 1];
			for (; run < end; run = items + run->runEnd) {
				if (runApart(g, sa, g.run[run->slot])) {
					continue;
				}
				const Filed *runEnd = items + run->runEnd;
				for (const Filed *i = std::lower_bound(run, runEnd, first, slotBefore); i < runEnd; i++) {
					if (!((i->cx == cx) & (i->cy == cy) & overlaps(r, i->reach))) {
						continue;
					}
					if (cellOf(std::max(r.x0, i->reach.x0), g.cellSize) == cx &&
					    cellOf(std::max(r.y0, i->reach.y0), g.cellSize) == cy) {
						out.push_back(i->slot);
					}
				}
			}
		}
	}
	for (int t : g.bigSlots) {
		if (t >= first && !runApart(g, sa, g.run[t]) && overlaps(r, g.reach[t])) {
			out.push_back(t);
		}
	}
}

// The slots from first on that may collide with slot sa, ascending.
void partnersOf(CollideGrid &g, int sa, int first, std::vector<int> &out) {
	out.clear();
	forgetPassedLeavers(g, sa);
	// the receiver's box may have shrunk since it was filed: ask with what it reaches now
	Reach r = reachOf(g.ents[sa]);
	int fromPairs = g.paired && !g.left[sa];
	if (fromPairs) {
		const int *group = g.partners.data();
		const int *end = group + g.partnerStart[sa + 1];
		for (const int *i = std::lower_bound(group + g.partnerStart[sa], end, first); i < end; i++) {
			out.push_back(*i);
		}
	} else if (!g.big[sa]) {
		askCells(g, sa, r, first, out);
	} else {
		for (int t = first; t < (int)g.ents.size(); t++) {
			if (!runApart(g, sa, g.run[t]) && overlaps(r, g.reach[t])) {
				out.push_back(t);
			}
		}
	}
	size_t found = out.size();
	addLeavers(g, sa, r, first, out);
	// the pairs come in order; the cells, the big slots and the leavers do not
	if (!fromPairs || out.size() > found) {
		std::sort(out.begin(), out.end());
	}
}
