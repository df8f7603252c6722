// The lives of a pile of alike entities, kept so that a receiver's collisions with a whole
// run of them are made at once: each pile is a tree of its members in list order, whose
// nodes hold the sums of their damage and the least of their lives, and carry a change of
// life waiting to be handed to their children. Only game/collide_grid.cpp uses it.
#ifndef GAME_COLLIDE_SUM_H
#define GAME_COLLIDE_SUM_H

#include <vector>

// A change of life as a run of damage taken makes it: x -> x + add, held within [lo, hi].
// A single collision is {-damage, INT_MIN, INT_MAX}; one change after another is again one.
struct LifeShift {
	long long add;
	int lo;
	int hi;
};

// A member of a pile: an entity's slot, at its place in list order.
struct PileNode {
	long long key;  // list order
	unsigned int prio;
	int left;
	int right;
	int life;   // with every shift of the nodes above applied
	int least;  // the least life in the subtree, likewise
	int damage;
	long long hurt;  // the damage above 0 of the subtree, summed
	long long heal;  // the damage below 0 of the subtree, summed as a positive number
	int count;
	LifeShift shift;  // applied to this node, waiting for its children
};

// What the members of a run deal a receiver that meets them all.
struct PileSums {
	long long hurt;
	long long heal;
	int count;
};

// The trees of every pile, their nodes indexed by slot: a slot is in one pile at most.
struct PileForest {
	std::vector<PileNode> node;
};

// The change a collision with damage d makes to the life of one that takes it.
LifeShift shiftOfDamage(int damage);
// Life x after shift s.
int shifted(const LifeShift &s, int x);

// Makes slot s a member of no pile yet, with its key, life and damage.
void pileSetNode(PileForest &f, int s, long long key, int life, int damage);
// A tree of the slots given, in ascending list order; its root.
int pileBuild(PileForest &f, const std::vector<int> &slots);
// Adds slot s, set with pileSetNode, to the tree at root.
void pileInsert(PileForest &f, int &root, int s);
// Takes slot s out of the tree at root; its life as every shift it was given made it.
int pileErase(PileForest &f, int &root, int s);
// The sums of the members of list order from .. to - 1.
PileSums pileSums(const PileForest &f, int root, long long from, long long to);
// Gives shift s to the members of list order from .. to - 1.
void pileShift(PileForest &f, int &root, long long from, long long to, const LifeShift &s);
// The first member of list order from .. to - 1 whose life is below bound; -1 for none.
int pileFirstBelow(PileForest &f, int &root, long long from, long long to, long long bound);
// The first member of list order from .. to - 1 by which the damage above 0 of the members
// from `from` on reaches need; -1 when it never does.
int pileHurtReaches(const PileForest &f, int root, long long from, long long to, long long need);
// The member of list order key; -1 for none.
int pileAt(const PileForest &f, int root, long long key);
// The list order of the first member from `from` on; LLONG_MAX for none.
long long pileFirstKey(const PileForest &f, int root, long long from);
// Every member's life as every shift made it, by slot; the tree is emptied.
void pileFlush(PileForest &f, int &root, std::vector<int> &slots, std::vector<int> &lives);

#endif
