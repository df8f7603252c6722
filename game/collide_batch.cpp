// The crowds of the collision pass whose collisions with each other are summed: see
// collide_batch.h for why that is exact.
//
// The sums: a source meets a query unless it lies wholly left of it (L), right (R), below (D)
// or above (U). With reaches that run forwards, a source cannot be both left and right, nor
// both below and above, so by inclusion and exclusion the sources meeting a query are
//   all - L - R - D - U + LD + LU + RD + RU.
// The single sides are counted by walking each side's values and bounds sorted together; the
// pairs by such a walk from the left and one from the right, each with a Fenwick tree for below
// and one for above: O(n log n) in all, in all and within each group at once.
#include "game/collide_batch.h"

#include <algorithm>
#include <climits>
#include "entity/gamestate.h"
#include "game/vorska.h"

// The fewest turns over which a pass's rate of collisions made one by one is judged.
static const long long BATCH_RATE_TURNS = 256;

// The sides a source may lie on, wholly, of a query.
enum { LEFT, RIGHT, BELOW, ABOVE };

// The weights of a source, or of many summed.
struct Weights {
	long long w[WEIGHTS];
};

// Adds weights to others.
static Weights &operator+=(Weights &u, const Weights &t) {
	for (int i = 0; i < WEIGHTS; i++) {
		u.w[i] += t.w[i];
	}
	return u;
}

// The weights of source box b.
static Weights weightsOf(const SumBox &b) {
	Weights t;
	for (int i = 0; i < WEIGHTS; i++) {
		t.w[i] = b.weight[i];
	}
	return t;
}

// Weights summed and the number of those summed.
struct Tally {
	Weights weight;
	long long count;
};

// Adds a tally to another.
static Tally &operator+=(Tally &u, const Tally &t) {
	u.weight += t.weight;
	u.count += t.count;
	return u;
}

// A value to sort, above the least of its side, with the source or query it belongs to.
struct Keyed {
	unsigned long long key;
	int index;
};

// Sorts v by key, eleven bits at a time from the lowest (a radix sort: the keys of a side span
// some 36 bits, and the crowds are large).
static void radixSort(std::vector<Keyed> &v, std::vector<Keyed> &scratch) {
	const int BITS = 11;
	const size_t DIGITS = 1 << BITS;
	unsigned long long top = 0;
	for (const Keyed &k : v) {
		top |= k.key;
	}
	scratch.resize(v.size());
	std::vector<size_t> start(DIGITS);
	for (int shift = 0; shift < 64 && (top >> shift) != 0; shift += BITS) {
		std::fill(start.begin(), start.end(), 0);
		for (const Keyed &k : v) {
			start[(k.key >> shift) & (DIGITS - 1)]++;
		}
		size_t at = 0;
		for (size_t &d : start) {
			size_t n = d;
			d = at;
			at += n;
		}
		for (const Keyed &k : v) {
			scratch[start[(k.key >> shift) & (DIGITS - 1)]++] = k;
		}
		v.swap(scratch);
	}
}

// One side: the sources' values and the queries' bounds, each sorted, and what the queries
// need of them.
struct Side {
	std::vector<Keyed> values;       // ascending
	std::vector<Keyed> bounds;       // ascending
	std::vector<Tally> below;        // per query: the sources below its bound
	std::vector<Weights> teamBelow;  // per query: the weights of those of its group
	std::vector<int> rank;           // per query: how many sources lie below its bound...
	std::vector<int> teamRank;       // ...and how many of its group
	std::vector<int> place;          // per source: its place in values...
	std::vector<int> teamPlace;      // ...and among its group's
};

