// Piles of members in list order: treaps (trees ordered by key, heaped by a number drawn
// from the slot, so that they stay shallow whatever order members come in) whose runs are
// cut out, changed or summed at their root, and put back.
#include "game/collide_sum.h"

#include <algorithm>
#include <climits>

#define NONE (-1)

// The shift that changes nothing.
static const LifeShift UNCHANGED = {0, INT_MIN, INT_MAX};

// v held within [lo, hi].
static long long held(long long v, long long lo, long long hi) {
	return v < lo ? lo : (v > hi ? hi : v);
}

// The change of a collision with damage d, as takeDamage makes it.
LifeShift shiftOfDamage(int damage) {
	return LifeShift{-(long long)damage, INT_MIN, INT_MAX};
}

// Life x after shift s.
int shifted(const LifeShift &s, int x) {
	return (int)held(x + s.add, s.lo, s.hi);
}

// Shift first, then shift then: one shift again, as holding within bounds after a move is
// moving, then holding within the bounds moved.
static LifeShift after(const LifeShift &first, const LifeShift &then) {
	LifeShift s;
	s.add = first.add + then.add;
	s.lo = (int)held(first.lo + then.add, then.lo, then.hi);
	s.hi = (int)held(first.hi + then.add, then.lo, then.hi);
	return s;
}

// 1 when s changes nothing.
static int unchanged(const LifeShift &s) {
	return s.add == 0 && s.lo == INT_MIN && s.hi == INT_MAX;
}

// A number for slot s that looks drawn at random: the heap order of the treap.
static unsigned int priorityOf(int s) {
	unsigned int v = (unsigned int)s * 0x9e3779b9u;
	v ^= v >> 16;
	v *= 0x85ebca6bu;
	v ^= v >> 13;
	return v;
}

// Gives node t shift s, the changes of its subtree's lives with it.
static void give(PileForest &f, int t, const LifeShift &s) {
	if (t == NONE) {
		return;
	}
	PileNode &n = f.node[t];
	n.life = shifted(s, n.life);
	n.least = shifted(s, n.least);  // a shift keeps the order of lives
	n.shift = after(n.shift, s);
}

// Hands node t's shift on to its children.
static void push(PileForest &f, int t) {
	PileNode &n = f.node[t];
	if (!unchanged(n.shift)) {
		give(f, n.left, n.shift);
		give(f, n.right, n.shift);
		n.shift = UNCHANGED;
	}
}

// Sums node t's subtree anew from its children.
static void update(PileForest &f, int t) {
	PileNode &n = f.node[t];
	n.least = n.life;
	n.hurt = n.damage > 0 ? n.damage : 0;
	n.heal = n.damage < 0 ? -(long long)n.damage : 0;
	n.count = 1;
	for (int c : {n.left, n.right}) {
		if (c != NONE) {
			const PileNode &k = f.node[c];
			n.least = std::min(n.least, k.least);
			n.hurt += k.hurt;
			n.heal += k.heal;
			n.count += k.count;
		}
	}
}

// Splits the tree at t into the members before key (into *lo) and the others (into *hi).
static void split(PileForest &f, int t, long long key, int *lo, int *hi) {
	if (t == NONE) {
		*lo = *hi = NONE;
		return;
	}
	push(f, t);
	PileNode &n = f.node[t];
	if (n.key < key) {
		split(f, n.right, key, &n.right, hi);
		*lo = t;
	} else {
		split(f, n.left, key, lo, &n.left);
		*hi = t;
	}
	update(f, t);
}

// Joins the trees a and b, every key of a before every key of b.
static int merge(PileForest &f, int a, int b) {
	if (a == NONE || b == NONE) {
		return a == NONE ? b : a;
	}
	if (f.node[a].prio > f.node[b].prio) {
		push(f, a);
		f.node[a].right = merge(f, f.node[a].right, b);
		update(f, a);
		return a;
	}
	push(f, b);
	f.node[b].left = merge(f, a, f.node[b].left);
	update(f, b);
	return b;
}

// The tree at root cut at from and to: its members before, within and after.
struct Cut {
	int before;
	int within;
	int after;
};

// Cuts the run of list order from .. to - 1 out of the tree at root.
static Cut cut(PileForest &f, int root, long long from, long long to) {
	Cut c;
	int rest;
	split(f, root, from, &c.before, &rest);
	split(f, rest, to, &c.within, &c.after);
	return c;
}

// Puts a cut tree back together.
static int join(PileForest &f, const Cut &c) {
	return merge(f, merge(f, c.before, c.within), c.after);
}

// Makes slot s a member of no pile yet, with its key, life and damage.
void pileSetNode(PileForest &f, int s, long long key, int life, int damage) {
	if ((int)f.node.size() <= s) {
		f.node.resize((size_t)s + 1 + f.node.size() / 2);
	}
	PileNode &n = f.node[s];
	n.key = key;
	n.prio = priorityOf(s);
	n.left = n.right = NONE;
	n.life = life;
	n.damage = damage;
	n.shift = UNCHANGED;
	update(f, s);
}

// A tree of the slots given, in ascending list order, built along its right edge.
int pileBuild(PileForest &f, const std::vector<int> &slots) {
	std::vector<int> edge;
	for (int s : slots) {
		int last = NONE;
		while (!edge.empty() && f.node[edge.back()].prio < f.node[s].prio) {
			// taken off the edge, a node and the edge below it go left of s, complete
			last = edge.back();
			edge.pop_back();
			update(f, last);
		}
		f.node[s].left = last;
		if (!edge.empty()) {
			f.node[edge.back()].right = s;
		}
		edge.push_back(s);
	}
	for (size_t i = edge.size(); i-- > 0;) {
		update(f, edge[i]);
	}
	return edge.empty() ? NONE : edge[0];
}

