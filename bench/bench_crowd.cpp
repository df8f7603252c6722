// The collision pass over crowds that a level designer's data can pile up: many entities on
// one spot, of one side or of two, that ignore, spare, kill or outlive each other, die with
// their partners still ahead of them in the list, spawn as they die, or have boxes as large
// as the field. Each is measured at growing sizes, up to the limit of live entities, so
// that a pass growing faster than its crowd shows.
#include <benchmark/benchmark.h>
#include <climits>
#include <cstdlib>
#include <map>
#include "bench/bench_world.h"
#include "entity/ef_def.h"

namespace {

// The arrangements, in the order of the benchmark's first argument.
enum Crowd {
	PILE,             // one side, alive, on one spot
	LIVING_BURNING,   // one side, half alive and half burning with their boxes, on one spot
	IGNORING,         // bullets and shots on one spot: their types ignore each other
	INVULNERABLE,     // two sides on one spot that hurt each other but cannot be hurt
	DYING_RECEIVERS,  // a pile after the player, which kills each: the dead keep their boxes
	KILLING,          // two sides on one spot that kill each other, their wrecks shrinking
	SPAWNING_DEATHS,  // the same, each death removing the dead and firing a bullet
	HUGE_BOXES,       // half of one side with boxes larger than the field, half spread
	EMPTY_WRECKS,     // wrecks without boxes on the corner of a living crowd of another side
	BURNING_BOXES,    // two sides on one spot, dead, burning with their boxes and hurting
	UNDER_SHIELDS,    // one side burning with its boxes under an invulnerable side that hurts it
	MILLION_LIVES,    // two sides on one spot that hurt each other, with lives of ten million
	HEALING,          // two sides on one spot that heal each other (a damage below 0)
	WRECKS,           // two sides on one spot that kill each other; the wrecks keep their boxes
	BIG_APART,        // one side spread over the view, another of boxes wider than the field above and below it
	SCATTERED,        // small boxes of two sides on a lattice in one cell, none touching another
	NEGATIVE_WIDTHS,  // boxes of a negative width on one spot, among bullets of another side within their span
	SURROUNDED,       // boxes of 2,000 x 2,000 pixels on one spot, ringed 10 pixels off by small boxes of another side
	BURNING_APART,    // two sides, dead, burning with boxes of 200 x 200 pixels and hurting, each on a spot of its own
	BURNING_SPREAD,   // the same along a strip four times longer than their boxes: each meets some of the others
	LIVES_SPREAD,     // two sides so spread, alive, hurting each other, with lives of ten million
	HEALING_SPREAD,   // two sides so spread that heal each other
	HEALING_BEHIND,   // the same behind the player in the list, which could kill those it meets
	LIVES_RUN_OUT,    // two sides so spread, alive, that kill each other: each meets more than its life
	KILLING_SPREAD,   // two sides so spread that kill each other, the wrecks shrinking to nothing
	WRECKS_SPREAD,    // the same, the wrecks keeping their boxes
	CROWDS
};

const char *CROWD_NAMES[CROWDS] = {
	"Pile",           "LivingAndBurning", "Ignoring",    "Invulnerable",  "DyingReceivers", "Killing",
	"SpawningDeaths", "HugeBoxes",        "EmptyWrecks", "BurningBoxes",  "UnderShields",   "MillionLives",
	"Healing",        "Wrecks",           "BigApart",    "Scattered",     "NegativeWidths", "Surrounded",
	"BurningApart",   "BurningSpread",    "LivesSpread", "HealingSpread", "HealingBehind",  "LivesRunOut",
	"KillingSpread",  "WrecksSpread"};

// A small generator of its own, so that the crowds are the same in every run.
unsigned int crowdSeed = 1;

// A value in [lo, hi].
int crowdRand(int lo, int hi) {
	crowdSeed = crowdSeed * 1103515245u + 12345u;
	return lo + (int)((crowdSeed >> 8) % (unsigned int)(hi - lo + 1));
}

// A bullet of the given side at (x, y); null when the world is full.
Entity *addBullet(const char *group, int x, int y) {
	Entity *e = loadEntity(ENTITY_FILE, BULLET_ID, env);
	if (e != nullptr) {
		e->group = group;
		e->x = x;
		e->y = y;
		e->flags &= ~ENT_DIE_OOB_VPT;
	}
	return e;
}

// A bullet that hits every type: the two sides of a crowd then meet.
Entity *addOpenBullet(const char *group, int x, int y) {
	Entity *e = addBullet(group, x, y);
	if (e != nullptr) {
		e->ignore.clear();
	}
	return e;
}

// Sends e into its DEATH state as a collision would, keeping its box when keepBox is set.
void burn(Entity *e, int keepBox) {
	int w = e->w;
	int h = e->h;
	e->life = 0;
	e->setState("DEATH");
	if (keepBox) {
		e->w = w;
		e->h = h;
	}
}

// The start-up level emptied but for the player, which stands at the bottom of the view.
void playerOnly() {
	startUpWorld();
	for (Entity *e = elist; e != nullptr;) {
		Entity *next = e->next;
		if (e != player) {
			remEn(&elist, e);
		}
		e = next;
	}
	reapEntities();
}

// Fills the world with crowd c of n entities in all, the player among them.
void crowdWorld(Crowd c, int n) {
	playerOnly();
	Quiet q;
	crowdSeed = (unsigned int)n;
	int x = env->cx + 200;
	int y = env->cy + 200;
	while (num_entities < n) {
		int k = num_entities;
		Entity *e = nullptr;
		switch (c) {
		case PILE:
			e = addBullet("ENEMY", x, y);
			break;
		case LIVING_BURNING:
			e = addBullet("ENEMY", x, y);
			if (e != nullptr && k % 2 == 0) {
				burn(e, 1);
			}
			break;
		case IGNORING:
			e = k % 2 ? addBullet("ENEMY", x, y) : loadEntity(ENTITY_FILE, SHOT_ID, env);
			if (e != nullptr) {
				e->x = x;
				e->y = y;
				e->xvel = e->yvel = 0;
			}
			break;
		case INVULNERABLE:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr) {
				e->flags |= ENT_INVULN;
			}
			break;
		case DYING_RECEIVERS:
			// after the player in the list, so that it is their receiver
			e = addBullet("ENEMY", player->x, player->y);
			break;
		case KILLING:
		case SPAWNING_DEATHS:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			break;
		case HUGE_BOXES:
			e = addBullet("ENEMY", env->cx + crowdRand(0, vp->xlen - 3), env->cy + crowdRand(0, vp->ylen - 100));
			if (e != nullptr && k % 2) {
				e->x -= 100000;
				e->y -= 100000;
				e->w = e->h = 200000;
			}
			break;
		case EMPTY_WRECKS:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr && k % 2) {
				burn(e, 0);
			}
			break;
		case BURNING_BOXES:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr) {
				burn(e, 1);
			}
			break;
		case UNDER_SHIELDS:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr && k % 2) {
				burn(e, 1);
			} else if (e != nullptr) {
				e->flags |= ENT_INVULN;
			}
			break;
		case MILLION_LIVES:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr) {
				e->life = e->maxlife = 10000000;
			}
			break;
		case HEALING:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			if (e != nullptr) {
				e->damage = -1;
			}
			break;
		case WRECKS:
			e = addOpenBullet(k % 2 ? "A" : "B", x, y);
			break;
		case BIG_APART:
			if (k % 2) {
				e = addOpenBullet("A", env->cx + crowdRand(0, vp->xlen - 3), env->cy + crowdRand(0, vp->ylen - 3));
			} else {
				// a row of its own for each, alternately above and below the view
				e = addOpenBullet("B", env->cx - 100000, k % 4 ? env->cy - 10000 - k : env->cy + vp->ylen + 10000 + k);
				if (e != nullptr) {
					e->w = 200000;
					e->h = 1;
				}
			}
			break;
		case SCATTERED:
			if (k % 4) {
				// boxes of a side that hurts nothing, far away, that make the cells large
				e = addOpenBullet("C", x + 100000, y);
				if (e != nullptr) {
					e->w = e->h = 255;
					e->damage = 0;
					e->flags |= ENT_INVULN;
				}
			} else {
				// 1 x 1 on a lattice of 2 pixels in a cell of 256 pixels
				int i = k / 4;
				e = addOpenBullet(i % 2 ? "A" : "B", 256 + i % 64 * 2, (env->cy / 256 + 1) * 256 + i / 64 * 2);
				if (e != nullptr) {
					e->w = e->h = 1;
				}
			}
			break;
		case SURROUNDED:
			if (k % 2) {
				e = addOpenBullet("A", x, y);
				if (e != nullptr) {
					e->w = e->h = 2000;
				}
			} else {
				// round the square's four sides, a ring further out each time round
				int i = k / 2;
				int along = i / 4 % 2020 - 10;
				int out = 10 + i / 4 / 2020;
				int side = i % 4;
				int px = side < 2 ? x + along : side == 2 ? x - out : x + 1999 + out;
				int py = side == 0 ? y - out : side == 1 ? y + 1999 + out : y + along;
				e = addOpenBullet("B", px, py);
				if (e != nullptr) {
					e->w = e->h = 1;
				}
			}
			break;
		case BURNING_APART:
			// every pair meets, and no two share a box to be summed by
			e = addOpenBullet(k % 2 ? "A" : "B", x + crowdRand(0, 199), y + crowdRand(0, 199));
			if (e != nullptr) {
				e->w = e->h = 200;
				burn(e, 1);
			}
			break;
		case BURNING_SPREAD:
		case LIVES_SPREAD:
		case HEALING_SPREAD:
		case HEALING_BEHIND:
		case LIVES_RUN_OUT:
		case KILLING_SPREAD:
		case WRECKS_SPREAD:
			e = addOpenBullet(k % 2 ? "A" : "B", x + crowdRand(0, 799), y + crowdRand(0, 199));
			if (e != nullptr) {
				e->w = e->h = 200;
			}
			if (e != nullptr && c == BURNING_SPREAD) {
				burn(e, 1);
			} else if (e != nullptr && c == LIVES_SPREAD) {
				e->life = e->maxlife = 10000000;
			} else if (e != nullptr && c == LIVES_RUN_OUT) {
				e->life = e->maxlife = 300;
			} else if (e != nullptr && c != KILLING_SPREAD && c != WRECKS_SPREAD) {
				e->damage = -1;
			}
			break;
		case NEGATIVE_WIDTHS:
			e = addOpenBullet(k % 2 ? "A" : "B", k % 2 ? x : x - 390 + crowdRand(0, 370), y);
			if (e != nullptr && k % 2) {
				e->w = -400;
			}
			break;
		default:
			break;
		}
		if (e == nullptr) {
			return;
		}
	}
}