// Sorts a side's values and bounds, given on one scale, and walks them together.
static void sortSide(Side &side, const std::vector<long long> &values, const std::vector<long long> &bounds,
                     const std::vector<SumBox> &sources, const std::vector<SumBox> &queries, int teams,
                     std::vector<Keyed> &scratch) {
	long long least = LLONG_MAX;
	for (long long v : values) {
		least = std::min(least, v);
	}
	for (long long b : bounds) {
		least = std::min(least, b);
	}
	side.values.resize(values.size());
	for (size_t i = 0; i < values.size(); i++) {
		side.values[i] = Keyed{(unsigned long long)(values[i] - least), (int)i};
	}
	side.bounds.resize(bounds.size());
	for (size_t i = 0; i < bounds.size(); i++) {
		side.bounds[i] = Keyed{(unsigned long long)(bounds[i] - least), (int)i};
	}
	radixSort(side.values, scratch);
	radixSort(side.bounds, scratch);
	side.place.resize(values.size());
	side.teamPlace.resize(values.size());
	side.below.resize(bounds.size());
	side.teamBelow.resize(bounds.size());
	side.rank.resize(bounds.size());
	side.teamRank.resize(bounds.size());
	std::vector<int> teamCount(teams, 0);
	std::vector<Weights> teamWeight(teams, Weights{});
	Tally taken = {};
	size_t next = 0;
	for (const Keyed &b : side.bounds) {
		for (; next < side.values.size() && side.values[next].key < b.key; next++) {
			const SumBox &s = sources[side.values[next].index];
			side.place[side.values[next].index] = (int)next;
			side.teamPlace[side.values[next].index] = teamCount[s.team]++;
			teamWeight[s.team] += weightsOf(s);
			taken += Tally{weightsOf(s), 1};
		}
		int team = queries[b.index].team;
		side.below[b.index] = taken;
		side.teamBelow[b.index] = teamWeight[team];
		side.rank[b.index] = (int)next;
		side.teamRank[b.index] = teamCount[team];
	}
	for (; next < side.values.size(); next++) {
		side.place[side.values[next].index] = (int)next;
		side.teamPlace[side.values[next].index] = teamCount[sources[side.values[next].index].team]++;
	}
}

// Adds w at place i of a Fenwick tree.
template <typename T> static void treeAdd(std::vector<T> &tree, size_t i, const T &w) {
	for (i++; i < tree.size(); i += i & (~i + 1)) {
		tree[i] += w;
	}
}

// The sum of the places below i in a Fenwick tree.
template <typename T> static T treeBelow(const std::vector<T> &tree, size_t i) {
	T t = T();
	for (; i > 0; i -= i & (~i + 1)) {
		t += tree[i];
	}
	return t;
}

// Walks the sources in the order of side `along` against the queries in the order of their
// bounds on it, each taking the sources below its bound, and adds to each query those of the
// taken that lie below it and above it too: in all, and of its own group.
static void sweep(const Side sides[4], int along, const std::vector<SumBox> &sources,
                  const std::vector<SumBox> &queries, int teams, std::vector<Meeting> &out) {
	std::vector<Tally> tree[2];
	std::vector<std::vector<Weights>> teamTree[2];
	std::vector<int> teamSize(teams, 0);
	for (const SumBox &s : sources) {
		teamSize[s.team]++;
	}
	for (int k = 0; k < 2; k++) {
		tree[k].assign(sources.size() + 1, Tally{});
		teamTree[k].resize(teams);
		for (int t = 0; t < teams; t++) {
			teamTree[k][t].assign(teamSize[t] + 1, Weights{});
		}
	}
	const Side &a = sides[along];
	size_t next = 0;
	for (const Keyed &b : a.bounds) {
		for (; next < a.values.size() && a.values[next].key < b.key; next++) {
			int s = a.values[next].index;
			for (int k = 0; k < 2; k++) {
				treeAdd(tree[k], sides[BELOW + k].place[s], Tally{weightsOf(sources[s]), 1});
				treeAdd(teamTree[k][sources[s].team], sides[BELOW + k].teamPlace[s], weightsOf(sources[s]));
			}
		}
		Meeting &m = out[b.index];
		for (int k = 0; k < 2; k++) {
			const Side &other = sides[BELOW + k];
			Tally t = treeBelow(tree[k], other.rank[b.index]);
			Weights same = treeBelow(teamTree[k][queries[b.index].team], other.teamRank[b.index]);
			for (int i = 0; i < WEIGHTS; i++) {
				m.sum[i] += t.weight.w[i];
				m.sameSum[i] += same.w[i];
			}
			m.count += t.count;
		}
	}
}

