// The broad phase of the collision pass. Each linked entity is filed under the cells that its
// reach covers, in the stack of its kind and reach there, in one of many grids: cells are as
// wide as the reach (or up to four times wider, and 8 pixels at least) and, apart, as high,
// so that a box covers at most two by two of them, and small boxes are not crowded into the
// cells of large ones nor long thin ones into the cells of wide ones. Cells are hashed into
// buckets, so the world has no bounds to fit and far-flung entities cost nothing.
//
// A receiver asks, in each grid holding kinds near it that its own may meet, the stacks of
// the cells it covers there, or when it covers too many, a tree of the occupied cells for
// those within its own, passing over stacks whose kind cannot meet its own with any effect and those
// whose reach misses its own: a crowd of one kind piled on one spot is one stack, asked
// once, and its entries are walked only when each of them will collide. Entries that stand
// for nothing any more (removed, or filed anew elsewhere) are jumped over once and never
// again. An entity whose kind or reach changes during the pass is filed anew in the stacks
// that fit it, and those linked during the pass are filed as they come; the walk of a
// receiver that changes asks again from where it stands.
#include "game/collide_grid.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <unordered_map>
#include "entity/gamestate.h"
#include "game/collide_batch.h"
#include "game/vorska.h"
#include "platform/sound.h"

// Cells are powers of two wide and high, in half pixels: from 16 on, each level's four
// times the last's, enough levels that any reach of int boxes fits two cells of the widest.
// A level across and a level down make a grid.
#define MIN_CELL_SHIFT 4
#define LEVEL_STEP     2
#define LEVELS         16
#define GRIDS          (LEVELS * LEVELS)
#define BIG_CELLS      64    // a receiver covering more cells of a grid asks the tree of its occupied cells
#define REINDEX_STACKS 16    // stacks made during the pass that such a receiver asks one by one, at least
#define NO_ENTRY       (-1)  // an empty place of an open addressing table
#define MAX_KIND_BOXES 32    // with more kinds than this, a receiver asks its cells at once
#define SMALL_BUCKET   8     // a bucket of more items than this is grouped into stacks by a table

// A 64-bit number stirred so that its low bits depend on all of it.
static unsigned long long mix(unsigned long long v) {
	v ^= v >> 33;
	v *= 0xff51afd7ed558ccdull;
	v ^= v >> 33;
	v *= 0xc4ceb9fe1a85ec53ull;
	v ^= v >> 33;
	return v;
}

// A table of `want` places or more, a power of two, all empty.
static unsigned int clearTable(std::vector<int> &table, size_t want) {
	size_t size = 16;
	while (size < want) {
		size *= 2;
	}
	table.assign(size, NO_ENTRY);
	return (unsigned int)size - 1;
}

// 1 when e is in its DEATH state.
int inDeath(const Entity *e) {
	return e->data != nullptr && e->state != nullptr && e->state->name == "DEATH";
}

// 1 when e's life is used up and its DEATH state is not running: its next die() acts.
static int restless(const Entity *e) {
	return e->life < 1 && !inDeath(e);
}

// The sound e's next die() asks for: SOUND_EVENTS when none, or when e still lives.
static int burningSound(const Entity *e) {
	return e->life < 1 && !restless(e) ? e->dyingSound() : SOUND_EVENTS;
}

// 1 when e's next die() would act: it is restless, or burning with a sound not yet asked for.
static int dieActs(const Entity *e) {
	if (e->life >= 1) {
		return 0;
	}
	if (restless(e)) {
		return 1;
	}
	int sound = e->dyingSound();
	return sound != SOUND_EVENTS && !soundAsked((SoundEvent)sound);
}

// 1 when a's doCollision with b would change nothing: no life lost or gained on either side
// (one group, or neither vulnerable to the other's damage), and no die() that acts. The plain
// pass over every pair skips these too, so that both make the same calls.
int changesNothing(const Entity *a, const Entity *b) {
	if (dieActs(a) || dieActs(b)) {
		return 0;
	}
	if (a->group == b->group) {
		return 1;
	}
	int aTakes = !(a->flags & ENT_INVULN) && b->damage != 0;
	int bTakes = !(b->flags & ENT_INVULN) && a->damage != 0;
	return !aTakes && !bTakes;
}

// Which death sounds were asked for this cycle, one bit each.
int deathSoundsAsked() {
	return (int)soundAsked(SOUND_DEATH_SMALL) | (int)soundAsked(SOUND_DEATH_LARGE) << 1 |
	       (int)soundAsked(SOUND_DEATH_SHIP) << 2;
}

// What e's box reaches now (see Reach).
static Reach reachOf(const Entity *e) {
	return Reach{2LL * e->x, 2LL * e->y, 2 * ((long long)e->x + e->w - 1), 2 * ((long long)e->y + e->h - 1)};
}

