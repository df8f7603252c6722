// The burning crowds of the collision pass, whose collisions with each other are summed.
//
// An entity burning in its DEATH state at the start of the pass, not the player, with its life
// used up, a box of some size and damage of 0 or more, is batched: its collisions with others
// batched change only lives (each loses the other's damage, towards the int range's low end
// and never back) and ask for death sounds, so their order cannot matter. The grid leaves
// those pairs alone, and the outcome of them all is summed for every batched entity at the
// start of the pass (meetingSums) and handed to it when its turn as receiver is over, when
// the walk has passed every pair it takes part in. Only game/collide_grid.cpp and
// game/collide.cpp use it.
//
// What could still make the order matter takes the entity out of the batch as it happens:
// one that heals (damage below 0) about to meet it, its removal or a change to its box,
// flags, group, type or state by another's behaviour. Its summed collisions up to then are
// made, those to come are taken out of its partners' sums and made one by one: a walk over
// the batched entities, which none of the game's behaviours nor healing-free data cause.
#ifndef GAME_COLLIDE_BATCH_H
#define GAME_COLLIDE_BATCH_H

#include <vector>
#include "game/collide_grid.h"

// A box of the sums: its reach, which runs forwards (x0 <= x1 and y0 <= y1), its group,
// numbered from 0, and for a source, the weight it adds.
struct SumBox {
	Reach reach;
	int team;
	long long weight;
};
// What the sources meeting a query add up to: their weights, how many they are, and the
// weights of those of its group.
struct Meeting {
	long long sum;
	long long count;
	long long sameSum;
};
// For each query, what the sources meeting it add up to; teams: the groups numbered.
void meetingSums(const std::vector<SumBox> &sources, const std::vector<SumBox> &queries, int teams,
                 std::vector<Meeting> &out);

// 1 when e may be batched at the start of a pass.
int batchCandidate(const CollideGrid &g, const Entity *e);
// Decides whether the pass over a world of n entities batches, and whether its living too.
void chooseBatch(CollideGrid &g, size_t n);
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
// Hands their summed collisions to the batched slots before list order key: their turns
// are over.
void finishTurns(CollideGrid &g, long long key);

#endif