// For each query, what the sources whose reaches meet its own weigh and how many they are, and
// what those of its group weigh.
void meetingSums(const std::vector<SumBox> &sources, const std::vector<SumBox> &queries, int teams,
                 std::vector<Meeting> &out) {
	size_t n = sources.size();
	size_t m = queries.size();
	// each side as source values and query bounds: a source lies wholly on the side of a
	// query when its value is below the query's bound
	std::vector<long long> value[4];
	std::vector<long long> bound[4];
	for (int side = 0; side < 4; side++) {
		value[side].resize(n);
		bound[side].resize(m);
	}
	Tally all = {Weights{}, (long long)n};
	std::vector<Weights> teamAll(teams, Weights{});
	for (size_t i = 0; i < n; i++) {
		const Reach &r = sources[i].reach;
		value[LEFT][i] = r.x1;
		value[RIGHT][i] = -r.x0;
		value[BELOW][i] = r.y1;
		value[ABOVE][i] = -r.y0;
		all.weight += weightsOf(sources[i]);
		teamAll[sources[i].team] += weightsOf(sources[i]);
	}
	for (size_t i = 0; i < m; i++) {
		const Reach &r = queries[i].reach;
		bound[LEFT][i] = r.x0;
		bound[RIGHT][i] = -r.x1;
		bound[BELOW][i] = r.y0;
		bound[ABOVE][i] = -r.y1;
	}
	Side sides[4];
	std::vector<Keyed> scratch;
	for (int side = 0; side < 4; side++) {
		sortSide(sides[side], value[side], bound[side], sources, queries, teams, scratch);
	}
	out.assign(m, Meeting{});
	for (size_t q = 0; q < m; q++) {
		Meeting &r = out[q];
		r.count = all.count;
		for (int i = 0; i < WEIGHTS; i++) {
			r.sum[i] = all.weight.w[i];
			r.sameSum[i] = teamAll[queries[q].team].w[i];
		}
		for (const Side &side : sides) {
			r.count -= side.below[q].count;
			for (int i = 0; i < WEIGHTS; i++) {
				r.sum[i] -= side.below[q].weight.w[i];
				r.sameSum[i] -= side.teamBelow[q].w[i];
			}
		}
	}
	sweep(sides, LEFT, sources, queries, teams, out);
	sweep(sides, RIGHT, sources, queries, teams, out);
}

// 1 when e may be batched at the start of a pass: a box of some size, and either burning with
// its life used up, so that its die() only asks for its sound, or when living ones are batched,
// alive (startBatch keeps only those whose collisions cannot count in their order).
int batchCandidate(const CollideGrid &g, const Entity *e) {
	if (e == player || e->w <= 0 || e->h <= 0 || e->data == nullptr || e->state == nullptr) {
		return 0;
	}
	int burning = inDeath(e);
	return burning ? e->life < 1 : g.batchLiving && e->life >= 1;
}

// Decides whether the pass over the n entities from first on batches, and whether its living
// too: when the last pass made many collisions, or the world grew much since, or with resume
// set, when this one did so far (worthBatchingNow). The candidates must be enough for summing
// to pay, and some of them must change something by colliding: some burn, or some are of
// another group than others.
void chooseBatch(CollideGrid &g, size_t n, const Entity *first, int resume) {
	if (resume) {
		g.batchLiving = 1;
	} else {
		// or when its living crowd at least twice as much as in the last pass: they came
		// together since, and the pass before could not tell
		long long crowd = n < (size_t)std::max(collisionCrowdSize, collisionBatchSize) ? 0 : crowding(g, n, first);
		g.batchLiving = n >= 2 * g.lastEntities || g.lastPairs >= collisionBatchPairs * (long long)g.lastEntities ||
		                (crowd >= collisionBatchPairs * (long long)n && crowd / 2 >= g.lastCrowding);
		g.lastEntities = n;
		g.lastCrowding = crowd;
		g.pairsMade = 0;
		g.pairsOneByOne = 0;
		g.turnsTaken = 0;
	}
	int candidates = 0;
	int burning = 0;
	const std::string *group = nullptr;
	int groups = 1;
	for (const Entity *e = first; e != nullptr; e = e->next) {
		if (!batchCandidate(g, e)) {
			continue;
		}
		candidates++;
		burning += e->life < 1;
		if (group == nullptr) {
			group = &e->group;
		} else if (groups == 1 && *group != e->group) {
			groups = 2;
		}
	}
	g.batching = candidates >= collisionBatchSize && (burning > 0 || groups > 1);
}


// Notes what the pass made, for the next to decide by.
void passMade(CollideGrid &g) {
	g.lastPairs = g.pairsMade;
}

