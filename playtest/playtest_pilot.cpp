// The playtest's pilots: where they look, how they choose a direction, and their keys.
#include "playtest/playtest_pilot.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include "game/vorska.h"

const PilotKind PILOTS[] = {
	{"still", 0, 0, 0, 1},
	{"novice", 15, 80, 5, 0},
	{"skilled", 5, 160, 0, 1},
};
const int NUM_PILOTS = sizeof(PILOTS) / sizeof(PILOTS[0]);

static const int NUM_DIRS = 9;
// Direction 0 holds no arrow; the others are the eight compass points.
static const int DIR_X[NUM_DIRS] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
static const int DIR_Y[NUM_DIRS] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

// The bullets and enemies a player can see within range of the ship's centre.
static std::vector<Threat> threatsInSight(int range) {
	std::vector<Threat> seen;
	double sx = player->x + player->w / 2.0;
	double sy = player->y + player->h / 2.0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e == player || e->group != "ENEMY" || e->w <= 0 || e->h <= 0 || !e->visible()) {
			continue;
		}
		Threat t = {e->x + e->w / 2.0, e->y + e->h / 2.0, e->xvel / 1000.0, e->yvel / 1000.0};
		if (std::hypot(t.x - sx, t.y - sy) <= range) {
			seen.push_back(t);
		}
	}
	return seen;
}

Pilot::Pilot(const PilotKind &k, unsigned seed) : kind(k), rng(seed), nextDecision(0), dir(0), decided(0) {
	if (kind.period > 0) {
		nextDecision = rng() % kind.period;
	}
}

// How far away the nearest threat would be after one hold of direction d, everything keeping its velocity.
double Pilot::predictedGap(const std::vector<Threat> &seen, int d) const {
	double x = player->x;
	double y = player->y;
	double top = env->cy;
	for (int t = 0; t < kind.period; t++) {
		// the ship stays inside the view, which climbs a pixel a cycle until the top
		top = std::max(0.0, top - 1);
		x = std::clamp(x + PLAYER_STEP * DIR_X[d], (double)env->cx, (double)env->cx + vp->xlen - player->w);
		y = std::clamp(y + PLAYER_STEP * DIR_Y[d] + player->yvel / 1000.0, top, top + vp->ylen - player->h);
	}
	double sx = x + player->w / 2.0;
	double sy = y + player->h / 2.0;
	double nearest = HUGE_VAL;
	for (const Threat &th : seen) {
		double gap = std::hypot(th.x + th.vx * kind.period - sx, th.y + th.vy * kind.period - sy);
		nearest = std::min(nearest, gap);
	}
	return nearest;
}

// The direction that leaves the nearest threat furthest away; none when nothing is in sight.
int Pilot::decide() {
	std::vector<Threat> seen = threatsInSight(kind.range);
	if (seen.empty()) {
		return 0;
	}
	int order[NUM_DIRS];
	for (int i = 0; i < NUM_DIRS; i++) {
		order[i] = i;
	}
	std::shuffle(order, order + NUM_DIRS, rng);  // ties go to whichever comes first
	int best = order[0];
	double bestGap = predictedGap(seen, best);
	for (int i = 1; i < NUM_DIRS; i++) {
		double gap = predictedGap(seen, order[i]);
		if (gap > bestGap) {
			best = order[i];
			bestGap = gap;
		}
	}
	return best;
}

// Holds fire and the chosen arrows; decides again every period.
void Pilot::step(long cycle, Uint8 *keys) {
	keys[SDLK_SPACE] = kind.holdFire;
	if (kind.period == 0 || cycle < nextDecision) {
		return;
	}
	if (!kind.holdFire) {
		keys[SDLK_SPACE] = 1;  // pressed now, released the cycle after: a tap
	}
	bool hesitates = decided && kind.hesitate > 0 && rng() % kind.hesitate == 0;
	if (!hesitates) {
		dir = decide();
	}
	decided = 1;
	nextDecision = cycle + kind.period;
	keys[SDLK_UP] = DIR_Y[dir] < 0;
	keys[SDLK_DOWN] = DIR_Y[dir] > 0;
	keys[SDLK_LEFT] = DIR_X[dir] < 0;
	keys[SDLK_RIGHT] = DIR_X[dir] > 0;
}
