// The bot pilots of the playtest: graded players that hold the game's keys.
// They were fixed before the sample data was tuned against them, and stay fixed: the data
// is tuned to the pilots, never the other way round.
#ifndef PLAYTEST_PILOT_H
#define PLAYTEST_PILOT_H

#include <SDL.h>
#include <random>
#include <vector>

// What sets one grade of pilot apart from another.
struct PilotKind {
	const char *name;
	int period;    // game cycles between decisions; 0 never decides, so never moves
	int range;     // how far around its ship it looks, in pixels
	int hesitate;  // at 1 in this many decisions it keeps its last direction; 0 never
	int holdFire;  // 1 holds fire all the time, 0 taps it at every decision
};

// Something a pilot watches: the centre of its box and its velocity in pixels a cycle.
struct Threat {
	double x, y, vx, vy;
};

extern const PilotKind PILOTS[];
extern const int NUM_PILOTS;

// One pilot at the keyboard array for one run.
class Pilot {
public:
	Pilot(const PilotKind &kind, unsigned seed);

	// Sets the keys for the coming game cycle.
	void step(long cycle, Uint8 *keys);

private:
	int decide();
	double predictedGap(const std::vector<Threat> &seen, int dir) const;

	const PilotKind &kind;
	std::mt19937 rng;
	long nextDecision;  // the cycle of the next decision
	int dir;            // the direction held: 0 none, 1..8 the eight others
	int decided;        // 1 once the first decision is made
};

#endif