// The kind of slot s.
static const Kind &kindAt(const CollideGrid &g, int s) {
	return g.kinds[g.kind[s]];
}

// The reach r turned forwards: a box of no or negative size as the box between its ends, which
// meets every box that it meets, and more.
static Reach forwards(const Reach &r) {
	return Reach{std::min(r.x0, r.x1), std::min(r.y0, r.y1), std::max(r.x0, r.x1), std::max(r.y0, r.y1)};
}

// The damage that hurts (HURT) or heals (HEAL), as a number of 0 or more.
static long long damagePart(int damage, int part) {
	return part == HURT ? std::max(damage, 0) : -(long long)std::min(damage, 0);
}

// What the source slots meeting each query slot add up to (meetingSums), a source weighing
// the damage it deals, hurting and healing, and counted with its reach turned forwards; with
// asBatched set, the sources as they were when the batch was summed.
static std::vector<Meeting> sumsOf(CollideGrid &g, const std::vector<int> &sourceSlots,
                                   const std::vector<int> &querySlots, int asBatched) {
	// the groups numbered from 0 for the sums
	std::vector<int> teamIndex;
	int teams = 0;
	auto index = [&](size_t team) {
		if (teamIndex.size() <= team) {
			teamIndex.resize(team + 1, -1);
		}
		if (teamIndex[team] < 0) {
			teamIndex[team] = teams++;
		}
		return teamIndex[team];
	};
	std::vector<SumBox> sources;
	std::vector<SumBox> queries;
	sources.reserve(sourceSlots.size());
	queries.reserve(querySlots.size());
	for (int s : sourceSlots) {
		BatchedAs as =
			asBatched ? g.batchAs[s] : BatchedAs{forwards(g.reach[s]), kindAt(g, s).team, 0, g.ents[s]->damage, 0};
		sources.push_back(SumBox{as.reach, index(as.team), {damagePart(as.damage, HURT), damagePart(as.damage, HEAL)}});
	}
	for (int s : querySlots) {
		queries.push_back(SumBox{g.reach[s], index(kindAt(g, s).team), {0, 0}});
	}
	std::vector<Meeting> met;
	meetingSums(sources, queries, teams, met);
	return met;
}

// The damage of those of other groups that a query met, in part.
static long long othersDeal(const Meeting &m, int part) {
	return m.sum[part] - m.sameSum[part];
}

// Adds, with sign, to the sums of the query slots what met them: the damage of those of other
// groups, hurting and healing, and how many of any group; the number of meetings.
static long long addMeetings(CollideGrid &g, const std::vector<int> &querySlots, const std::vector<Meeting> &met,
                             int sign) {
	long long meetings = 0;
	for (size_t i = 0; i < querySlots.size(); i++) {
		g.batchHurt[querySlots[i]] += sign * othersDeal(met[i], HURT);
		g.batchHeal[querySlots[i]] += sign * othersDeal(met[i], HEAL);
		g.batchMeets[querySlots[i]] += sign * met[i].count;
		meetings += met[i].count;
	}
	return sign * meetings;
}

// Adds, with sign, to the sums of the query slots what the source slots meeting them deal
// (as batched with asBatched set); the number of meetings.
static long long addSums(CollideGrid &g, const std::vector<int> &sourceSlots, const std::vector<int> &querySlots,
                         int sign, int asBatched) {
	if (sourceSlots.empty() || querySlots.empty()) {
		return 0;
	}
	return addMeetings(g, querySlots, sumsOf(g, sourceSlots, querySlots, asBatched), sign);
}

// Cuts slots into runs of one value of key, in the order of those values.
template <typename Key> static std::vector<std::vector<int>> runsBy(std::vector<int> slots, Key key) {
	std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) { return key(a) < key(b); });
	std::vector<std::vector<int>> runs;
	for (size_t i = 0; i < slots.size(); i++) {
		if (i == 0 || key(slots[i]) != key(slots[i - 1])) {
			runs.emplace_back();
		}
		runs.back().push_back(slots[i]);
	}
	return runs;
}