// A template's frames as they were, put back when the object goes.
class FramesKept {
public:
	explicit FramesKept(const char *id) : data(getEData(id, edlist)) {
		if (data != nullptr) {
			kept = data->states;
		}
	}
	~FramesKept() {
		if (data == nullptr) {
			return;
		}
		for (size_t s = 0; s < kept.size(); s++) {
			for (size_t f = 0; f < kept[s].frames.size(); f++) {
				data->states[s].frames[f].enter = kept[s].frames[f].enter;
				data->states[s].frames[f].exit = kept[s].frames[f].exit;
			}
		}
	}
	EntityData *data;

private:
	std::vector<State> kept;
};

// The bullet's first DEATH frame, or null.
Frame *deathFrame(EntityData *d) {
	for (size_t i = 0; d != nullptr && i < d->states.size(); i++) {
		if (d->states[i].name == "DEATH" && !d->states[i].frames.empty()) {
			return &d->states[i].frames[0];
		}
	}
	return nullptr;
}

// Lays crowd c of n entities, or finds it laid, with the bullet's frames set for it: saved
// in saves[c], and in apart[c] with each entity on a spot of its own, far from all others.
void layCrowd(Crowd c, int n, FramesKept &bullet, Frame *death, std::map<std::pair<int, int>, WorldSave> &saves,
              std::map<std::pair<int, int>, WorldSave> &apart) {
	if (c == DYING_RECEIVERS || c == WRECKS || c == WRECKS_SPREAD) {
		death->enter = nullptr;  // the data's bullets burn with their boxes
	} else if (c == SPAWNING_DEATHS) {
		// leaving its flight fires a bullet at the player, and its death removes it
		for (Frame &f : bullet.data->states[0].frames) {
			f.exit = ef_fire_aimed;
		}
		death->enter = ef_die;
	}
	std::pair<int, int> key(c, n);
	if (saves.count(key) != 0) {
		return;
	}
	int priority = bullet.data->priority;
	if (c == DYING_RECEIVERS || c == HEALING_BEHIND) {
		bullet.data->priority = player != nullptr ? player->priority + 10 : priority;
	}
	crowdWorld(c, n);
	bullet.data->priority = priority;
	saveWorld(&saves[key]);
	// wider apart than any box but those wider than the field, within the int range
	long long far = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		e->x = (int)(far += INT_MAX / (MAX_LIVE_ENTITIES + 1));
	}
	saveWorld(&apart[key]);
}