// 1 when a and b are the same reach.
static bool sameReach(const Reach &a, const Reach &b) {
	return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// The hash of kind k and reach r.
static unsigned long long pileHash(int k, const Reach &r) {
	return mix((unsigned long long)k ^ mix(r.x0 ^ mix(r.y0 ^ mix(r.x1 ^ mix(r.y1)))));
}


// The number of group's team, given once for the whole run of the game: a game has few
// groups, and a number kept costs no table built every pass.
static int teamOf(CollideGrid &g, const std::string &group) {
	std::unordered_map<std::string, int>::const_iterator known = g.teams.find(group);
	if (known != g.teams.end()) {
		return known->second;
	}
	g.teamNames.push_back(group);
	return g.teams.emplace(group, (int)g.teams.size()).first->second;
}

// The first empty place of table from hash h on, trying the places after it in turn.
static unsigned int emptyPlace(const std::vector<int> &table, unsigned long long h) {
	unsigned int mask = (unsigned int)table.size() - 1;
	unsigned int i = (unsigned int)h & mask;
	while (table[i] != NO_ENTRY) {
		i = (i + 1) & mask;
	}
	return i;
}

// Doubles an open addressing table of the numbers 0 .. n - 1, hashed by hashOf.
template <typename Hash> static void growTable(std::vector<int> &table, int n, Hash hashOf) {
	clearTable(table, table.size() * 2);
	for (int q = 0; q < n; q++) {
		table[emptyPlace(table, hashOf(q))] = q;
	}
}

// The hash of a profile: its ignore table, shared by a template's entities, and its type.
static unsigned long long profileHash(const std::string &type, const IntTable *ignore) {
	return mix((unsigned long long)(size_t)ignore ^ std::hash<std::string>()(type));
}

// The number of the profile of type and ignore table, given for this pass.
static int profileOf(CollideGrid &g, const std::string &type, const IntTable *ignore) {
	unsigned int mask = (unsigned int)g.profileTable.size() - 1;
	unsigned int i = (unsigned int)profileHash(type, ignore) & mask;
	for (; g.profileTable[i] != NO_ENTRY; i = (i + 1) & mask) {
		int p = g.profileTable[i];
		if (g.profileIgnore[p] == ignore && g.profileType[p] == type) {
			return p;
		}
	}
	int p = (int)g.profileType.size();
	g.profileType.push_back(type);
	g.profileIgnore.push_back(ignore);
	g.profileTable[i] = p;
	if (g.profileType.size() * 2 > g.profileTable.size()) {
		growTable(g.profileTable, p + 1, [&g](int q) { return profileHash(g.profileType[q], g.profileIgnore[q]); });
	}
	return p;
}

// The place of key in the table of ignoring, or the empty place where it belongs.
static size_t ignoresPlace(const CollideGrid &g, unsigned long long key) {
	size_t mask = g.ignoresKey.size() - 1;
	size_t i = mix(key) & mask;
	while (g.ignoresValue[i] >= 0 && g.ignoresKey[i] != key) {
		i = (i + 1) & mask;
	}
	return i;
}

// 1 when profile p or q ignores the other's type, asked of the tables once per pass.
int profilesIgnore(CollideGrid &g, int p, int q) {
	unsigned long long key = (unsigned long long)std::min(p, q) << 32 | (unsigned int)std::max(p, q);
	size_t i = ignoresPlace(g, key);
	if (g.ignoresValue[i] >= 0) {
		return g.ignoresValue[i];
	}
	int value = g.profileIgnore[p]->count(g.profileType[q]) != 0 || g.profileIgnore[q]->count(g.profileType[p]) != 0;
	g.ignoresKey[i] = key;
	g.ignoresValue[i] = (signed char)value;
	if (++g.ignoresCount * 2 > g.ignoresKey.size()) {
		std::vector<unsigned long long> keys(g.ignoresKey.size() * 2);
		std::vector<signed char> values(keys.size(), -1);
		keys.swap(g.ignoresKey);
		values.swap(g.ignoresValue);
		for (size_t j = 0; j < keys.size(); j++) {
			if (values[j] >= 0) {
				size_t at = ignoresPlace(g, keys[j]);
				g.ignoresKey[at] = keys[j];
				g.ignoresValue[at] = values[j];
			}
		}
	}
	return value;
}

// What decides the collisions of the entity in slot s now, numbered for this pass.
static Kind kindOf(CollideGrid &g, int s) {
	const Entity *e = g.ents[s];
	Kind k;
	// the entities of one template mostly keep its group, type and ignore table: comparing
	// them with the last entity's of that template costs less than looking them up
	TemplateMemo &m = g.templateMemo[((size_t)e->data >> 4) % TEMPLATE_MEMOS];
	if (m.pass == g.pass && m.data == e->data && g.profileIgnore[m.profile] == &e->ignore.get() &&
	    g.profileType[m.profile] == e->type && g.teamNames[m.team] == e->group) {
		k.team = m.team;
		k.profile = m.profile;
	} else {
		k.team = teamOf(g, e->group);
		k.profile = profileOf(g, e->type, &e->ignore.get());
		m = TemplateMemo{g.pass, e->data, k.team, k.profile};
	}
	k.vulnerable = !(e->flags & ENT_INVULN);
	k.hurts = e->damage != 0;
	k.flat = (e->w <= 0) | (e->h <= 0) << 1;
	k.restless = restless(e);
	k.sound = burningSound(e);
	k.burning = inDeath(e);
	k.player = e == player;
	k.batched = g.batched[s] != 0;
	k.heals = e->damage < 0;
	k.healed = g.batched[s] && g.healed[s];
	k.packed = (unsigned long long)k.team << 40 ^ (unsigned long long)k.profile << 16 ^
	           (unsigned long long)(k.vulnerable | k.hurts << 1 | k.flat << 2 | k.restless << 4 | k.burning << 5 |
	                                k.player << 6 | k.sound << 7 | k.batched << 11 | k.heals << 12 | k.healed << 13);
	return k;
}

// The number of kind k in this pass.
static int kindNumber(CollideGrid &g, const Kind &k) {
	unsigned int mask = (unsigned int)g.kindTable.size() - 1;
	unsigned int i = (unsigned int)mix(k.packed) & mask;
	for (; g.kindTable[i] != NO_ENTRY; i = (i + 1) & mask) {
		if (g.kinds[g.kindTable[i]].packed == k.packed) {
			return g.kindTable[i];
		}
	}
	int n = (int)g.kinds.size();
	g.kinds.push_back(k);
	g.kindBox.push_back(Reach{LLONG_MAX, LLONG_MAX, LLONG_MIN, LLONG_MIN});
	g.kindTable[i] = n;
	if (g.kinds.size() * 2 > g.kindTable.size()) {
		growTable(g.kindTable, n + 1, [&g](int q) { return mix(g.kinds[q].packed); });
	}
	return n;
}

// 1 when a die() of an entity of kind k would act.
static int loud(const Kind &k) {
	return k.restless || (k.sound != SOUND_EVENTS && !soundAsked((SoundEvent)k.sound));
}

// 1 when no entity of kind a can collide with one of kind b to any effect.
static int inertKinds(CollideGrid &g, const Kind &a, const Kind &b) {
	if ((a.flat & b.flat) != 0 || profilesIgnore(g, a.profile, b.profile)) {
		return 1;  // they never collide
	}
	if (a.batched && b.batched) {
		return 1;  // summed
	}
	if (loud(a) || loud(b)) {
		return 0;
	}
	if (a.team == b.team) {
		return 1;
	}
	return !((a.vulnerable && b.hurts) || (b.vulnerable && a.hurts));
}

// inertKinds between the receiver's kind and kind k, worked out once per asking.
static int inertForReceiver(CollideGrid &g, int k) {
	if (g.memoStamp[k] != g.stamp) {
		g.memoStamp[k] = g.stamp;
		g.memoInert[k] = (signed char)inertKinds(g, g.askedKind, g.kinds[k]);
	}
	return g.memoInert[k];
}

// The cell of size n holding v, rounding down also for negative v.
static long long cellOf(long long v, int shift) {
	return v >> shift;  // an arithmetic shift: it rounds down for negative v too
}

// The level of the narrowest cells at least as wide as extent half pixels.
static int levelOf(long long extent) {
	int level = 0;
	while (level + 1 < LEVELS && (1LL << (MIN_CELL_SHIFT + LEVEL_STEP * level)) < extent) {
		level++;
	}
	return level;
}

// The grid a reach is filed in: the level of its width and the level of its height.
static int gridOf(const Reach &r) {
	return levelOf(r.x1 - r.x0) * LEVELS + levelOf(r.y1 - r.y0);
}

// The width of grid's cells, as a shift.
static int shiftX(int grid) {
	return MIN_CELL_SHIFT + LEVEL_STEP * (grid / LEVELS);
}

// The height of grid's cells, as a shift.
static int shiftY(int grid) {
	return MIN_CELL_SHIFT + LEVEL_STEP * (grid % LEVELS);
}

// The cells of grid that a reach is filed under: those it covers, and for a side it turns
// back on (a box of no or negative size), the one of its start, which every box that meets
// it covers.
static Reach cellsOf(const Reach &r, int grid) {
	Reach c;
	c.x0 = cellOf(r.x0, shiftX(grid));
	c.y0 = cellOf(r.y0, shiftY(grid));
	c.x1 = cellOf(std::max(r.x0, r.x1), shiftX(grid));
	c.y1 = cellOf(std::max(r.y0, r.y1), shiftY(grid));
	return c;
}

// How many cells c holds, held below what an int counts.
static long long cellCount(const Reach &c) {
	long long w = c.x1 - c.x0 + 1;
	long long h = c.y1 - c.y0 + 1;
	return w > INT_MAX / h ? INT_MAX : w * h;
}

// The hash of cell (cx, cy) of grid.
static unsigned long long cellHash(int grid, long long cx, long long cy) {
	unsigned long long h = (unsigned long long)cx * 0x9e3779b97f4a7c15ull ^ (unsigned long long)cy;
	return mix(h + (unsigned long long)grid * 0xc2b2ae3d27d4eb4full);
}

// The bucket of cell (cx, cy) of grid; distinct cells may share one, which the stacks tell apart.
static unsigned int bucketOf(const CollideGrid &g, int grid, long long cx, long long cy) {
	return (unsigned int)cellHash(grid, cx, cy) & g.mask;
}

// The bit of kind k in a set of kinds; the kinds past 63 share the last.
static unsigned long long kindBit(int k) {
	return 1ull << std::min(k, 63);
}

// Notes that grid holds a stack of kind k.
static void noteGridKind(CollideGrid &g, int grid, int k) {
	if (g.gridKinds[grid] == 0) {
		g.grids.push_back(grid);
	}
	g.gridKinds[grid] |= kindBit(k);
}

// The slot of e; -1 when it is not filed.
int slotOf(const CollideGrid &g, const Entity *e) {
	// receivers come mostly in the order of the slots
	if (g.receiver + 1 < (int)g.ents.size() && g.ents[g.receiver + 1] == e) {
		return g.receiver + 1;
	}
	for (unsigned int i = (unsigned int)mix((size_t)e) & g.slotMask;; i = (i + 1) & g.slotMask) {
		int s = g.slotTable[i];
		if (s == NO_ENTRY || g.ents[s] == e) {
			return s;
		}
	}
}

// Enters slot s into the table from entity to slot, growing it when half full.
static void tableSlot(CollideGrid &g, int s) {
	if (g.ents.size() * 2 > g.slotTable.size()) {
		growTable(g.slotTable, s, [&g](int t) { return mix((size_t)g.ents[t]); });
		g.slotMask = (unsigned int)g.slotTable.size() - 1;
	}
	g.slotTable[emptyPlace(g.slotTable, mix((size_t)g.ents[s]))] = s;
}

// Widens the box of slot s's kind to its reach.
static void widenKindBox(CollideGrid &g, int s) {
	Reach &box = g.kindBox[g.kind[s]];
	const Reach &r = g.reach[s];
	box.x0 = std::min(box.x0, r.x0);
	box.y0 = std::min(box.y0, r.y0);
	box.x1 = std::max(box.x1, r.x1);
	box.y1 = std::max(box.y1, r.y1);
}

// Notes how far reach r runs across and down, should it run further than any before: a pile
// whose members lie further apart than that meets no receiver's reach in whole (coverable).
static void noteWidest(CollideGrid &g, const Reach &r) {
	g.widestX = std::max(g.widestX, r.x1 - r.x0);
	g.widestY = std::max(g.widestY, r.y1 - r.y0);
}

// 1 when some reach filed or asked with so far could meet every point of core: one that
// meets both its ends, when its largest start lies past its smallest end, must run at least
// from the one to the other.
static int coverable(const CollideGrid &g, const Reach &core) {
	// a core that runs forwards (or that no member narrowed yet) is met by whatever meets it
	return (core.x0 <= core.x1 || core.x0 - core.x1 <= g.widestX) &&
	       (core.y0 <= core.y1 || core.y0 - core.y1 <= g.widestY);
}

// Works out the kind of slot s anew, before its filing.
void kindAnew(CollideGrid &g, int s) {
	g.kind[s] = kindNumber(g, kindOf(g, s));
	widenKindBox(g, s);
}

// Gives e a slot with list order key, filed with nothing yet; batched as batch says.
static int addSlot(CollideGrid &g, Entity *e, long long key, int batch) {
	int s = (int)g.ents.size();
	g.ents.push_back(e);
	g.key.push_back(key);
	g.batched.push_back((signed char)batch);
	g.batchHurt.push_back(0);
	g.batchHeal.push_back(0);
	g.healed.push_back(0);
	g.batchMeets.push_back(0);
	g.leftAt.push_back(PassTime{LLONG_MAX, LLONG_MAX});
	if (batch) {
		g.batchSlots.push_back(s);
	}
	g.kind.push_back(kindNumber(g, kindOf(g, s)));
	g.reach.push_back(reachOf(e));
	g.ver.push_back(0);
	g.pileOf.push_back(-1);
	tableSlot(g, s);
	widenKindBox(g, s);
	noteWidest(g, g.reach[s]);
	return s;
}

// List order in one number: by priority, then by place among equals. Entities linked during
// the pass go before every other of their priority, the later ones first, as the list puts them.
static long long orderKey(int priority, long long place) {
	return (long long)priority * (1LL << 32) + (place + (1LL << 31));
}

// Empties the tables of the last pass, keeping their memory.
static void resetGrid(CollideGrid &g, size_t n) {
	g.pass++;
	g.receiver = -1;
	g.ents.clear();
	g.key.clear();
	g.kind.clear();
	g.reach.clear();
	g.ver.clear();
	g.pileOf.clear();
	g.batched.clear();
	g.batchHurt.clear();
	g.batchHeal.clear();
	g.healed.clear();
	g.batchMeets.clear();
	g.leftAt.clear();
	g.batchSlots.clear();
	g.batchByX.clear();
	g.earlyLeavers.clear();
	g.batchDone = 0;
	g.piles.clear();
	clearTable(g.pileTable, 64);
	g.passedKey = LLONG_MIN;
	g.widestX = LLONG_MIN;
	g.widestY = LLONG_MIN;
	g.slotMask = clearTable(g.slotTable, 2 * n + 2);
	g.kinds.clear();
	g.kindBox.clear();
	clearTable(g.kindTable, 64);
	g.profileType.clear();
	g.profileIgnore.clear();
	clearTable(g.profileTable, 64);
	if (g.ignoresKey.empty()) {
		g.ignoresKey.resize(256);
		g.ignoresValue.resize(256);
	}
	std::fill(g.ignoresValue.begin(), g.ignoresValue.end(), -1);
	g.ignoresCount = 0;
	g.stacks.clear();
	g.stacksTabled = -1;
	for (int grid : g.grids) {
		g.gridKinds[grid] = 0;
		g.gridExtra[grid].clear();
	}
	g.grids.clear();
	g.gridKinds.resize(GRIDS, 0);
	g.gridExtra.resize(GRIDS);
	g.indexedStacks = -1;
	g.lateUsed = 0;
	g.lateFilings = 0;
	g.fresh.clear();
	g.freshSerial.clear();
	g.serial = 0;
	g.sources.clear();
}

// 1 when items a and b belong in one stack: one cell of one grid, one kind, one reach.
static int sameStack(const CollideGrid &g, const Item &a, const Item &b) {
	return a.grid == b.grid && a.cx == b.cx && a.cy == b.cy && g.kind[a.slot] == g.kind[b.slot] &&
	       sameReach(g.reach[a.slot], g.reach[b.slot]);
}

// Appends a stack of the placed items [begin, end), all of one cell, kind and reach.
static void addStack(CollideGrid &g, int begin, int end) {
	// built where it stays, field by field: a copy of a whole one made on the stack waits
	// for its fields to be written
	g.stacks.emplace_back();
	Stack &st = g.stacks.back();
	const Item &first = g.placed[begin];
	st.cx = first.cx;
	st.cy = first.cy;
	st.reach = g.reach[first.slot];
	st.kind = g.kind[first.slot];
	st.grid = first.grid;
	Reach c = cellsOf(st.reach, st.grid);
	st.px = c.x0;
	st.py = c.y0;
	st.begin = (int)g.entries.size();
	st.end = st.begin + (end - begin);
	st.ahead = st.begin;
	st.late = -1;
	st.nextExtra = -1;
	st.pile = -1;
	st.runEnd = (int)g.stacks.size();
	st.smallAt = -1;
	g.entries.resize((size_t)st.end);
	for (int i = begin; i < end; i++) {
		g.entries[st.begin + (i - begin)].slot = g.placed[i].slot;
		g.entries[st.begin + (i - begin)].ver = 0;
	}
	noteGridKind(g, st.grid, st.kind);
}

// Lays out the n things numbered 0 .. n - 1 group by group, each group keeping the order its
// things came in and the groups in the order first met, as order (a thing's number at each
// place): each thing is told its group through a table of the groups, in as many steps as there
// are things. hashOf(i) spreads the things, same(i, j) tells two of one group.
template <typename Hash, typename Same>
static void orderByGroup(CollideGrid &g, int n, Hash hashOf, Same same, std::vector<int> &order) {
	unsigned int mask = clearTable(g.groupTable, 2 * (size_t)n);
	g.groupFirst.clear();
	g.itemGroup.resize((size_t)n);
	for (int i = 0; i < n; i++) {
		unsigned int at = (unsigned int)hashOf(i) & mask;
		while (g.groupTable[at] != NO_ENTRY && !same(g.groupFirst[g.groupTable[at]], i)) {
			at = (at + 1) & mask;
		}
		if (g.groupTable[at] == NO_ENTRY) {
			g.groupTable[at] = (int)g.groupFirst.size();
			g.groupFirst.push_back(i);
		}
		g.itemGroup[i] = g.groupTable[at];
	}
	// a counting sort by group
	g.fill.assign(g.groupFirst.size() + 1, 0);
	for (int i = 0; i < n; i++) {
		g.fill[g.itemGroup[i] + 1]++;
	}
	for (size_t q = 0; q + 1 < g.fill.size(); q++) {
		g.fill[q + 1] += g.fill[q];
	}
	order.resize((size_t)n);
	for (int i = 0; i < n; i++) {
		order[g.fill[g.itemGroup[i]]++] = i;
	}
}

// Cuts the placed items [begin, end) of one bucket into stacks, each keeping list order.
static void groupStacks(CollideGrid &g, int begin, int end) {
	const Item *placed = &g.placed[begin];
	orderByGroup(
		g, end - begin,
		[&g, placed](int i) {
			return pileHash(g.kind[placed[i].slot], g.reach[placed[i].slot]) ^
		           mix((unsigned long long)placed[i].cx ^ (unsigned long long)placed[i].cy << 32);
		},
		[&g, placed](int i, int j) { return sameStack(g, placed[i], placed[j]); }, g.order);
	g.items.resize((size_t)(end - begin));
	for (int i = 0; i < end - begin; i++) {
		g.items[i] = placed[g.order[i]];
	}
	std::copy(g.items.begin(), g.items.end(), g.placed.begin() + begin);
	for (int i = begin; i < end;) {
		int next = i + 1;
		while (next < end && sameStack(g, g.placed[i], g.placed[next])) {
			next++;
		}
		addStack(g, i, next);
		i = next;
	}
}

// Cuts the few placed items [begin, end) of one bucket into stacks without sorting them:
// each item draws the later ones of its stack up behind it, in their order.
static void gatherStacks(CollideGrid &g, int begin, int end) {
	for (int i = begin; i < end;) {
		int next = i + 1;
		for (int t = i + 1; t < end; t++) {
			if (sameStack(g, g.placed[i], g.placed[t])) {
				std::rotate(g.placed.begin() + next, g.placed.begin() + t, g.placed.begin() + t + 1);
				next++;
			}
		}
		addStack(g, i, next);
		i = next;
	}
}

// The hash of the pile of kind k whose members' reaches start in cell (px, py) of grid.
static unsigned long long pileKeyHash(int k, int grid, long long px, long long py) {
	return mix((unsigned long long)k ^ mix((unsigned long long)grid ^ mix(px ^ mix(py))));
}

// The hash of stack st's cell and pile: a bucket's stacks are laid out by it.
static unsigned long long runHash(const Stack &st) {
	return pileKeyHash(st.kind, st.grid, st.px, st.py) ^
	       mix((unsigned long long)st.cx * 0x9e3779b97f4a7c15ull ^ (unsigned long long)st.cy);
}

// 1 when stacks a and b lie under one cell of one grid and belong to one pile: one run.
static int sameRun(const Stack &a, const Stack &b) {
	return std::tie(a.grid, a.cx, a.cy, a.kind, a.px, a.py) == std::tie(b.grid, b.cx, b.cy, b.kind, b.px, b.py);
}

// Lays out the stacks [begin, end) of a bucket of many run by run, so that its stacks of one
// cell and one pile lie together and a receiver passes over them in one step once it has
// decided to make the pile's collisions at once. The few stacks of a small bucket are left as
// they came, each a run.
static void orderRuns(CollideGrid &g, int begin, int end) {
	const Stack *stacks = &g.stacks[begin];
	orderByGroup(
		g, end - begin, [stacks](int i) { return runHash(stacks[i]); },
		[stacks](int i, int j) { return sameRun(stacks[i], stacks[j]); }, g.order);
	g.runStacks.resize((size_t)(end - begin));
	for (int i = 0; i < end - begin; i++) {
		g.runStacks[i] = stacks[g.order[i]];
	}
	std::copy(g.runStacks.begin(), g.runStacks.end(), g.stacks.begin() + begin);
	for (int st = end - 1; st >= begin; st--) {
		int joined = st + 1 < end && sameRun(g.stacks[st], g.stacks[st + 1]);
		g.stacks[st].runEnd = joined ? g.stacks[st + 1].runEnd : st + 1;
	}
}

// Adds the items of slot s: one per cell it covers in its grid, at most four.
static void addItems(CollideGrid &g, int s) {
	int grid = gridOf(g.reach[s]);
	Reach c = cellsOf(g.reach[s], grid);
	for (long long cy = c.y0; cy <= c.y1; cy++) {
		for (long long cx = c.x0; cx <= c.x1; cx++) {
			g.items.push_back(Item{cx, cy, s, grid});
		}
	}
}

// Files the slots' items into stacks, bucket by bucket.
static void fileStacks(CollideGrid &g) {
	g.items.clear();
	for (size_t s = 0; s < g.ents.size(); s++) {
		addItems(g, (int)s);
	}
	unsigned int buckets = 16;
	while (buckets < g.items.size()) {
		buckets *= 2;
	}
	g.mask = buckets - 1;
	// a counting sort of the items into their buckets, each keeping list order
	g.itemBucket.resize(g.items.size());
	g.fill.assign(buckets + 1, 0);
	for (size_t i = 0; i < g.items.size(); i++) {
		const Item &item = g.items[i];
		g.itemBucket[i] = bucketOf(g, item.grid, item.cx, item.cy);
		g.fill[g.itemBucket[i] + 1]++;
	}
	for (unsigned int b = 0; b < buckets; b++) {
		g.fill[b + 1] += g.fill[b];
	}
	std::vector<int> &starts = g.itemStart;
	starts.assign(g.fill.begin(), g.fill.end());
	g.placed.resize(g.items.size());
	for (size_t i = 0; i < g.items.size(); i++) {
		g.placed[g.fill[g.itemBucket[i]]++] = g.items[i];
	}
	g.entries.clear();
	g.bucketStack.assign(buckets + 1, 0);
	for (unsigned int b = 0; b < buckets; b++) {
		g.bucketStack[b] = (int)g.stacks.size();
		if (starts[b + 1] - starts[b] > SMALL_BUCKET) {
			groupStacks(g, starts[b], starts[b + 1]);
			orderRuns(g, g.bucketStack[b], (int)g.stacks.size());
		} else {
			gatherStacks(g, starts[b], starts[b + 1]);
		}
	}
	g.bucketStack[buckets] = (int)g.stacks.size();
	g.bucketExtra.assign(buckets, -1);
	g.jump.resize(g.entries.size());
	for (size_t i = 0; i < g.jump.size(); i++) {
		g.jump[i] = (int)i;
	}
	g.stackJump.resize(g.stacks.size());
	for (size_t i = 0; i < g.stackJump.size(); i++) {
		g.stackJump[i] = (int)i;
	}
}

// The column (axis 0) or the row (axis 1) of stack st's cell.
static long long cellAlong(const Stack &st, int axis) {
	return axis ? st.cy : st.cx;
}

// Arranges index[begin, end), stacks of one grid, as a tree of their cells: the middle one
// splits the others by column (axis 0) or row (axis 1), those before it at or below it and
// those after at or above, and each half is arranged so along the other axis.
static void arrangeCells(CollideGrid &g, std::vector<int> &index, int begin, int end, int axis) {
	while (end - begin > 1) {
		int mid = begin + (end - begin) / 2;
		std::nth_element(index.begin() + begin, index.begin() + mid, index.begin() + end, [&g, axis](int a, int b) {
			return cellAlong(g.stacks[a], axis) < cellAlong(g.stacks[b], axis);
		});
		arrangeCells(g, index, begin, mid, !axis);
		begin = mid + 1;
		axis = !axis;
	}
}

// Gathers every stack made so far into the cell index by kind (a counting sort), each kind
// to be arranged when first asked for.
static void indexStacks(CollideGrid &g) {
	int n = (int)g.stacks.size();
	size_t kinds = g.kinds.size();
	g.kindStart.assign(kinds + 1, 0);
	for (int st = 0; st < n; st++) {
		g.kindStart[g.stacks[st].kind + 1]++;
	}
	for (size_t q = 0; q < kinds; q++) {
		g.kindStart[q + 1] += g.kindStart[q];
	}
	g.fill.assign(g.kindStart.begin(), g.kindStart.end() - 1);
	g.cellIndex.resize(n);
	for (int st = 0; st < n; st++) {
		g.cellIndex[g.fill[g.stacks[st].kind]++] = st;
	}
	g.kindArranged.assign(kinds, 0);
	g.indexedStacks = n;
}

// The stacks of kind k in the cell index, as index[*begin, *end), in order of grid and each
// grid's arranged by arrangeCells.
static const std::vector<int> &kindCells(CollideGrid &g, int k, int *begin, int *end) {
	std::vector<int> &index = g.cellIndex;
	if (k + 1 >= (int)g.kindStart.size()) {
		*begin = *end = 0;  // a kind new since the index has no stacks in it
		return index;
	}
	*begin = g.kindStart[k];
	*end = g.kindStart[k + 1];
	if (!g.kindArranged[k]) {
		std::stable_sort(index.begin() + *begin, index.begin() + *end,
		                 [&g](int a, int b) { return g.stacks[a].grid < g.stacks[b].grid; });
		for (int i = *begin; i < *end;) {
			int j = i;
			while (j < *end && g.stacks[index[j]].grid == g.stacks[index[i]].grid) {
				j++;
			}
			arrangeCells(g, index, i, j, 0);
			i = j;
		}
		g.kindArranged[k] = 1;
	}
	return index;
}

// How many pairs of the living that the batch could take, among the n entities from first
// on, have their reaches start in one cell: a crowd that comes together shows here before
// its collisions are made. Only those that can be hurt count: the others' lives never move.
long long crowding(CollideGrid &g, size_t n, const Entity *first) {
	unsigned int mask = clearTable(g.cellCountTable, 2 * n + 2);
	g.cellCounts.clear();
	long long pairs = 0;
	for (const Entity *e = first; e != nullptr; e = e->next) {
		if (e == player || e->w <= 0 || e->h <= 0 || e->life < 1 || (e->flags & ENT_INVULN)) {
			continue;
		}
		Reach r = reachOf(e);
		int grid = gridOf(r);
		Reach c = cellsOf(r, grid);
		unsigned int at = (unsigned int)cellHash(grid, c.x0, c.y0) & mask;
		for (;; at = (at + 1) & mask) {
			int q = g.cellCountTable[at];
			if (q == NO_ENTRY) {
				g.cellCountTable[at] = (int)g.cellCounts.size();
				g.cellCounts.push_back(CellCount{c.x0, c.y0, grid, 1});
				break;
			}
			CellCount &cell = g.cellCounts[q];
			if (cell.cx == c.x0 && cell.cy == c.y0 && cell.grid == grid) {
				pairs += cell.count++;  // a pair with each already there
				break;
			}
		}
	}
	return pairs;
}

// Files every linked entity from first on, the pass going on from first; 0 when the list is
// out of the order of priority. With resume, the pass so far stands as made and the living
// are batched (chooseBatch).
static int fileFrom(CollideGrid &g, Entity *first, int resume) {
	size_t n = 0;
	for (Entity *e = first; e != nullptr; e = e->next) {
		if (e->next != nullptr && e->next->priority < e->priority) {
			return 0;
		}
		n++;
	}
	resetGrid(g, n);
	chooseBatch(g, n, first, resume);
	long long place = 0;
	for (Entity *e = first; e != nullptr; e = e->next) {
		addSlot(g, e, orderKey(e->priority, place++), g.batching && batchCandidate(g, e));
	}
	startBatch(g);  // may take some out of the batch: before they are filed
	fileStacks(g);
	return 1;
}

// Files every linked entity; 0 when the list is out of the order of priority.
int buildGrid(CollideGrid &g) {
	return fileFrom(g, elist, 0);
}

// Files anew the entities from receiver a on, the living batched, when the pass is making so
// many collisions one by one that summing them pays and none summed is made yet; 1 when it did.
// The receivers passed meet nothing more: the rest of the pass is a pass of its own over the
// list from a on.
int batchTheRest(CollideGrid &g, Entity *a) {
	g.turnsTaken++;
	if (g.batchLiving) {
		return 0;  // already batched: the common case, which needs no look-up
	}
	int s = slotOf(g, a);
	if (s < 0 || !worthBatchingNow(g, g.key[s])) {
		return 0;
	}
	flushPiles(g);
	return fileFrom(g, a, 1);
}

// 1 when stack st is the one of kind k and reach r under cell (cx, cy) of grid.
static int isStack(const Stack &st, int grid, long long cx, long long cy, int k, const Reach &r) {
	return st.grid == grid && st.cx == cx && st.cy == cy && st.kind == k && sameReach(st.reach, r);
}

// 1 when stack st was found to hold nothing for the receivers to come (stackSpent): the walks
// pass over it, and filings go to a stack made anew instead.
static int spent(const CollideGrid &g, int st) {
	return g.stackJump[st] != st;
}

// The hash of the stack of kind k and reach r under cell (cx, cy) of grid.
static unsigned long long stackHash(int grid, long long cx, long long cy, int k, const Reach &r) {
	unsigned long long cell = (unsigned long long)cx * 0x9e3779b97f4a7c15ull ^ (unsigned long long)cy;
	return mix(pileHash(k, r) ^ (cell + (unsigned long long)grid * 0xc2b2ae3d27d4eb4full));
}

// The hash of stack st.
static unsigned long long hashOfStack(const Stack &st) {
	return stackHash(st.grid, st.cx, st.cy, st.kind, st.reach);
}

// Enters the stacks made since into the table from cell, kind and reach to stack; the first
// filing of a pass enters them all, and a table half full is made anew, twice the size,
// without the stacks spent. A crowd filed anew as it dies finds its stacks at once, however
// many share its cells.
static void tableStacks(CollideGrid &g) {
	int n = (int)g.stacks.size();
	if (g.stacksTabled < 0 || (size_t)n * 2 > g.stackTable.size()) {
		clearTable(g.stackTable, 4 * (size_t)n);
		for (int q = 0; q < n; q++) {
			if (!spent(g, q)) {
				g.stackTable[emptyPlace(g.stackTable, hashOfStack(g.stacks[q]))] = q;
			}
		}
		g.stacksTabled = n;
	}
	for (; g.stacksTabled < n; g.stacksTabled++) {
		g.stackTable[emptyPlace(g.stackTable, hashOfStack(g.stacks[g.stacksTabled]))] = g.stacksTabled;
	}
}

// The stack of kind k and reach r under cell (cx, cy) of grid; made when there is none.
static int stackFor(CollideGrid &g, int grid, long long cx, long long cy, int k, const Reach &r) {
	tableStacks(g);
	unsigned int mask = (unsigned int)g.stackTable.size() - 1;
	int spentPlace = -1;  // of one of its stacks spent, which the one made takes over
	for (unsigned int i = (unsigned int)stackHash(grid, cx, cy, k, r) & mask; g.stackTable[i] != NO_ENTRY;
	     i = (i + 1) & mask) {
		int st = g.stackTable[i];
		if (isStack(g.stacks[st], grid, cx, cy, k, r)) {
			if (!spent(g, st)) {
				return st;
			}
			spentPlace = (int)i;
		}
	}
	unsigned int b = bucketOf(g, grid, cx, cy);
	Stack st;
	st.cx = cx;
	st.cy = cy;
	st.reach = r;
	st.kind = k;
	st.grid = grid;
	Reach start = cellsOf(r, grid);
	st.px = start.x0;
	st.py = start.y0;
	st.begin = st.end = st.ahead = 0;
	st.late = -1;
	st.nextExtra = g.bucketExtra[b];
	st.pile = -1;
	st.runEnd = -1;
	st.smallAt = -1;
	int made = (int)g.stacks.size();
	g.stacks.push_back(st);
	g.stackJump.push_back(made);
	g.bucketExtra[b] = made;
	g.gridExtra[grid].push_back(made);
	noteGridKind(g, grid, k);
	if (spentPlace >= 0) {
		g.stackTable[spentPlace] = made;
		g.stacksTabled++;
	}
	tableStacks(g);
	return made;
}

// First index in a late list holding list order `from` or later.
static size_t lateFrom(const CollideGrid &g, const LateList &late, long long from) {
	return std::lower_bound(late.begin(), late.end(), from,
	                        [&g](const Entry &e, long long k) { return g.key[e.slot] < k; }) -
	       late.begin();
}

// Puts slot s into stack st's late entries, at its place in list order.
static void fileLate(CollideGrid &g, int st, int s) {
	if (g.stacks[st].late < 0) {
		if (g.lateUsed == (int)g.lateLists.size()) {
			g.lateLists.emplace_back();
		}
		g.lateLists[g.lateUsed].clear();
		g.stacks[st].late = g.lateUsed++;
	}
	LateList &late = g.lateLists[g.stacks[st].late];
	g.lateFilings++;
	late.insert(late.begin() + (long)lateFrom(g, late, g.key[s] + 1), Entry{s, g.ver[s]});
}

// The place of stack st's pile in the table, or the empty place where it belongs.
static unsigned int pilePlace(const CollideGrid &g, const Stack &st) {
	unsigned int mask = (unsigned int)g.pileTable.size() - 1;
	unsigned int i = (unsigned int)pileKeyHash(st.kind, st.grid, st.px, st.py) & mask;
	for (; g.pileTable[i] != NO_ENTRY; i = (i + 1) & mask) {
		const Pile &p = g.piles[g.pileTable[i]];
		if (p.kind == st.kind && p.grid == st.grid && p.px == st.px && p.py == st.py) {
			break;
		}
	}
	return i;
}

// The pile of stack st; -1 when there is none yet.
static int findPile(const CollideGrid &g, const Stack &st) {
	return g.pileTable[pilePlace(g, st)];
}

// Narrows pile p's core to a member of reach r, and notes the sound its death asks for.
static void takeIn(Pile &p, const Reach &r, int sound) {
	p.core.x0 = std::max(p.core.x0, r.x0);
	p.core.y0 = std::max(p.core.y0, r.y0);
	p.core.x1 = std::min(p.core.x1, r.x1);
	p.core.y1 = std::min(p.core.y1, r.y1);
	p.sounds |= sound != SOUND_EVENTS ? 1 << sound : 0;
}

// Puts slot s, ahead of the receiver, into pile p with its life, damage and reach now.
static void enterPile(CollideGrid &g, int s, int p) {
	const Entity *e = g.ents[s];
	pileSetNode(g.forest, s, g.key[s], e->life, e->damage);
	pileInsert(g.forest, g.piles[p].root, s);
	takeIn(g.piles[p], g.reach[s], e->dyingSound());
	g.pileOf[s] = p;
}

// Puts slot s, just filed in stack st, into its pile if there is one: unless the pass has
// gone past it, it will meet receivers yet.
static void joinPile(CollideGrid &g, int s, int st) {
	int p = findPile(g, g.stacks[st]);
	if (p >= 0 && !g.piles[p].spread && g.key[s] > g.passedKey && g.pileOf[s] < 0) {
		enterPile(g, s, p);
	}
}

// Files slot s during the pass in the stacks of its kind and reach now, and in its pile.
static void fileSlot(CollideGrid &g, int s) {
	int grid = gridOf(g.reach[s]);
	Reach c = cellsOf(g.reach[s], grid);
	for (long long cy = c.y0; cy <= c.y1; cy++) {
		for (long long cx = c.x0; cx <= c.x1; cx++) {
			int st = stackFor(g, grid, cx, cy, g.kind[s], g.reach[s]);
			fileLate(g, st, s);
			if (cx == c.x0 && cy == c.y0) {
				joinPile(g, s, st);
			}
		}
	}
}

// Notes an entity just linked: where the list put it, by priority and by the order of linking.
void noteLinked(CollideGrid &g, Entity *e) {
	g.fresh.push_back(e);
	g.freshSerial.push_back(++g.serial);
}

// Files the entities linked since the last call; 1 when there were any.
int fileFresh(CollideGrid &g) {
	if (g.fresh.empty()) {
		return 0;
	}
	for (size_t i = 0; i < g.fresh.size(); i++) {
		Entity *e = g.fresh[i];
		if (!e->removed) {
			fileSlot(g, addSlot(g, e, orderKey(e->priority, -(long long)g.freshSerial[i]), 0));
		}
	}
	g.fresh.clear();
	g.freshSerial.clear();
	return 1;
}

// 1 when the entity in slot s is now of kind k and has reach r; asked after every collision,
// so that it compares names rather than look them up.
static int stillIs(const CollideGrid &g, int s, const Kind &k, const Reach &r) {
	const Entity *e = g.ents[s];
	return sameReach(reachOf(e), r) && k.vulnerable == !(e->flags & ENT_INVULN) && k.hurts == (e->damage != 0) &&
	       k.heals == (e->damage < 0) && k.batched == g.batched[s] && k.healed == (g.batched[s] && g.healed[s]) &&
	       k.flat == ((e->w <= 0) | (e->h <= 0) << 1) && k.restless == restless(e) && k.sound == burningSound(e) &&
	       k.burning == inDeath(e) && k.player == (e == player) && g.profileIgnore[k.profile] == &e->ignore.get() &&
	       g.profileType[k.profile] == e->type && g.teamNames[k.team] == e->group;
}

// 1 when the entity in slot s is no longer what it was filed as.
int changedSinceFiled(const CollideGrid &g, int s) {
	return !g.ents[s]->removed && !stillIs(g, s, g.kinds[g.kind[s]], g.reach[s]);
}

// Files slot s anew when its kind or its reach changed since it was filed; 1 when it did.
int refileIfChanged(CollideGrid &g, int s) {
	int p = leavePile(g, s);  // its life as its collisions left it
	if (!changedSinceFiled(g, s)) {
		if (p >= 0) {
			enterPile(g, s, p);
		}
		return 0;
	}
	leaveBatch(g, s);  // a batched entity that changed collides one by one from now on
	g.kind[s] = kindNumber(g, kindOf(g, s));
	g.reach[s] = reachOf(g.ents[s]);
	g.ver[s]++;
	widenKindBox(g, s);
	noteWidest(g, g.reach[s]);
	fileSlot(g, s);
	return 1;
}

// 1 when entry e still stands for its entity: not removed, and not filed anew since.
static int stands(const CollideGrid &g, const Entry &e) {
	return e.ver == g.ver[e.slot];
}

// The first entry of entries[i, end) that still stands, or end; the entries passed over are
// jumped over from then on.
static int standingFrom(CollideGrid &g, int i, int end) {
	int r = i;
	while (r < end) {
		if (g.jump[r] != r) {
			r = g.jump[r];
		} else if (!stands(g, g.entries[r])) {
			g.jump[r] = r + 1;
			r++;
		} else {
			break;
		}
	}
	for (int k = i; k < r;) {
		int next = g.jump[k];
		g.jump[k] = r;
		k = next;
	}
	return r;
}

// 1 when no entry of stack st stands for an entity ahead of the receiver: every receiver to
// come is further on in the list. A crowd that dies or moves as the pass goes leaves its
// stacks of the build behind it, and the receivers after it no longer look at them.
static int stackSpent(CollideGrid &g, int st) {
	Stack &stack = g.stacks[st];
	if (stack.late >= 0) {
		const LateList &late = g.lateLists[stack.late];
		if (!late.empty() && g.key[late.back().slot] > g.passedKey) {
			return 0;
		}
	}
	// the receivers come in list order: what one passed, no later one needs
	int pos = stack.ahead;
	while ((pos = standingFrom(g, pos, stack.end)) < stack.end && g.key[g.entries[pos].slot] <= g.passedKey) {
		pos++;
	}
	stack.ahead = pos;
	return pos == stack.end;
}

// The first stack of stacks[i, end), stacks of the build in one bucket, not marked spent, or
// end; the way there is shortened for the walks to come.
static int unspentFrom(CollideGrid &g, int i, int end) {
	int r = i;
	while (r < end && g.stackJump[r] != r) {
		r = g.stackJump[r];
	}
	for (int k = i; k < r;) {
		int next = g.stackJump[k];
		g.stackJump[k] = r;
		k = next;
	}
	return r;
}

// Orders the sources for the heap: the one whose entry comes first in the list on top.
static bool laterSource(const Source &a, const Source &b) {
	return a.key > b.key;
}

// Adds stack st to the walk from list order `from` on: its entries of the build and its late ones.
static void addSources(CollideGrid &g, int st, long long from) {
	const Stack &stack = g.stacks[st];
	if (stack.begin < stack.end) {
		int pos = (int)(std::lower_bound(g.entries.begin() + stack.begin, g.entries.begin() + stack.end, from,
		                                 [&g](const Entry &e, long long k) { return g.key[e.slot] < k; }) -
		                g.entries.begin());
		if (pos < stack.end) {
			g.sources.push_back(Source{g.key[g.entries[pos].slot], st, pos, 0});
		}
	}
	if (stack.late >= 0) {
		const LateList &late = g.lateLists[stack.late];
		size_t pos = lateFrom(g, late, from);
		if (pos < late.size()) {
			g.sources.push_back(Source{g.key[late[pos].slot], st, (int)pos, 1});
		}
	}
}

// Adds the entries of stack st of list order `after` on that still stand to members, and
// returns 1 when st is one of pile's stacks under the cell where their reaches start.
static int gatherMembers(CollideGrid &g, int st, const Stack &pile, long long after, std::vector<int> &members) {
	const Stack &stack = g.stacks[st];
	if (std::tie(stack.grid, stack.cx, stack.cy, stack.kind, stack.px, stack.py) !=
	    std::tie(pile.grid, pile.cx, pile.cy, pile.kind, pile.px, pile.py)) {
		return 0;
	}
	auto keyBefore = [&g](const Entry &e, long long k) { return g.key[e.slot] < k; };
	auto first = std::lower_bound(g.entries.begin() + stack.begin, g.entries.begin() + stack.end, after, keyBefore);
	for (auto e = first; e != g.entries.begin() + stack.end; ++e) {
		if (stands(g, *e)) {
			members.push_back(e->slot);
		}
	}
	if (stack.late >= 0) {
		const LateList &late = g.lateLists[stack.late];
		for (size_t i = lateFrom(g, late, after); i < late.size(); i++) {
			if (stands(g, late[i])) {
				members.push_back(late[i].slot);
			}
		}
	}
	return 1;
}

// Gathers into members, in list order, the entries ahead of the receiver in the stacks of
// stack st's pile under the cell where the pile's reaches start (every member has one there);
// how many such stacks there are.
static int gatherPile(CollideGrid &g, int st, std::vector<int> &members) {
	Stack key = g.stacks[st];
	key.cx = key.px;
	key.cy = key.py;
	long long after = g.passedKey + 1;
	members.clear();
	int stacks = 0;
	unsigned int b = bucketOf(g, key.grid, key.cx, key.cy);
	int first = g.bucketStack[b];
	int last = g.bucketStack[b + 1];
	int ordered = last - first > SMALL_BUCKET;  // then laid out by orderRuns
	unsigned long long h = runHash(key);
	if (ordered) {
		auto below = [](const Stack &st, unsigned long long at) { return runHash(st) < at; };
		first = (int)(std::lower_bound(g.stacks.begin() + first, g.stacks.begin() + last, h, below) - g.stacks.begin());
	}
	for (int at = first; at < last && (!ordered || runHash(g.stacks[at]) == h); at++) {
		stacks += gatherMembers(g, at, key, after, members);
	}
	for (int at = g.bucketExtra[b]; at >= 0; at = g.stacks[at].nextExtra) {
		stacks += gatherMembers(g, at, key, after, members);
	}
	std::sort(members.begin(), members.end(), [&g](int a, int c) { return g.key[a] < g.key[c]; });
	return stacks;
}

// Puts members, in list order, into pile p, which holds none.
static void fillPile(CollideGrid &g, int p, const std::vector<int> &members) {
	for (int s : members) {
		pileSetNode(g.forest, s, g.key[s], g.ents[s]->life, g.ents[s]->damage);
		g.pileOf[s] = p;
	}
	g.piles[p].root = pileBuild(g.forest, members);
}

// Makes the pile of stack st from the entries ahead of the receiver when there are enough of
// them, or of their stacks, for a pile to pay; -1 when not. A pile whose members lie too far
// apart for any receiver so far to meet them all is made without them, and never summed in
// the pass: it would cost each collision with one of them a leaving and a settling, for sums
// that a receiver growing wider than all those before it is the only one to make.
static int makePile(CollideGrid &g, int st) {
	std::vector<int> &members = g.flushSlots;
	int stacks = gatherPile(g, st, members);
	if ((int)members.size() < collisionPileSize && stacks < collisionPileSize) {
		return -1;
	}
	const Stack &key = g.stacks[st];
	int p = (int)g.piles.size();
	g.pileTable[pilePlace(g, key)] = p;
	g.piles.push_back(
		Pile{key.kind, key.grid, key.px, key.py, Reach{LLONG_MIN, LLONG_MIN, LLONG_MAX, LLONG_MAX}, -1, 0, 0, 0, 0});
	if (g.piles.size() * 2 > g.pileTable.size()) {
		growTable(g.pileTable, p + 1, [&g](int q) {
			const Pile &pile = g.piles[q];
			return pileKeyHash(pile.kind, pile.grid, pile.px, pile.py);
		});
	}
	for (int s : members) {
		takeIn(g.piles[p], g.reach[s], g.ents[s]->dyingSound());
	}
	if (!coverable(g, g.piles[p].core)) {
		g.piles[p].spread = 1;
		return p;
	}
	fillPile(g, p, members);
	return p;
}

// The pile of stack st, with make made when enough of it lies ahead; -1 when there is none.
static int pileFor(CollideGrid &g, int st, int make) {
	Stack &stack = g.stacks[st];
	if (stack.pile < 0) {
		stack.pile = findPile(g, stack);
	}
	// entries ahead only leave until more are filed
	if (stack.pile < 0 && make && stack.smallAt != g.lateFilings) {
		stack.pile = makePile(g, st);
		stack.smallAt = g.lateFilings;
	}
	return stack.pile;
}

// 1 when the receiver's collisions with stack st's entries may be made at once: they change
// only lives, unless the life of one side drops below 1, which the walk looks out for. The
// player's are all made one by one: behaviours change its life and shield at any time.
static int summable(const CollideGrid &g, int st) {
	const Kind &k = g.kinds[g.stacks[st].kind];
	const Kind &r = g.askedKind;
	// a batched side may have to leave the batch before one that heals it, or hurts it while
	// it lives or is healed by the batch, meets it (collide_batch.h)
	int batchedHere = (k.batched && (r.heals || ((!k.burning || k.healed) && r.hurts))) ||
	                  (r.batched && (k.heals || ((!r.burning || r.healed) && k.hurts)));
	return !g.oneByOne && !k.player && !loud(k) && !loud(r) && !batchedHere;
}

// 1 when the receiver's collisions with the members of stack st's pile are made at once: they
// may be, and it meets every member. Decided once per asking and pile, so that the pile's
// stacks are all summed or all walked, and the pile is summed once however many it finds.
// With make, the pile is made when there is none.
static int summedPile(CollideGrid &g, int st, int make) {
	int p = summable(g, st) ? pileFor(g, st, make) : -1;
	if (p < 0) {
		return 0;
	}
	if (g.piles[p].spread) {
		return 0;
	}
	Pile &pile = g.piles[p];
	if (pile.stamp != g.stamp) {
		pile.stamp = g.stamp;
		pile.summed = reachesMeet(g.askedReach, pile.core);
		if (pile.summed) {
			g.summed.push_back(p);
		}
	}
	return pile.summed;
}

// Adds stack st to the walk when its kind and reach may meet the receiver's with some effect,
// counting a pair of stacks under cells only in the cell where their reaches begin to meet:
// as its pile when its collisions may be made at once, else entry by entry. 1 when the other
// stacks of its pile under its cell need not be looked at.
static int consider(CollideGrid &g, int st, long long from) {
	const Stack &stack = g.stacks[st];
	const Reach &r = g.askedReach;
	if (inertForReceiver(g, stack.kind)) {
		return 1;
	}
	// a stack of one entry costs no more to find spent than to test: found so, it is passed
	// over by every receiver asking its cells, whether they would meet it or not
	if (!(stack.end - stack.begin <= 1 && stack.late < 0) && !reachesMeet(r, stack.reach)) {
		return 0;
	}
	if (stackSpent(g, st)) {
		g.stackJump[st] = st + 1;  // passed over from now on
		return 0;
	}
	if (!reachesMeet(r, stack.reach)) {
		return 0;
	}
	int meetsHere = cellOf(std::max(r.x0, stack.reach.x0), shiftX(stack.grid)) == stack.cx &&
	                cellOf(std::max(r.y0, stack.reach.y0), shiftY(stack.grid)) == stack.cy;
	// a stack counted elsewhere makes no pile, but when others of its pile follow it in its
	// bucket, passes over them for a pile made
	if ((meetsHere || stack.runEnd > st + 1) && summedPile(g, st, meetsHere)) {
		return 1;
	}
	if (meetsHere) {
		addSources(g, st, from);
	}
	return 0;
}

// The kinds, one bit each, that the receiver's may meet to some effect and that have an
// entity anywhere near it; 0 for none: most of a crowd of one side is alone with its kind,
// and need not ask its cells.
static unsigned long long partnerKinds(CollideGrid &g) {
	if (g.kinds.size() > MAX_KIND_BOXES) {
		return ~0ull;
	}
	unsigned long long near = 0;
	for (size_t k = 0; k < g.kinds.size(); k++) {
		if (reachesMeet(g.askedReach, g.kindBox[k]) && !inertForReceiver(g, (int)k)) {
			near |= kindBit((int)k);
		}
	}
	return near;
}

// Considers the stacks made during the pass under cell (cx, cy) of grid, from stack first on;
// those spent leave the bucket's list.
static void askMade(CollideGrid &g, int grid, long long cx, long long cy, long long from, int first) {
	for (int *link = &g.bucketExtra[bucketOf(g, grid, cx, cy)]; *link >= 0;) {
		int st = *link;
		if (spent(g, st)) {
			*link = g.stacks[st].nextExtra;
			continue;
		}
		if (st >= first && g.stacks[st].grid == grid && g.stacks[st].cx == cx && g.stacks[st].cy == cy) {
			consider(g, st, from);
		}
		link = &g.stacks[st].nextExtra;
	}
}

// Considers the stacks under cells c of grid, of the build and made since.
static void askCells(CollideGrid &g, int grid, const Reach &c, long long from) {
	for (long long cy = c.y0; cy <= c.y1; cy++) {
		for (long long cx = c.x0; cx <= c.x1; cx++) {
			unsigned int b = bucketOf(g, grid, cx, cy);
			int end = g.bucketStack[b + 1];
			for (int st = unspentFrom(g, g.bucketStack[b], end); st < end;) {
				int here = g.stacks[st].grid == grid && g.stacks[st].cx == cx && g.stacks[st].cy == cy;
				st = unspentFrom(g, here && consider(g, st, from) ? g.stacks[st].runEnd : st + 1, end);
			}
			askMade(g, grid, cx, cy, from, 0);
		}
	}
}

// Considers the stacks of index[begin, end), arranged by arrangeCells along axis first,
// whose cells lie in c: each half is looked into only when c reaches across the middle's line
// to its side, so a receiver pays for the stacks it finds and about the square root of those
// it does not, however many cells it covers.
static void askTree(CollideGrid &g, const std::vector<int> &index, int begin, int end, int axis, const Reach &c,
                    long long from) {
	while (begin < end) {
		int mid = begin + (end - begin) / 2;
		const Stack &st = g.stacks[index[mid]];
		if (st.cx >= c.x0 && st.cx <= c.x1 && st.cy >= c.y0 && st.cy <= c.y1) {
			consider(g, index[mid], from);
		}
		long long line = cellAlong(st, axis);
		int before = (axis ? c.y0 : c.x0) <= line;
		int after = (axis ? c.y1 : c.x1) >= line;
		if (before && after) {
			askTree(g, index, begin, mid, !axis, c, from);
		}
		if (after) {
			begin = mid + 1;
		} else {
			end = mid;
		}
		axis = !axis;
	}
}

// Considers the stacks of grid under cells c, too many to ask one by one: kind by kind
// through the tree of the occupied cells, then the stacks made in grid since the tree was
// made, each of them or, when c holds fewer cells than they are, those in the buckets of its
// cells. The index is made anew once the stacks made since outnumber half of those in it, so
// that those asked one by one stay few for all the receivers to come.
static void askOccupied(CollideGrid &g, int grid, const Reach &c, long long from, unsigned long long partners) {
	if (g.indexedStacks < 0 || (int)g.stacks.size() - g.indexedStacks > std::max(REINDEX_STACKS, g.indexedStacks / 2)) {
		indexStacks(g);
	}
	for (int k = 0; k < (int)g.kinds.size(); k++) {
		if (!(partners & g.gridKinds[grid] & kindBit(k)) || inertForReceiver(g, k)) {
			continue;
		}
		int first;
		int last;
		const std::vector<int> &index = kindCells(g, k, &first, &last);
		auto below = [&g](int st, int at) { return g.stacks[st].grid < at; };
		auto above = [&g](int at, int st) { return at < g.stacks[st].grid; };
		auto begin = std::lower_bound(index.begin() + first, index.begin() + last, grid, below);
		auto end = std::upper_bound(begin, index.begin() + last, grid, above);
		askTree(g, index, (int)(begin - index.begin()), (int)(end - index.begin()), 0, c, from);
	}
	const std::vector<int> &extra = g.gridExtra[grid];
	auto since = std::lower_bound(extra.begin(), extra.end(), g.indexedStacks);
	if (cellCount(c) < extra.end() - since) {
		for (long long cy = c.y0; cy <= c.y1; cy++) {
			for (long long cx = c.x0; cx <= c.x1; cx++) {
				askMade(g, grid, cx, cy, from, g.indexedStacks);
			}
		}
		return;
	}
	for (auto st = since; st != extra.end(); ++st) {
		consider(g, *st, from);
	}
}

// Starts the walk of receiver sa over the entries from list order `from` on. A receiver
// that nothing changed since its filing is asked with what it was filed as.
void askPartners(CollideGrid &g, int sa, long long from, int filed) {
	g.receiver = sa;
	g.askedKind = filed ? g.kinds[g.kind[sa]] : kindOf(g, sa);
	g.askedReach = filed ? g.reach[sa] : reachOf(g.ents[sa]);
	noteWidest(g, g.askedReach);
	if (++g.stamp == INT_MAX) {
		// every mark of an earlier asking must differ from the new ones: start the count again
		std::fill(g.memoStamp.begin(), g.memoStamp.end(), 0);
		for (Pile &p : g.piles) {
			p.stamp = 0;
		}
		g.stamp = 1;
	}
	if (g.memoStamp.size() < g.kinds.size()) {
		g.memoStamp.resize(g.kinds.size() * 2, 0);
		g.memoInert.resize(g.kinds.size() * 2, 0);
	}
	g.sources.clear();
	g.held = 0;
	g.summed.clear();
	g.sumFrom = from;
	g.walked = from - 1;
	unsigned long long partners = partnerKinds(g);
	for (size_t i = 0; partners != 0 && i < g.grids.size(); i++) {
		int grid = g.grids[i];
		if (!(g.gridKinds[grid] & partners)) {
			continue;
		}
		Reach c = cellsOf(g.askedReach, grid);
		if (cellCount(c) <= BIG_CELLS) {
			askCells(g, grid, c, from);
		} else {
			askOccupied(g, grid, c, from, partners);
		}
	}
	std::make_heap(g.sources.begin(), g.sources.end(), laterSource);
}

// 1 when the receiver of the walk is no longer what its walk was asked with.
int receiverChanged(const CollideGrid &g) {
	return !stillIs(g, g.receiver, g.askedKind, g.askedReach);
}

// The slot source src stands on now, moving it past entries that no longer stand and past
// the partners met already (filed anew, one may stand in a stack of the walk again); -1 at
// its end.
static int sourceSlot(CollideGrid &g, Source &src) {
	const Stack &stack = g.stacks[src.stack];
	if (!src.late) {
		for (;; src.pos++) {
			src.pos = standingFrom(g, src.pos, stack.end);
			if (src.pos >= stack.end || g.key[g.entries[src.pos].slot] > g.walked) {
				return src.pos < stack.end ? g.entries[src.pos].slot : -1;
			}
		}
	}
	LateList &late = g.lateLists[stack.late];
	src.key = std::max(src.key, g.walked + 1);
	size_t pos = lateFrom(g, late, src.key);
	while (pos < late.size() && !stands(g, late[pos])) {
		late.erase(late.begin() + (long)pos);
	}
	return pos < late.size() ? late[pos].slot : -1;
}

// The list order of the walk's next partner made one by one; LLONG_MAX at the end. Its source
// is held out of the heap until takePartner. A source whose entry no longer stands moves on
// to the next one that does and goes back into the heap.
static long long peekPartner(CollideGrid &g) {
	if (g.held) {
		return g.sources.back().key;
	}
	while (!g.sources.empty()) {
		std::pop_heap(g.sources.begin(), g.sources.end(), laterSource);
		Source &src = g.sources.back();
		int slot = sourceSlot(g, src);
		if (slot < 0) {
			g.sources.pop_back();
			continue;
		}
		if (g.key[slot] == src.key) {
			g.held = 1;
			return src.key;
		}
		src.key = g.key[slot];
		std::push_heap(g.sources.begin(), g.sources.end(), laterSource);
	}
	return LLONG_MAX;
}

// Puts the source peekPartner held back into the heap, to be looked at again: a collision
// made before its partner's may remove or file anew what it stands on.
static void releasePartner(CollideGrid &g) {
	if (g.held) {
		g.held = 0;
		std::push_heap(g.sources.begin(), g.sources.end(), laterSource);
	}
}

// The slot of the partner peekPartner found; its source moves on past it.
static int takePartner(CollideGrid &g) {
	Source &src = g.sources.back();
	const Stack &stack = g.stacks[src.stack];
	int slot = sourceSlot(g, src);
	g.held = 0;
	g.walked = g.key[slot];
	g.sumFrom = g.walked + 1;
	if (!src.late) {
		src.pos++;
		if (src.pos < stack.end) {
			src.key = g.key[g.entries[src.pos].slot];
		}
	} else {
		src.key++;
	}
	if (!src.late && src.pos >= stack.end) {
		g.sources.pop_back();
	} else {
		std::push_heap(g.sources.begin(), g.sources.end(), laterSource);
	}
	return slot;
}

// The damage a run of pile members deals a receiver that meets them all.
struct RunSums {
	long long hurt;
	long long heal;
	long long count;
};

// 1 when pile p's members are alive, or burning with a death sound not yet asked for, and
// can be hurt: a collision leaving one below 1 makes its die() act.
static int pileWatched(const CollideGrid &g, int p) {
	const Kind &k = g.kinds[g.piles[p].kind];
	if (!k.vulnerable || !k.burning) {
		return k.vulnerable;
	}
	for (int sound = 0; sound < SOUND_EVENTS; sound++) {
		if ((g.piles[p].sounds >> sound & 1) && !soundAsked((SoundEvent)sound)) {
			return 1;
		}
	}
	return 0;
}

// The same for the receiver of the walk.
static int receiverWatched(const CollideGrid &g) {
	const Entity *a = g.ents[g.receiver];
	if (a->flags & ENT_INVULN) {
		return 0;
	}
	int sound = a->dyingSound();
	return !g.askedKind.burning || (sound != SOUND_EVENTS && !soundAsked((SoundEvent)sound));
}

// What the summed piles' members of list order sumFrom .. to - 1 deal the receiver.
static RunSums runSums(CollideGrid &g, long long to) {
	RunSums run = {0, 0, 0};
	for (int p : g.summed) {
		PileSums sums = pileSums(g.forest, g.piles[p].root, g.sumFrom, to);
		run.hurt += sums.hurt;
		run.heal += sums.heal;
		run.count += sums.count;
	}
	return run;
}

// The damage above 0 that the summed piles' members from sumFrom up to list order at,
// itself included, deal.
static long long hurtUpTo(CollideGrid &g, long long at) {
	return runSums(g, at + 1).hurt;
}

// The member of the summed piles, before list order to, by which the receiver has taken
// need in damage from sumFrom on; -1 when none.
static int receiverFalls(CollideGrid &g, long long to, long long need) {
	if (g.summed.size() == 1) {
		return pileHurtReaches(g.forest, g.piles[g.summed[0]].root, g.sumFrom, to, need);
	}
	long long lo = LLONG_MAX;
	for (int p : g.summed) {
		lo = std::min(lo, pileFirstKey(g.forest, g.piles[p].root, g.sumFrom));
	}
	long long hi = to - 1;
	if (lo > hi || hurtUpTo(g, hi) < need) {
		return -1;
	}
	// the damage grows at the members' keys only: the first key where it reaches need is one
	while (lo < hi) {
		long long mid = lo + (hi - lo) / 2;
		if (hurtUpTo(g, mid) >= need) {
			hi = mid;
		} else {
			lo = mid + 1;
		}
	}
	for (int p : g.summed) {
		int m = pileAt(g.forest, g.piles[p].root, lo);
		if (m >= 0) {
			return m;
		}
	}
	return -1;
}

// Makes the receiver's collisions with the summed piles' members of list order sumFrom ..
// to - 1 at once; 0, making none, when its life could meet an end of the int range while
// both hurt and healed, where the order of the collisions decides.
static int makeRun(CollideGrid &g, long long to, const RunSums &run) {
	Entity *a = g.ents[g.receiver];
	if (run.count == 0) {
		g.sumFrom = to;
		return 1;
	}
	if (!(a->flags & ENT_INVULN)) {
		long long life = a->life;
		if (run.hurt > 0 && run.heal > 0 && (life - run.hurt < INT_MIN || life + run.heal > INT_MAX)) {
			return 0;
		}
		// hurt or healed only, the order of the steps does not matter even at the ends
		a->life = saturatingAdd(life - run.hurt, run.heal);
	}
	if (a->damage != 0) {
		LifeShift s = shiftOfDamage(a->damage);
		for (int p : g.summed) {
			if (g.kinds[g.piles[p].kind].vulnerable) {
				pileShift(g.forest, g.piles[p].root, g.sumFrom, to, s);
			}
		}
	}
	collisionsSummed += run.count;
	g.sumFrom = to;
	return 1;
}

// Asks the receiver's partners again from sumFrom on, to make every collision one by one.
static void oneByOne(CollideGrid &g) {
	g.oneByOne = 1;
	askPartners(g, g.receiver, g.sumFrom, 0);
}

// The slot of the next partner whose collision with the receiver is made one by one: the
// next from the stacks walked, or a pile member whose collision makes a die() act. The
// collisions with the piles' members before it are made at once on the way. -1 at the end.
int nextToMake(CollideGrid &g) {
	for (;;) {
		long long next = peekPartner(g);
		if (g.summed.empty()) {
			return next == LLONG_MAX ? -1 : takePartner(g);
		}
		Entity *a = g.ents[g.receiver];
		long long at = next;
		int member = -1;
		if (a->damage > 0) {
			// the first member the receiver leaves below 1
			for (int p : g.summed) {
				int m = pileWatched(g, p)
				            ? pileFirstBelow(g.forest, g.piles[p].root, g.sumFrom, at, 1 + (long long)a->damage)
				            : -1;
				if (m >= 0) {
					at = g.key[m];
					member = m;
				}
			}
		}
		RunSums run = runSums(g, at);
		if (run.hurt >= a->life && receiverWatched(g)) {
			if (run.heal > 0) {
				oneByOne(g);  // its life goes down and up: where it drops below 1 takes every step
				continue;
			}
			int m = receiverFalls(g, at, a->life);
			if (m >= 0) {
				at = g.key[m];
				member = m;
				run = runSums(g, at);
			}
		}
		if (!makeRun(g, at, run)) {
			oneByOne(g);
			continue;
		}
		if (member >= 0) {
			releasePartner(g);
			g.walked = at;
			g.sumFrom = at + 1;
			return member;
		}
		return next == LLONG_MAX ? -1 : takePartner(g);
	}
}

// Makes slot s the receiver: it leaves its pile, with the life its collisions so far left it.
int startReceiver(CollideGrid &g, int s) {
	g.passedKey = g.key[s];
	g.oneByOne = 0;
	leavePile(g, s);
	return changedSinceFiled(g, s);
}

// Takes slot s out of its pile, its life written back; the pile it was in, -1 for none.
int leavePile(CollideGrid &g, int s) {
	int p = g.pileOf[s];
	if (p >= 0) {
		g.ents[s]->life = pileErase(g.forest, g.piles[p].root, s);
		g.pileOf[s] = -1;
	}
	return p;
}

// Puts slot s back into pile p after a collision made with it, unless it was removed or
// filed anew (which put it where it belongs).
void settle(CollideGrid &g, int s, int p, int ver) {
	// the pile's sums may have carried its life across 1 (a burning side healed): then it is
	// no longer of the pile's kind, and is filed anew as what it is
	if (p >= 0 && !g.ents[s]->removed && g.ver[s] == ver && g.pileOf[s] < 0 && !refileIfChanged(g, s)) {
		enterPile(g, s, p);
	}
}

// Notes an entity just unlinked: it leaves its pile with its life, and its batch, and its
// entries stand for nothing from then on.
void noteUnlinked(CollideGrid &g, Entity *e) {
	int s = slotOf(g, e);
	if (s >= 0) {
		leavePile(g, s);
		leaveBatch(g, s);
		g.ver[s]++;  // so that the walks need not look at the entity itself
	}
}

// Writes back the lives of every pile's members, and empties the piles.
void flushPiles(CollideGrid &g) {
	for (Pile &p : g.piles) {
		g.flushSlots.clear();
		g.flushLives.clear();
		pileFlush(g.forest, p.root, g.flushSlots, g.flushLives);
		for (size_t i = 0; i < g.flushSlots.size(); i++) {
			g.ents[g.flushSlots[i]]->life = g.flushLives[i];
			g.pileOf[g.flushSlots[i]] = -1;
		}
	}
}