// Takes back, with sign, from the sums of the query slots what the source slots (as batched
// with asBatched set) whose types one of the two ignores were counted to deal; the number of
// meetings taken back.
static long long takeIgnored(CollideGrid &g, const std::vector<int> &sourceSlots, const std::vector<int> &querySlots,
                             int sign, int asBatched) {
	auto sourceProfile = [&g, asBatched](int s) { return asBatched ? g.batchAs[s].profile : kindAt(g, s).profile; };
	auto queryProfile = [&g](int s) { return kindAt(g, s).profile; };
	std::vector<std::vector<int>> bySource = runsBy(sourceSlots, sourceProfile);
	long long meetings = 0;
	for (const std::vector<int> &queries : runsBy(querySlots, queryProfile)) {
		int p = queryProfile(queries[0]);
		std::vector<int> ignored;
		for (const std::vector<int> &others : bySource) {
			if (profilesIgnore(g, p, sourceProfile(others[0]))) {
				ignored.insert(ignored.end(), others.begin(), others.end());
			}
		}
		meetings += addSums(g, ignored, queries, -sign, asBatched);
	}
	return meetings;
}

// Sums the collisions of the batched slots with each other: for each, the damage of those of
// other groups whose box meets its own, and how many of any group meet it, less those whose
// type one of the two ignores.
static void sumBatch(CollideGrid &g, const std::vector<Meeting> *itself) {
	if (itself != nullptr) {
		addMeetings(g, g.batchSlots, *itself, 1);
	} else {
		addSums(g, g.batchSlots, g.batchSlots, 1, 0);
	}
	takeIgnored(g, g.batchSlots, g.batchSlots, 1, 0);
	auto profile = [&g](int s) { return kindAt(g, s).profile; };
	for (int s : g.batchSlots) {
		// each meets itself, unless its own type is one it ignores
		g.batchMeets[s] -= !profilesIgnore(g, profile(s), profile(s));
	}
}

// 1 when slot s's life, taking at most hurt and gaining at most heal in some order, stays
// alive, or falls to a quiet death, or when burning stays below 1, without meeting an end of
// the int range: then the order of what it takes and gains cannot count.
static int orderFree(const CollideGrid &g, int s, long long hurt, long long heal) {
	int life = g.ents[s]->life;
	if (!kindAt(g, s).burning) {
		// hurt alone takes a life down the same in any order, and a quiet death is the same
		// whenever it comes
		return (life - hurt >= 1 && life + heal <= INT_MAX) ||
		       (g.batchAs[s].quiet && heal == 0 && life - hurt >= INT_MIN);
	}
	// without healing, only the low end is met, the same in any order
	return heal == 0 || (life + heal < 1 && life - hurt >= INT_MIN);
}

// The list order of the first slot batched at the build; LLONG_MAX for none.
static long long firstBatchedKey(const CollideGrid &g) {
	return g.batchSlots.empty() ? LLONG_MAX : g.key[g.batchSlots.front()];
}

// The list order of the last slot batched at the build; LLONG_MIN for none.
static long long lastBatchedKey(const CollideGrid &g) {
	return g.batchSlots.empty() ? LLONG_MIN : g.key[g.batchSlots.back()];
}

// 1 when the pass, not batching the living, has made its collisions one by one at the rate
// that batches the next pass (over its turns so far, or BATCH_RATE_TURNS at the least, so that
// a few busy receivers do not decide it), and none of its summed collisions is made yet: no
// batched entity comes before list order key. A world whose crowds meet all at once (they
// came together or were spawned in one cycle) then has them summed in the very pass.
int worthBatchingNow(const CollideGrid &g, long long key) {
	return !g.batchLiving && g.pairsOneByOne >= collisionBatchPairs * std::max(g.turnsTaken, BATCH_RATE_TURNS) &&
	       firstBatchedKey(g) >= key;
}

// The slots whose damage a batched one may take or be given in its summed collisions: the
// batched, and those not batched that deal damage between the first batched and the last.
static std::vector<int> batchSources(const CollideGrid &g) {
	long long first = firstBatchedKey(g);
	long long last = lastBatchedKey(g);
	std::vector<int> sources = g.batchSlots;
	for (size_t s = 0; s < g.ents.size(); s++) {
		if (!g.batched[s] && g.ents[s]->damage != 0 && g.key[s] > first && g.key[s] < last) {
			sources.push_back((int)s);
		}
	}
	return sources;
}

// The smallest damage above 0 that one of sources deals, with its group.
struct Blow {
	int damage;
	int team;
};

