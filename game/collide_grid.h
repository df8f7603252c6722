// The broad phase of the collision pass: which entities of the world list may collide with
// a receiver in a way that changes something. Only game/collide.cpp uses it.
#ifndef GAME_COLLIDE_GRID_H
#define GAME_COLLIDE_GRID_H

#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>
#include "entity/entity.h"
#include "game/collide_sum.h"

// The pixels a box reaches, in half pixels: a box w wide at x spans 2x .. 2(x + w - 1), and
// rows likewise. A box of no or negative width spans backwards (its end before its start):
// it meets only a box that covers both x + w - 1 and x, which is what the comparison of the
// spans' ends says for either order. Two boxes meet exactly when their reaches do.
struct Reach {
	long long x0;
	long long y0;
	long long x1;
	long long y1;
};

// What decides, for a whole crowd at once, whether its collisions with another can change
// anything (see changesNothing in collide_grid.cpp).
struct Kind {
	int team;                   // the group, numbered
	int profile;                // the type and the ignore table, numbered
	int vulnerable;             // takes damage: no ENT_INVULN
	int hurts;                  // deals damage: damage not 0
	int flat;                   // 1: no width, 2: no height, 3: neither
	int restless;               // life used up and not burning in DEATH: its next die() acts
	int sound;                  // burning in DEATH: the sound its next die() asks for; else SOUND_EVENTS
	int burning;                // in its DEATH state
	int player;                 // the player, whose collisions are all made one by one
	int batched;                // its collisions with the other batched are summed (collide_batch.h)
	int heals;                  // deals damage below 0
	int healed;                 // batched, and healed by its summed collisions
	unsigned long long packed;  // all of the above in one number
};

// One entity filed in a stack: its slot, and the filing it belongs to.
struct Entry {
	int slot;
	int ver;
};

// The entities of one kind whose reaches are the same, filed under one cell of one grid: a
// crowd on one spot is one stack, asked once however large it is. Its entries filed at the
// build lie in entries[begin, end), ascending in list order; those filed during the pass in a
// list of their own, ascending too.
struct Stack {
	long long cx;
	long long cy;
	long long px;  // the cell where its reach starts, which names its pile with kind and grid
	long long py;
	Reach reach;
	int kind;
	int grid;  // the grid of cells it is filed in (gridOf in collide_grid.cpp)
	int begin;
	int end;
	int late;       // index in lateLists, -1 for none yet
	int nextExtra;  // the next stack made during the pass in the same bucket, -1 for none
	int pile;       // its pile once known, -1 before
	int runEnd;     // of the build: where the stacks of its bucket, cell and pile end
	int smallAt;    // lateFilings when its pile was last found too small to pay, -1 for never
	int ahead;      // no entry before it in entries stands ahead of the receiver (stackSpent)
};

// The entities of one kind whose reaches start in one cell of one grid, still ahead of the
// receiver, wherever they are filed: a receiver that meets them all may make its collisions
// with them at once (collide_sum.h). Made when a receiver first meets enough of them.
struct Pile {
	int kind;
	int grid;
	long long px;
	long long py;
	Reach core;  // the largest start and the smallest end of its members' reaches: a receiver
	             // that meets it meets every member (left as it was when members leave)
	int root;    // of the tree of its members
	int sounds;  // the sounds a death of its members asks for, one bit each
	int stamp;   // the asking that last decided whether its collisions are made at once...
	int summed;  // ...and what it decided
	int spread;  // 1 when its members lay too far apart for any receiver to meet its core: it
	             // holds none of them, and is never summed
};

// The entries a stack gains during the pass, in list order. Those linked go before the others
// of their priority and those filed anew mostly after: a deque takes both at its ends.
typedef std::deque<Entry> LateList;

// A slot filed under a cell of a grid while the grid is built.
struct Item {
	long long cx;
	long long cy;
	int slot;
	int grid;
};

// Where a receiver's walk stands in one stack: in its entries from the build or in its late ones.
struct Source {
	long long key;  // list order of the entry at pos
	int stack;
	int pos;
	int late;
};

// A moment of the pass: the collision of the receiver and the partner of these list orders.
struct PassTime {
	long long receiver;
	long long partner;
};

// What an entity batched was as the batch was summed: its reach, group and profile numbers and
// damage, and whether its death would be quiet (collide_batch.cpp).
struct BatchedAs {
	Reach reach;
	int team;
	int profile;
	int damage;
	int quiet;
};

// How many of the living that the batch could take have their reaches start in one cell.
struct CellCount {
	long long cx;
	long long cy;
	int grid;
	int count;
};

// The group and profile numbers of the last entity of a template whose kind was worked out.
struct TemplateMemo {
	long pass;
	const EntityData *data;
	int team;
	int profile;
};
#define TEMPLATE_MEMOS 64

