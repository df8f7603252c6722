// The crowds of the collision pass whose collisions with each other are summed: the batch.
//
// An entity other than the player with a box of some size is batched at the start of a pass
// when its collisions cannot count in their order: burning in its DEATH state with its life
// used up, where each collision only moves its life and asks for its death sound, or alive
// (when the last pass made many collisions, the world grew, or the living crowd twice as much
// as in the last pass), where nothing that may meet it could kill it in the pass, or where
// only hurt meets it and its death is quiet (its DEATH state and its frame run nothing as they
// are entered and left: dying then changes only its state, the same whenever it comes); and in
// either case, no life that healing could bring back to 1 or that could meet an end of the int
// range. (An entity meets its partners in their list order: those before every batched one or
// after them all do not count here, as it meets them before any of its summed collisions or
// after all.) Collisions between batched entities then only move lives, the same in any order.
// The grid leaves those pairs alone; what they take and give is summed for every batched
// entity at the start of the pass (meetingSums, over boxes sorted by side) and handed to it
// when its turn as receiver is over, when the walk has passed every pair it takes part in.
// Only game/collide_grid.cpp and game/collide.cpp use it.
//
// What could still make the order count takes the entity out of the batch as it happens: a
// collision with one not batched that could, or that left it a life its summed collisions
// could end, its removal, or a change to its box, flags, group, type or state by another's
// behaviour. Its summed collisions up to then are made, those to come are taken out of its
// partners' sums and made one by one: at once for all that leave before any batched one has
// its turn (none of their summed collisions is made yet), by a walk over the batched entities
// near it for one that leaves in the midst of them, and with nothing to take out for one
// whose walk is past them all.
#ifndef GAME_COLLIDE_BATCH_H
#define GAME_COLLIDE_BATCH_H

#include <vector>
#include "game/collide_grid.h"

// The weights a source adds, summed side by side: the damage it deals that hurts, and that
// heals, each as a number of 0 or more.
enum { HURT, HEAL, WEIGHTS };
// A box of the sums: its reach, which runs forwards (x0 <= x1 and y0 <= y1), its group,
// numbered from 0, and for a source, the weights it adds.
struct SumBox {
	Reach reach;
	int team;
	long long weight[WEIGHTS];
};
// What the sources meeting a query add up to: their weights, how many they are, and the
// weights of those of its group.
struct Meeting {
	long long sum[WEIGHTS];
	long long count;
	long long sameSum[WEIGHTS];
};
// For each query, what the sources meeting it add up to; teams: the groups numbered.
void meetingSums(const std::vector<SumBox> &sources, const std::vector<SumBox> &queries, int teams,
                 std::vector<Meeting> &out);

// 1 when e may be batched at the start of a pass.
int batchCandidate(const CollideGrid &g, const Entity *e);
// Decides whether the pass over the n entities from first on batches, and whether its living
// too; with resume, the pass goes on from first with the living batched.
void chooseBatch(CollideGrid &g, size_t n, const Entity *first, int resume);
// 1 when the pass so far made enough collisions one by one for batching the living to pay, and
// none summed is made before list order key.
int worthBatchingNow(const CollideGrid &g, long long key);
// Notes what the pass made, for the next to decide by.
void passMade(CollideGrid &g);
// Sums the collisions of the batched slots with each other, once their slots are made and
// before they are filed; the living that something may kill in the pass leave the batch.
void startBatch(CollideGrid &g);
// Notes the collision about to be made, receiver sa and partner sb: the pass's moment.
void markNow(CollideGrid &g, int sa, int sb);
// 1 when slots sa and sb are both batched: their collision is summed.
int bothBatched(const CollideGrid &g, int sa, int sb);
// Takes slot s out of the batch now (removed, changed, or met by one that heals): its summed
// collisions before now are made, those still to come taken out of its partners' sums, and it
// collides as any other from now on.
void leaveBatch(CollideGrid &g, int s);
// Takes the batched sides of the collision of sa and sb out of the batch when the order of
// that collision among their summed ones could count; 1 when one left.
int leaveBatchBefore(CollideGrid &g, int sa, int sb);
// Takes batched slot s out of the batch when a collision made one by one left it a life whose
// summed collisions still to come could count in their order; 1 when it left.
int leaveBatchAfter(CollideGrid &g, int s);
// Hands their summed collisions to the batched slots before list order key: their turns
// are over.
void finishTurns(CollideGrid &g, long long key);

#endif