// Takes out of the batch, before anything is summed, the living whose death is not quiet and
// whom a single collision with one of sources of another group could kill: their order counts
// once they meet it, and a crowd that kills at a touch need not pay for sums it cannot use
// (those that meet no such source would have stayed, at no gain). 1 when some left.
static int dropFragile(CollideGrid &g, const std::vector<int> &sources) {
	Blow least[2] = {{INT_MAX, -1}, {INT_MAX, -1}};  // the smallest, and the smallest of another group
	for (int s : sources) {
		Blow b{g.ents[s]->damage, kindAt(g, s).team};
		if (b.damage <= 0) {
			continue;
		}
		if (b.damage < least[0].damage) {
			if (b.team != least[0].team) {
				least[1] = least[0];
			}
			least[0] = b;
		} else if (b.team != least[0].team && b.damage < least[1].damage) {
			least[1] = b;
		}
	}
	size_t kept = 0;
	for (int s : g.batchSlots) {
		const Entity *e = g.ents[s];
		const Kind &k = kindAt(g, s);
		const Blow &blow = least[0].team != k.team ? least[0] : least[1];
		if (!k.burning && k.vulnerable && !g.batchAs[s].quiet && blow.team >= 0 && e->life <= blow.damage) {
			g.batched[s] = 0;
			kindAnew(g, s);
			continue;
		}
		g.batchSlots[kept++] = s;
	}
	int dropped = kept < g.batchSlots.size();
	g.batchSlots.resize(kept);
	return dropped;
}

// Takes out of the batch those whose collisions could count in their order: what every entity
// of another group that may meet them deals, batched or not, could kill the living or bring
// the burning back to 1, or reach an end of the int range. (The types ignored are not asked:
// counting more than meets only keeps more out.) Entities before the first one batched or after
// the last are not asked either: an entity collides with its partners in their list order, so
// it meets those before any of its summed collisions is made, on its life as it is (and stays
// batched if what it is still to take and give cannot count in its order), or once all are
// made, and is handed them then (leaveBatch). 1 when nothing else deals damage and all stay:
// then met holds what the batch deals itself.
static int keepTheOrderFree(CollideGrid &g, std::vector<Meeting> &met) {
	int vulnerable = 0;
	for (int s : g.batchSlots) {
		vulnerable |= !(g.ents[s]->flags & ENT_INVULN);
	}
	if (!vulnerable) {
		return 0;
	}
	std::vector<int> sources = batchSources(g);
	if (dropFragile(g, sources)) {
		sources = batchSources(g);
	}
	met = sumsOf(g, sources, g.batchSlots, 0);
	size_t kept = 0;
	for (size_t i = 0; i < g.batchSlots.size(); i++) {
		int s = g.batchSlots[i];
		if (!(g.ents[s]->flags & ENT_INVULN) && !orderFree(g, s, othersDeal(met[i], HURT), othersDeal(met[i], HEAL))) {
			g.batched[s] = 0;
			kindAnew(g, s);
			continue;
		}
		g.batchSlots[kept] = s;
		met[kept++] = met[i];
	}
	int itself = kept == g.batchSlots.size() && sources.size() == kept;
	g.batchSlots.resize(kept);
	met.resize(kept);
	return itself;
}

// 1 when dying would change nothing of e but its state, whenever it died: it has a DEATH
// state whose first frame runs nothing as it is entered, and its own frame runs nothing as it
// is left. (Its death sound is asked for either way.)
static int quietDeath(const Entity *e) {
	if (inDeath(e) || e->frame == nullptr || e->frame->exit != nullptr) {
		return 0;
	}
	for (const State &st : e->data->states) {
		if (st.name == "DEATH") {
			return !st.frames.empty() && st.frames[0].enter == nullptr;
		}
	}
	return 0;
}

// Notes what each slot batched is as the batch is summed: its partners' sums count it so,
// whatever it becomes once it leaves.
static void noteBatchedAs(CollideGrid &g) {
	g.batchAs.resize(g.ents.size());
	for (int s : g.batchSlots) {
		const Kind &k = kindAt(g, s);
		g.batchAs[s] = BatchedAs{g.reach[s], k.team, k.profile, g.ents[s]->damage, quietDeath(g.ents[s])};
	}
	g.batchByX.clear();
}

