// The burning crowds of the collision pass, whose collisions with each other are summed: see
// collide_batch.h for why that is exact.
//
// The sums: a source meets a query unless it lies wholly left of it (L), right (R), below (D)
// or above (U). With reaches that run forwards, a source cannot be both left and right, nor
// both below and above, so by inclusion and exclusion the sources meeting a query are
//   all - L - R - D - U + LD + LU + RD + RU.
// The single sides are counted on each axis sorted; the pairs by a sweep from the left and one
// from the right, each with a Fenwick tree for below and one for above: O(n log n) in all.
#include "game/collide_batch.h"

#include <algorithm>
#include <climits>
#include "entity/gamestate.h"
#include "game/vorska.h"
#include "platform/sound.h"

// The sides a source may lie on, wholly, of a query.
enum { LEFT, RIGHT, BELOW, ABOVE };

// A weight summed and the number of those summed.
struct Tally {
	long long weight;
	long long count;
};

// The sources' values on one side in ascending order, each with its source, tallied: in all,
// and within each group.
struct Axis {
	std::vector<std::pair<long long, int>> sorted;
	std::vector<Tally> below;                     // of the first i
	std::vector<int> place;                       // per source: its place in sorted
	std::vector<int> teamPlace;                   // per source: its place among its group's
	std::vector<std::vector<long long>> teamAt;   // per group: its values, ascending
	std::vector<std::vector<long long>> teamSum;  // per group: the weights of its first i
};