// Adds slot s to the tree at root.
void pileInsert(PileForest &f, int &root, int s) {
	int lo;
	int hi;
	split(f, root, f.node[s].key, &lo, &hi);
	root = merge(f, merge(f, lo, s), hi);
}

// Takes slot s out of the tree at root, with its life as the shifts made it.
int pileErase(PileForest &f, int &root, int s) {
	long long key = f.node[s].key;
	Cut c = cut(f, root, key, key + 1);
	root = merge(f, c.before, c.after);
	return c.within == NONE ? f.node[s].life : f.node[c.within].life;
}

// The sums of the members before list order key: the shifts waiting change no damage.
static PileSums sumsBefore(const PileForest &f, int t, long long key) {
	PileSums sums = {0, 0, 0};
	while (t != NONE) {
		const PileNode &n = f.node[t];
		if (n.key >= key) {
			t = n.left;
			continue;
		}
		if (n.left != NONE) {
			const PileNode &l = f.node[n.left];
			sums.hurt += l.hurt;
			sums.heal += l.heal;
			sums.count += l.count;
		}
		sums.hurt += n.damage > 0 ? n.damage : 0;
		sums.heal += n.damage < 0 ? -(long long)n.damage : 0;
		sums.count++;
		t = n.right;
	}
	return sums;
}

// The sums of the members of list order from .. to - 1.
PileSums pileSums(const PileForest &f, int root, long long from, long long to) {
	PileSums upTo = sumsBefore(f, root, to);
	PileSums before = sumsBefore(f, root, from);
	return PileSums{upTo.hurt - before.hurt, upTo.heal - before.heal, upTo.count - before.count};
}

// The list order of the last member; LLONG_MIN for none.
static long long lastKey(const PileForest &f, int t) {
	long long last = LLONG_MIN;
	for (; t != NONE; t = f.node[t].right) {
		last = f.node[t].key;
	}
	return last;
}

// Gives shift s to the members of list order from .. to - 1.
void pileShift(PileForest &f, int &root, long long from, long long to, const LifeShift &s) {
	if (pileFirstKey(f, root, LLONG_MIN) >= from && lastKey(f, root) < to) {
		give(f, root, s);  // a receiver mostly meets a whole pile: no cut
		return;
	}
	Cut c = cut(f, root, from, to);
	give(f, c.within, s);
	root = join(f, c);
}

// The first node of the tree at t whose life is below bound; NONE for none.
static int firstBelow(PileForest &f, int t, long long bound) {
	while (t != NONE && f.node[t].least < bound) {
		push(f, t);
		const PileNode &n = f.node[t];
		if (n.left != NONE && f.node[n.left].least < bound) {
			t = n.left;
		} else if (n.life < bound) {
			return t;
		} else {
			t = n.right;
		}
	}
	return NONE;
}

// The first member of list order from .. to - 1 whose life is below bound.
int pileFirstBelow(PileForest &f, int &root, long long from, long long to, long long bound) {
	Cut c = cut(f, root, from, to);
	int found = firstBelow(f, c.within, bound);
	root = join(f, c);
	return found;
}

// The node of the tree at t by which its damage above 0, summed in order, reaches need.
static int hurtReaches(const PileForest &f, int t, long long need) {
	while (t != NONE) {
		const PileNode &n = f.node[t];
		long long left = n.left != NONE ? f.node[n.left].hurt : 0;
		if (left >= need) {
			t = n.left;
			continue;
		}
		need -= left + (n.damage > 0 ? n.damage : 0);
		if (need <= 0) {
			return t;
		}
		t = n.right;
	}
	return NONE;
}

// The first member of list order from .. to - 1 by which the damage above 0 of the members
// from `from` on reaches need.
int pileHurtReaches(const PileForest &f, int root, long long from, long long to, long long need) {
	int found = hurtReaches(f, root, need + sumsBefore(f, root, from).hurt);
	return found != NONE && f.node[found].key < to ? found : NONE;
}

// The member of list order key; -1 for none.
int pileAt(const PileForest &f, int root, long long key) {
	int t = root;
	while (t != NONE && f.node[t].key != key) {
		t = key < f.node[t].key ? f.node[t].left : f.node[t].right;
	}
	return t;
}

// The list order of the first member from `from` on; LLONG_MAX for none.
long long pileFirstKey(const PileForest &f, int root, long long from) {
	long long best = LLONG_MAX;
	for (int t = root; t != NONE;) {
		const PileNode &n = f.node[t];
		if (n.key >= from) {
			best = n.key;
			t = n.left;
		} else {
			t = n.right;
		}
	}
	return best;
}

// Collects the subtree at t in order, handing every shift down on the way.
static void collect(PileForest &f, int t, std::vector<int> &slots, std::vector<int> &lives) {
	while (t != NONE) {
		push(f, t);
		collect(f, f.node[t].left, slots, lives);
		slots.push_back(t);
		lives.push_back(f.node[t].life);
		t = f.node[t].right;
	}
}

// Every member's life as every shift made it; the tree is emptied.
void pileFlush(PileForest &f, int &root, std::vector<int> &slots, std::vector<int> &lives) {
	collect(f, root, slots, lives);
	root = NONE;
}