// The world list cut into cells of stacks of kinds, kept up to date while the pass runs.
// Slots number the filed entities: the list at the build, then those linked during the pass.
struct CollideGrid {
	// per slot
	std::vector<Entity *> ents;
	std::vector<long long> key;  // list order: (priority, place) in one number
	std::vector<int> kind;
	std::vector<Reach> reach;
	std::vector<int> ver;        // grows at each filing anew: older entries stand for nothing
	std::vector<int> slotTable;  // open addressing from entity to slot
	unsigned int slotMask;
	// kinds and what they are made of, numbered afresh each pass
	std::vector<Kind> kinds;
	std::vector<Reach> kindBox;  // per kind: the reaches of all its entities filed, in one box
	std::vector<int> kindTable;
	TemplateMemo templateMemo[TEMPLATE_MEMOS];
	long pass;  // counts the builds: memos of earlier ones stand for nothing
	std::vector<const IntTable *> profileIgnore;
	std::vector<std::string> profileType;
	std::vector<int> profileTable;
	std::vector<unsigned long long> ignoresKey;  // the pairs of profiles asked about
	std::vector<signed char> ignoresValue;       // -1 for an empty place
	size_t ignoresCount;
	std::unordered_map<std::string, int> teams;  // every group ever filed, numbered once
	std::vector<std::string> teamNames;          // by number
	// the filing
	unsigned int mask;  // bucket count - 1
	std::vector<Entry> entries;
	std::vector<int> jump;        // per entry: where the walk goes on past entries that stand for nothing
	std::vector<int> stackTable;  // open addressing from cell, kind and reach to stack...
	int stacksTabled;             // ...holding stacks[0, stacksTabled), -1 before the first filing
	std::vector<int> stackJump;   // per stack: where a bucket's walk goes on past stacks spent (spent())
	std::vector<Stack> stacks;
	std::vector<int> bucketStack;               // per bucket: its first stack from the build, and the end
	std::vector<int> bucketExtra;               // per bucket: the first stack made during the pass, -1 for none
	std::vector<int> grids;                     // the grids that hold stacks, in the order filed
	std::vector<unsigned long long> gridKinds;  // per grid: the kinds filed in it, one bit each
	std::vector<std::vector<int>> gridExtra;    // per grid: the stacks made in it during the pass
	// for receivers too big to ask their cells, made when the first asks and again when many
	// stacks were made since: stacks[0, indexedStacks) by kind, kind k's in
	// cellIndex[kindStart[k], kindStart[k + 1]), put in order of grid and, within a grid,
	// arranged as a tree of their cells when first asked for
	std::vector<int> kindStart;
	std::vector<int> cellIndex;
	std::vector<signed char> kindArranged;  // per kind: 1 once arranged
	int indexedStacks;                      // -1 before the first index of the pass
	std::vector<LateList> lateLists;
	int lateUsed;
	int lateFilings;  // entries filed during the pass, counted
	// the piles
	PileForest forest;
	std::vector<Pile> piles;
	std::vector<int> pileTable;  // open addressing from kind, grid and cell to pile
	std::vector<int> pileOf;     // per slot: its pile, -1 for none
	long long passedKey;         // list order of the receiver: those up to it join no pile
	long long widestX;           // the most any reach filed or asked with runs across...
	long long widestY;           // ...and down (less than 0 when it runs backwards)
	// scratch
	std::vector<Item> items;   // each slot under each cell it covers, in list order (later scratch)
	std::vector<Item> placed;  // the same by bucket, then by stack
	std::vector<unsigned int> itemBucket;
	std::vector<int> itemStart;
	std::vector<int> groupTable;  // open addressing from a thing laid out by group to its group...
	std::vector<int> groupFirst;  // ...numbered as first met: its first thing
	std::vector<int> itemGroup;   // per thing: its group's number
	std::vector<int> order;       // the things by group
	std::vector<int> fill;
	std::vector<Stack> runStacks;
	std::vector<int> flushSlots;
	std::vector<int> flushLives;
	std::vector<int> memoStamp;
	std::vector<signed char> memoInert;
	int stamp;
	// the walk of the receiver at hand
	int receiver;
	Kind askedKind;
	Reach askedReach;
	std::vector<Source> sources;  // a heap: the entry next in list order on top...
	int held;                     // ...unless 1: then it is held out of it, at the end
	std::vector<int> summed;      // the piles whose collisions with the receiver are made at once...
	long long sumFrom;            // ...from this list order on
	long long walked;             // list order of the last partner met
	int oneByOne;                 // 1: the receiver makes every collision one by one
	// the batch (collide_batch.h), per slot
	std::vector<signed char> batched;   // 1: its collisions with the other batched are summed
	std::vector<long long> batchHurt;   // the damage its summed collisions take from it...
	std::vector<long long> batchHeal;   // ...and give it...
	std::vector<long long> batchMeets;  // ...and how many they are
	std::vector<signed char> healed;    // 1: batched, and healed by its summed collisions
	std::vector<PassTime> leftAt;       // batched at the build: the moment it left the batch, if it did
	std::vector<BatchedAs> batchAs;     // batched at the build: what it was then
	std::vector<int> batchSlots;        // the slots batched at the build, in list order...
	size_t batchDone;                   // ...of which those before this one have had their turn
	std::vector<int> batchByX;          // ...by where their reaches start across (once one leaves)...
	long long batchWidest;              // ...and the widest of those reaches
	std::vector<int> earlyLeavers;      // left before any batched one had its turn, still in the sums
	int batching;                       // 1 when this pass batches the burning
	int batchLiving;                    // 1 when it batches the living too...
	size_t lastEntities;                // ...as decided by the last pass's entities...
	long long lastPairs;                // ...and collisions made one by one or summed in the batch...
	long long lastCrowding;             // ...and how crowded its living were (crowding)
	std::vector<CellCount> cellCounts;  // scratch of crowding...
	std::vector<int> cellCountTable;    // ...by open addressing from cell to count
	long long pairsMade;                // this pass's, so far...
	long long pairsOneByOne;            // ...of which made one by one...
	long long turnsTaken;               // ...over the turns of this many receivers
	PassTime now;                       // the collision the pass is making
	// entities linked while the pass runs, with the order of their linking
	std::vector<Entity *> fresh;
	std::vector<int> freshSerial;
	int serial;
};

