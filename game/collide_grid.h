// The broad phase of the collision pass: which entities of the world list may collide.
// Only game/collide.cpp uses it.
#ifndef GAME_COLLIDE_GRID_H
#define GAME_COLLIDE_GRID_H

#include <string>
#include <unordered_map>
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

// The run an entity is filed in within its buckets. Entities of one run are not paired with
// each other, except lone ones: a team (one group, alive, a box with some area) cannot hurt
// itself, and two boxes without width (or two without height) cannot meet. The lone (dead,
// with a box) are paired with everyone. Teams are numbered from 0 up.
#define RUN_LONE    (-1)
#define RUN_EMPTY_X (-2)  // no width: meets only a box that covers its column and the one before
#define RUN_EMPTY_Y (-3)  // width but no height: likewise in rows
#define RUN_KINDS   3     // the runs that are not teams

// One entry of a bucket: a slot filed under cell (cx, cy), with its reach beside it so that
// the pairing reads on in memory. A bucket holds its runs one after the other, slots
// ascending within each run.
struct Filed {
	int slot;
	int cx;
	int cy;
	Reach reach;
	int runEnd;  // index in items of the first entry after this entry's run
};

// The world list as the last build found it, cut into cells. Slots are list positions then.
struct CollideGrid {
	std::vector<Entity *> ents;                  // linked entities, in list order
	std::vector<Reach> reach;                    // each slot's reach when filed; boxes only shrink inside it
	std::vector<Reach> cells;                    // the cells each slot is filed under
	std::vector<int> run;                        // per slot: its run when filed (a team number or RUN_*)
	std::vector<char> left;                      // per slot: 1 once it lost its life and left its team
	std::vector<int> leavers;                    // slots that left their team and may still be partners
	std::vector<int> order;                      // slots by run, then ascending: the order of filing
	std::vector<int> runStart;                   // scratch of the filing: first index in order of each run
	std::vector<char> big;                       // 1 for a slot too large to file, paired with every slot
	std::vector<int> bigSlots;                   // those slots, ascending
	std::vector<int> bucketStart;                // first index into items of each bucket, and the end
	std::vector<Filed> items;                    // grouped by bucket, then by run, slots ascending in a run
	std::vector<int> found;                      // pairs as found: earlier slot, later slot, ...
	std::vector<int> partnerStart;               // per slot: first index into partners, and the end
	std::vector<int> partners;                   // the later slot of each pair whose reaches meet, grouped by
	                                             // the earlier one, ascending within each group
	std::vector<int> fill;                       // where the grouping puts each slot's next partner
	std::unordered_map<std::string, int> teams;  // every group ever filed, numbered once
	int paired;                                  // 1 when the pairs were made; else the cells are asked
	int cellSize;                                // pixels
	unsigned int mask;                           // bucket count - 1
	int links;                                   // gridLinks() when built
	size_t cursor;                               // slot of the last receiver found
};

// 1 when a and b cannot hurt each other: one group, both alive. Their doCollision would
// change nothing, so neither pass makes it.
int harmless(const Entity *a, const Entity *b);
// Grows by one for every entity linked, and stays put on removals.
int gridLinks();
// 1 when the entity in slot s still fits what it was filed with: its reach within the filed
// one, and no width or height where it was filed without.
int fitsFiling(const CollideGrid &g, int s);
// Takes the sides of the collision in slots sa and sb that lost their life out of their
// teams; 1 when the receiver sa did, whose partners are then its former team mates too.
int leaveTeams(CollideGrid &g, int sa, int sb);
// Files every linked entity; with pairs set, also pairs those whose reaches meet at once,
// which pays when every receiver will ask (a whole pass), and not when few will.
void buildGrid(CollideGrid &g, int pairs);
// Fills out with the slots from first on that may collide with slot sa, ascending.
// Forgets the leavers that can no longer be partners: those at or before slot sa, where the
// receivers have passed, and those removed.
void partnersOf(CollideGrid &g, int sa, int first, std::vector<int> &out);
// The slot of e, searched from slot `from` on and then from the start; -1 when not filed.
int slotOf(const CollideGrid &g, const Entity *e, size_t from);

#endif