// The collision pass over crowd range(0) of range(1) entities, the crowd laid anew each time;
// with atOnce, each pass of the crowd comes after an untimed pass over its entities far apart.
void timeCrowd(benchmark::State &state, int atOnce) {
	static std::map<std::pair<int, int>, WorldSave> saves;
	static std::map<std::pair<int, int>, WorldSave> apart;
	Crowd c = (Crowd)state.range(0);
	int n = (int)state.range(1);
	state.SetLabel(CROWD_NAMES[c]);
	benchGame();
	FramesKept bullet(BULLET_ID);
	Frame *death = deathFrame(bullet.data);
	if (death == nullptr) {
		state.SkipWithError("no Bullet DEATH frame");
		return;
	}
	layCrowd(c, n, bullet, death, saves, apart);
	std::pair<int, int> key(c, n);
	Quiet q;
	if (!atOnce) {
		runOnWorld(state, saves[key], 1, collisionPass);
		return;
	}
	double live = 0;
	for (auto _ : state) {
		state.PauseTiming();
		restoreWorld(apart[key]);
		collisionPass();
		restoreWorld(saves[key]);
		state.ResumeTiming();
		live += num_entities;
		collisionPass();
	}
	state.counters["entities"] = benchmark::Counter(live, benchmark::Counter::kAvgIterations);
}

// Each crowd as it stands, pass after pass.
void BM_CollisionCrowd(benchmark::State &state) {
	timeCrowd(state, 0);
}

// The pass in which a crowd forms at once, with nothing in the pass before to tell.
void BM_CollisionCrowdAtOnce(benchmark::State &state) {
	timeCrowd(state, 1);
}

// Every arrangement at 1,024, 4,096 and 16,384 live entities (the limit).
void crowdArgs(benchmark::internal::Benchmark *b) {
	for (int c = 0; c < CROWDS; c++) {
		for (int n : {1024, 4096, MAX_LIVE_ENTITIES}) {
			b->Args({c, n});
		}
	}
}
BENCHMARK(BM_CollisionCrowd)->Apply(crowdArgs)->Unit(benchmark::kMillisecond);

// Every arrangement at the limit.
void limitArgs(benchmark::internal::Benchmark *b) {
	for (int c = 0; c < CROWDS; c++) {
		b->Args({c, MAX_LIVE_ENTITIES});
	}
}
BENCHMARK(BM_CollisionCrowdAtOnce)->Apply(limitArgs)->Unit(benchmark::kMillisecond);

}  // namespace
