// The broad phase of the collision pass: which entities of the world list may collide.
// Only game/collide.cpp uses it.
#ifndef GAME_COLLIDE_GRID_H
#define GAME_COLLIDE_GRID_H

#include <vector>
#include "entity/entity.h"

// The pixels a box reaches, both ends included: columns x .. max(x, x + w - 1), rows likewise.
// Two boxes that collide reach a common pixel.
struct Reach {
	int x0;
	int y0;
	int x1;
	int y1;
};

// One entry of a bucket: a slot filed under cell (cx, cy), with its reach beside it so that
// the pairing reads on in memory.
struct Filed {
	int slot;
	int cx;
	int cy;
	Reach reach;
};

// The world list as the last build found it, cut into cells. Slots are list positions then.
struct CollideGrid {
	std::vector<Entity *> ents;     // linked entities, in list order
	std::vector<Reach> reach;       // each slot's reach when filed; boxes only shrink inside it
	std::vector<Reach> cells;       // the cells each slot is filed under
	std::vector<int> team;          // per slot: its group's number while its life is at least 1,
	                                // else -1 - slot; two slots of one team cannot hurt each
	                                // other and are not paired
	std::vector<Filed> byTeam;      // scratch of the pairing: one bucket ordered by team
	std::vector<char> big;          // 1 for a slot too large to file, paired with every slot
	std::vector<int> bigSlots;      // those slots, ascending
	std::vector<int> bucketStart;   // first index into items of each bucket, and the end
	std::vector<Filed> items;       // grouped by bucket, slots ascending within each bucket
	std::vector<int> found;         // pairs as found: earlier slot, later slot, ...
	std::vector<int> partnerStart;  // per slot: first index into partners, and the end
	std::vector<int> partners;      // the later slot of each pair whose reaches meet, grouped by
	                                // the earlier one, ascending within each group
	std::vector<int> fill;          // where the grouping puts each slot's next partner
	int paired;                     // 1 when the pairs were made; else the cells are asked
	int cellSize;                   // pixels
	unsigned int mask;              // bucket count - 1
	int links;                      // gridLinks() when built
	size_t cursor;                  // slot of the last receiver found
};

// 1 when a and b cannot hurt each other: one group, both alive. Their doCollision would
// change nothing, so neither pass makes it.
int harmless(const Entity *a, const Entity *b);
// Grows by one for every entity linked, and stays put on removals.
int gridLinks();
// What e's box reaches now.
Reach reachOf(const Entity *e);
// 1 when inner lies within outer.
int within(const Reach &inner, const Reach &outer);
// Files every linked entity; with pairs set, also pairs those whose reaches meet at once,
// which pays when every receiver will ask (a whole pass), and not when few will.
void buildGrid(CollideGrid &g, int pairs);
// Fills out with the slots from first on that may collide with slot sa, ascending.
void partnersOf(const CollideGrid &g, int sa, int first, std::vector<int> &out);
// The slot of e, searched from slot `from` on and then from the start; -1 when not filed.
int slotOf(const CollideGrid &g, const Entity *e, size_t from);

#endif