// The sources' values on one side, sorted and tallied.
static void sortAxis(Axis &a, const std::vector<long long> &values, const std::vector<SumBox> &sources, int teams) {
	size_t n = values.size();
	a.sorted.resize(n);
	for (size_t i = 0; i < n; i++) {
		a.sorted[i] = {values[i], (int)i};
	}
	std::sort(a.sorted.begin(), a.sorted.end());
	a.below.assign(n + 1, Tally{0, 0});
	a.place.resize(n);
	a.teamPlace.resize(n);
	a.teamAt.assign(teams, std::vector<long long>());
	a.teamSum.assign(teams, std::vector<long long>(1, 0));
	for (size_t i = 0; i < n; i++) {
		int s = a.sorted[i].second;
		const SumBox &b = sources[s];
		a.below[i + 1] = Tally{a.below[i].weight + b.weight, a.below[i].count + 1};
		a.place[s] = (int)i;
		a.teamPlace[s] = (int)a.teamAt[b.team].size();
		a.teamAt[b.team].push_back(a.sorted[i].first);
		a.teamSum[b.team].push_back(a.teamSum[b.team].back() + b.weight);
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

// Adds a tally to another.
static Tally &operator+=(Tally &u, const Tally &t) {
	u.weight += t.weight;
	u.count += t.count;
	return u;
}

// A query's places on each side: among all the sources' values and among its group's, the
// first at or above its bound.
struct QueryPlaces {
	int all[4];
	int team[4];
};

// Sweeps the sources in the order of side `along` against the queries in the order of their
// bounds on it, each taking the sources below its bound, and adds to each query those of the
// taken that lie below it and above it too: in all, and of its own group.
static void sweep(const Axis axis[4], int along, const std::vector<long long> &bounds,
                  const std::vector<SumBox> &sources, const std::vector<SumBox> &queries,
                  const std::vector<QueryPlaces> &places, int teams, std::vector<Meeting> &out) {
	std::vector<std::pair<long long, int>> order(bounds.size());
	for (size_t q = 0; q < bounds.size(); q++) {
		order[q] = {bounds[q], (int)q};
	}
	std::sort(order.begin(), order.end());
	std::vector<Tally> tree[2];
	std::vector<std::vector<long long>> teamTree[2];
	for (int k = 0; k < 2; k++) {
		tree[k].assign(sources.size() + 1, Tally{0, 0});
		teamTree[k].resize(teams);
		for (int t = 0; t < teams; t++) {
			teamTree[k][t].assign(axis[BELOW + k].teamAt[t].size() + 1, 0);
		}
	}
	const std::vector<std::pair<long long, int>> &taken = axis[along].sorted;
	size_t next = 0;
	for (const std::pair<long long, int> &q : order) {
		for (; next < taken.size() && taken[next].first < q.first; next++) {
			int s = taken[next].second;
			for (int k = 0; k < 2; k++) {
				treeAdd(tree[k], axis[BELOW + k].place[s], Tally{sources[s].weight, 1});
				treeAdd(teamTree[k][sources[s].team], axis[BELOW + k].teamPlace[s], sources[s].weight);
			}
		}
		Meeting &m = out[q.second];
		const QueryPlaces &p = places[q.second];
		for (int k = 0; k < 2; k++) {
			Tally t = treeBelow(tree[k], p.all[BELOW + k]);
			m.sum += t.weight;
			m.count += t.count;
			m.sameSum += treeBelow(teamTree[k][queries[q.second].team], p.team[BELOW + k]);
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
	for (size_t i = 0; i < n; i++) {
		const Reach &r = sources[i].reach;
		value[LEFT][i] = r.x1;
		value[RIGHT][i] = -r.x0;
		value[BELOW][i] = r.y1;
		value[ABOVE][i] = -r.y0;
	}
	for (size_t i = 0; i < m; i++) {
		const Reach &r = queries[i].reach;
		bound[LEFT][i] = r.x0;
		bound[RIGHT][i] = -r.x1;
		bound[BELOW][i] = r.y0;
		bound[ABOVE][i] = -r.y1;
	}
	Axis axis[4];
	for (int side = 0; side < 4; side++) {
		sortAxis(axis[side], value[side], sources, teams);
	}
	std::vector<QueryPlaces> places(m);
	out.assign(m, Meeting{0, 0, 0});
	for (size_t q = 0; q < m; q++) {
		int team = queries[q].team;
		Meeting &r = out[q];
		r.sum = axis[LEFT].below[n].weight;
		r.count = (long long)n;
		r.sameSum = axis[LEFT].teamSum[team].back();
		for (int side = 0; side < 4; side++) {
			const Axis &a = axis[side];
			int all =
				(int)(std::lower_bound(a.sorted.begin(), a.sorted.end(), std::make_pair(bound[side][q], INT_MIN)) -
			          a.sorted.begin());
			int own = (int)(std::lower_bound(a.teamAt[team].begin(), a.teamAt[team].end(), bound[side][q]) -
			                a.teamAt[team].begin());
			places[q].all[side] = all;
			places[q].team[side] = own;
			r.sum -= a.below[all].weight;
			r.count -= a.below[all].count;
			r.sameSum -= a.teamSum[team][own];
		}
	}
	sweep(axis, LEFT, bound[LEFT], sources, queries, places, teams, out);
	sweep(axis, RIGHT, bound[RIGHT], sources, queries, places, teams, out);
}

// 1 when e may be batched at the start of a pass: burning with its life used up, so that its
// die() only asks for its sound, a box of some size, and no healing in what it deals.
int batchCandidate(const Entity *e) {
	return e != player && e->life < 1 && e->damage >= 0 && e->w > 0 && e->h > 0 && e->data != nullptr &&
	       e->state != nullptr && e->state->name == "DEATH";
}

// The kind of slot s.
static const Kind &kindAt(const CollideGrid &g, int s) {
	return g.kinds[g.kind[s]];
}

// Adds, with sign, to the sums of the query slots the damage that the source slots of other
// groups meeting them deal, and how many of any group meet them.
static void addSums(CollideGrid &g, const std::vector<int> &sourceSlots, const std::vector<int> &querySlots, int sign) {
	if (sourceSlots.empty() || querySlots.empty()) {
		return;
	}
	// the groups numbered from 0 for the sums
	std::vector<int> teamIndex;
	auto index = [&](int s) {
		int team = kindAt(g, s).team;
		if ((int)teamIndex.size() <= team) {
			teamIndex.resize(team + 1, -1);
		}
		if (teamIndex[team] < 0) {
			teamIndex[team] = *std::max_element(teamIndex.begin(), teamIndex.end()) + 1;
		}
		return teamIndex[team];
	};
	std::vector<SumBox> sources;
	std::vector<SumBox> queries;
	for (int s : sourceSlots) {
		sources.push_back(SumBox{g.reach[s], index(s), g.ents[s]->damage});
	}
	for (int s : querySlots) {
		queries.push_back(SumBox{g.reach[s], index(s), 0});
	}
	std::vector<Meeting> met;
	meetingSums(sources, queries, *std::max_element(teamIndex.begin(), teamIndex.end()) + 1, met);
	for (size_t i = 0; i < querySlots.size(); i++) {
		g.batchLoss[querySlots[i]] += sign * (met[i].sum - met[i].sameSum);
		g.batchMeets[querySlots[i]] += sign * met[i].count;
	}
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

// Sums the collisions of the batched slots with each other: for each, the damage of those of
// other groups whose box meets its own, and how many of any group meet it, less those whose
// type one of the two ignores.
void startBatch(CollideGrid &g) {
	g.now = PassTime{LLONG_MIN, LLONG_MIN};
	if (g.batchSlots.empty()) {
		return;
	}
	addSums(g, g.batchSlots, g.batchSlots, 1);
	auto profile = [&g](int s) { return kindAt(g, s).profile; };
	std::vector<std::vector<int>> byProfile = runsBy(g.batchSlots, profile);
	for (const std::vector<int> &queries : byProfile) {
		int p = profile(queries[0]);
		std::vector<int> ignored;
		for (const std::vector<int> &others : byProfile) {
			if (profilesIgnore(g, p, profile(others[0]))) {
				ignored.insert(ignored.end(), others.begin(), others.end());
			}
		}
		addSums(g, ignored, queries, -1);
	}
	long long meetings = 0;
	for (int s : g.batchSlots) {
		// each meets itself, unless its own type is one it ignores
		g.batchMeets[s] -= !profilesIgnore(g, profile(s), profile(s));
		meetings += g.batchMeets[s];
	}
	collisionsSummed += meetings / 2;
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

// Hands batched slot s its summed collisions: the damage they took, and the death sound that
// each of them asked for, its life being below 1 throughout.
static void handOver(CollideGrid &g, int s, long long loss, long long meets) {
	Entity *e = g.ents[s];
	if (!(e->flags & ENT_INVULN)) {
		e->life = saturatingAdd(e->life, -loss);
	}
	if (meets > 0 && e->life < 1) {
		e->soundDying();
	}
}

// 1 when slot s, leaving the batch, and slot t, batched at the build, have a summed
// collision: they meet, and t had not left the batch by its moment.
static int summedPair(CollideGrid &g, int s, int t) {
	if (t == s || !reachesMeet(g.reach[s], g.reach[t]) ||
	    profilesIgnore(g, kindAt(g, s).profile, kindAt(g, t).profile)) {
		return 0;
	}
	return before(pairTime(g, s, t), g.leftAt[t]);
}

// Takes slot s out of the batch now: its summed collisions before now are handed to it, those
// after are taken out of the sums of its partners still batched, and it collides as any
// other from now on.
void leaveBatch(CollideGrid &g, int s) {
	if (!g.batched[s]) {
		return;
	}
	g.batched[s] = 0;
	long long loss = 0;
	long long meets = 0;
	for (int t : g.batchSlots) {
		if (!summedPair(g, s, t)) {
			continue;
		}
		long long taken = kindAt(g, s).team != kindAt(g, t).team;
		if (before(pairTime(g, s, t), g.now)) {
			loss += taken * g.ents[t]->damage;
			meets++;
		} else if (g.batched[t]) {
			g.batchLoss[t] -= taken * g.ents[s]->damage;
			g.batchMeets[t]--;
			collisionsSummed--;
		}
	}
	g.leftAt[s] = g.now;
	handOver(g, s, loss, meets);
}

// Takes the batched sides of the collision of sa and sb out of the batch when the other heals:
// their lives may climb to 1 and back, where the order of their collisions counts. 1 when
// one left.
int leaveBatchForHealer(CollideGrid &g, int sa, int sb) {
	int left = 0;
	if (g.batched[sa] && g.ents[sb]->damage < 0) {
		leaveBatch(g, sa);
		left = 1;
	}
	if (g.batched[sb] && g.ents[sa]->damage < 0) {
		leaveBatch(g, sb);
		left = 1;
	}
	return left;
}

// Hands their summed collisions to the batched slots before list order key.
void finishTurns(CollideGrid &g, long long key) {
	for (; g.batchDone < g.batchSlots.size() && g.key[g.batchSlots[g.batchDone]] < key; g.batchDone++) {
		int s = g.batchSlots[g.batchDone];
		if (g.batched[s]) {
			g.batched[s] = 0;
			g.leftAt[s] = PassTime{LLONG_MAX, LLONG_MAX};
			handOver(g, s, g.batchLoss[s], g.batchMeets[s]);
		}
	}
}