// Sums the collisions of the batched slots with each other, once the slots are made and before
// they are filed, keeping in the batch only the living that nothing can kill in the pass.
void startBatch(CollideGrid &g) {
	g.now = PassTime{LLONG_MIN, LLONG_MIN};
	noteBatchedAs(g);
	std::vector<Meeting> met;
	int itself = keepTheOrderFree(g, met);
	if (g.batchSlots.empty()) {
		return;
	}
	sumBatch(g, itself ? &met : nullptr);
	for (int s : g.batchSlots) {
		if (g.batchHeal[s] > 0) {
			g.healed[s] = 1;  // a hurt made at once by a pile might meet the low end of the range
			kindAnew(g, s);
		}
	}
	long long meetings = 0;
	long long changing = 0;  // those the grid would have made one by one: lives changed
	for (int s : g.batchSlots) {
		meetings += g.batchMeets[s];
		int moved = !(g.ents[s]->flags & ENT_INVULN) && (g.batchHurt[s] != 0 || g.batchHeal[s] != 0);
		changing += moved ? g.batchMeets[s] : 0;
	}
	collisionsSummed += meetings / 2;
	g.pairsMade += changing / 2;
}

// 1 when moment a comes before moment b.
static bool before(const PassTime &a, const PassTime &b) {
	return a.receiver < b.receiver || (a.receiver == b.receiver && a.partner < b.partner);
}

// The moment of the summed collision of slots s and t: the earlier one's walk meets the later.
static PassTime pairTime(const CollideGrid &g, int s, int t) {
	long long a = g.key[s];
	long long b = g.key[t];
	return a < b ? PassTime{a, b} : PassTime{b, a};
}

// Notes the collision about to be made.
void markNow(CollideGrid &g, int sa, int sb) {
	g.now = PassTime{g.key[sa], g.key[sb]};
}

// 1 when slots sa and sb are both batched.
int bothBatched(const CollideGrid &g, int sa, int sb) {
	return g.batched[sa] && g.batched[sb];
}

// Hands batched slot s its summed collisions: the damage they took (less what they healed),
// and the death sound that each of them asked for when its life was below 1 throughout.
static void handOver(CollideGrid &g, int s, long long loss, long long meets) {
	Entity *e = g.ents[s];
	if (!(e->flags & ENT_INVULN)) {
		e->life = saturatingAdd(e->life, -loss);
	}
	if (e->life < 1 && !inDeath(e)) {
		e->die();  // quiet (orderFree): as at any moment of its summed collisions
	} else if (meets > 0 && e->life < 1) {
		e->soundDying();
	}
}

// Orders the slots batched at the build by where their reaches start across, once a pass,
// when the first leaves in the midst of its summed collisions.
static void arrangeBatch(CollideGrid &g) {
	if (!g.batchByX.empty()) {
		return;
	}
	g.batchByX = g.batchSlots;
	g.batchWidest = 0;
	for (int t : g.batchSlots) {
		g.batchWidest = std::max(g.batchWidest, g.batchAs[t].reach.x1 - g.batchAs[t].reach.x0);
	}
	std::sort(g.batchByX.begin(), g.batchByX.end(),
	          [&g](int a, int b) { return g.batchAs[a].reach.x0 < g.batchAs[b].reach.x0; });
}

// Takes out of the sums of the slots still batched the collisions with those that left the
// batch before any batched one had its turn: none of them was made, and none will be.
static void forgetEarlyLeavers(CollideGrid &g) {
	if (g.earlyLeavers.empty()) {
		return;
	}
	std::vector<int> staying;
	for (int t : g.batchSlots) {
		if (g.batched[t]) {
			staying.push_back(t);
		}
	}
	long long meetings = addSums(g, g.earlyLeavers, staying, -1, 1);
	meetings += takeIgnored(g, g.earlyLeavers, staying, -1, 1);
	collisionsSummed += meetings;
	g.earlyLeavers.clear();
}