// 1 when e is in its DEATH state.
int inDeath(const Entity *e);
// 1 when the two reaches share a point.
inline int reachesMeet(const Reach &a, const Reach &b) {
	return (a.x0 <= b.x1) & (b.x0 <= a.x1) & (a.y0 <= b.y1) & (b.y0 <= a.y1);
}
// 1 when profile p or q ignores the other's type.
int profilesIgnore(CollideGrid &g, int p, int q);
// Works out the kind of slot s anew, before its filing.
void kindAnew(CollideGrid &g, int s);
// 1 when a's doCollision with b would change nothing: neither would lose or gain life, and
// neither's die() would act. Both passes leave such pairs alone.
int changesNothing(const Entity *a, const Entity *b);
// How many pairs of the living that the batch could take, among the n entities from first
// on, have their reaches start in one cell: a crowd that comes together shows here before
// its collisions are made.
long long crowding(CollideGrid &g, size_t n, const Entity *first);
// Files every linked entity; 0 when the list is not in the order of priority that every
// linking keeps, and the grid cannot stand for it.
int buildGrid(CollideGrid &g);
// Files anew the entities from receiver a on, the living batched, when the pass is making so
// many collisions one by one that summing them pays and none summed is made yet; 1 when it did.
int batchTheRest(CollideGrid &g, Entity *a);
// The slot of e; -1 when it is not filed.
int slotOf(const CollideGrid &g, const Entity *e);
// Files the entities linked since the last call; 1 when there were any.
int fileFresh(CollideGrid &g);
// Files slot s anew when its kind or its reach changed since it was filed; 1 when it did.
int refileIfChanged(CollideGrid &g, int s);
// 1 when the entity in slot s is no longer what it was filed as.
int changedSinceFiled(const CollideGrid &g, int s);
// Starts the walk of receiver sa over the entries from list order `from` on that its kind
// and its reach may meet with some effect: as they are now, or with filed set, as filed.
void askPartners(CollideGrid &g, int sa, long long from, int filed);
// 1 when the receiver of the walk is no longer what its walk was asked with.
int receiverChanged(const CollideGrid &g);
// Notes an entity just linked; the pass files it once the collision that linked it is over.
void noteLinked(CollideGrid &g, Entity *e);
// Which death sounds were asked for this cycle, one bit each: asking one quiets a crowd.
int deathSoundsAsked();
// Makes slot s the receiver: it leaves its pile, with the life its collisions so far left
// it; 1 when what it is changed since it was filed.
int startReceiver(CollideGrid &g, int s);
// Takes slot s out of its pile, its life written back, before a collision made with it;
// the pile it was in, -1 for none.
int leavePile(CollideGrid &g, int s);
// Puts slot s back into pile after a collision made with it, unless it was removed, filed
// anew (its filing version was ver before the collision) or is no longer of the pile's kind.
void settle(CollideGrid &g, int s, int pile, int ver);
// The slot of the next partner whose collision with the receiver is made one by one; the
// collisions with the piles before it are made at once on the way. -1 at the end.
int nextToMake(CollideGrid &g);
// Notes an entity just unlinked: it leaves its pile with its life, and its batch, and its
// entries stand for nothing from then on.
void noteUnlinked(CollideGrid &g, Entity *e);
// Writes back the lives of every pile's members, and empties the piles.
void flushPiles(CollideGrid &g);

#endif