// Takes slot s out of the batch now: its summed collisions before now are handed to it, those
// after are taken out of the sums of its partners still batched, and it collides as any
// other from now on.
void leaveBatch(CollideGrid &g, int s) {
	if (!g.batched[s]) {
		return;
	}
	g.batched[s] = 0;
	g.leftAt[s] = g.now;
	if (g.now.receiver < firstBatchedKey(g)) {
		// no batched one has had its turn yet: none of its summed collisions is made, and its
		// partners' sums lose it before the first turn begins, with all that leave so
		g.earlyLeavers.push_back(s);
		return;
	}
	if (g.now.receiver == g.key[s] && g.now.partner > lastBatchedKey(g)) {
		// its walk is past every partner batched: its turn as their partner is over
		handOver(g, s, g.batchHurt[s] - g.batchHeal[s], g.batchMeets[s]);
		return;
	}
	// the summed partners: those batched at the build whose reaches met, of profiles that do
	// not ignore each other, that had not left the batch by the moment of their collision
	arrangeBatch(g);
	const BatchedAs &as = g.batchAs[s];
	auto from = std::lower_bound(g.batchByX.begin(), g.batchByX.end(), as.reach.x0 - g.batchWidest,
	                             [&g](int t, long long x) { return g.batchAs[t].reach.x0 < x; });
	long long loss = 0;
	long long meets = 0;
	int profile = -1;  // the last profile asked about, and whether s's ignores it
	int ignores = 0;
	for (auto i = from; i != g.batchByX.end() && g.batchAs[*i].reach.x0 <= as.reach.x1; ++i) {
		int t = *i;
		const BatchedAs &other = g.batchAs[t];
		if (t == s || !reachesMeet(as.reach, other.reach)) {
			continue;
		}
		if (other.profile != profile) {
			profile = other.profile;
			ignores = profilesIgnore(g, as.profile, profile);
		}
		PassTime at = pairTime(g, s, t);
		if (ignores || !before(at, g.leftAt[t])) {
			continue;
		}
		long long taken = as.team != other.team;
		if (before(at, g.now)) {
			loss += taken * other.damage;
			meets++;
		} else if (g.batched[t]) {
			g.batchHurt[t] -= taken * damagePart(as.damage, HURT);
			g.batchHeal[t] -= taken * damagePart(as.damage, HEAL);
			g.batchMeets[t]--;
			collisionsSummed--;
		}
	}
	handOver(g, s, loss, meets);
}

// 1 when batched slot s must leave the batch before its collision with slot o: o's damage,
// with all that its summed collisions take and give, could make their order count. Not when
// o comes before every slot batched: none of s's summed collisions is made yet, and
// leaveBatchAfter decides after the collision.
static int mustLeave(const CollideGrid &g, int s, int o) {
	const Entity *e = g.ents[s];
	const Entity *other = g.ents[o];
	if (!g.batched[s] || other->damage == 0 || (e->flags & ENT_INVULN) || e->group == other->group ||
	    g.key[o] < firstBatchedKey(g)) {
		return 0;
	}
	return !orderFree(g, s, g.batchHurt[s] + damagePart(other->damage, HURT),
	                  g.batchHeal[s] + damagePart(other->damage, HEAL));
}

// Takes the batched sides of the collision of sa and sb out of the batch when its order among
// their summed collisions could count; 1 when one left.
int leaveBatchBefore(CollideGrid &g, int sa, int sb) {
	int left = 0;
	if (mustLeave(g, sa, sb)) {
		leaveBatch(g, sa);
		left = 1;
	}
	if (mustLeave(g, sb, sa)) {
		leaveBatch(g, sb);
		left = 1;
	}
	return left;
}

// Takes batched slot s out of the batch when a collision made one by one left it a life whose
// summed collisions still to come could count in their order; 1 when it left.
int leaveBatchAfter(CollideGrid &g, int s) {
	const Entity *e = g.ents[s];
	if (!g.batched[s] || (e->flags & ENT_INVULN) || orderFree(g, s, g.batchHurt[s], g.batchHeal[s])) {
		return 0;
	}
	leaveBatch(g, s);
	return 1;
}

// Hands their summed collisions to the batched slots before list order key.
void finishTurns(CollideGrid &g, long long key) {
	if (key >= firstBatchedKey(g)) {
		forgetEarlyLeavers(g);
	}
	for (; g.batchDone < g.batchSlots.size() && g.key[g.batchSlots[g.batchDone]] < key; g.batchDone++) {
		int s = g.batchSlots[g.batchDone];
		if (g.batched[s]) {
			g.batched[s] = 0;
			g.leftAt[s] = PassTime{LLONG_MAX, LLONG_MAX};
			handOver(g, s, g.batchHurt[s] - g.batchHeal[s], g.batchMeets[s]);
		}
	}
}
