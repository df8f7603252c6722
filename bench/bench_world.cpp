// Worlds for the benchmarks.
#include "bench/bench_world.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

// Only reached when the background is missing: the size the level's picture has.
#define FALLBACK_FIELD_W 450
#define FALLBACK_FIELD_H 6400

static WorldSave startSave;

// Silences standard output and standard error.
Quiet::Quiet() {
	fflush(stdout);
	fflush(stderr);
	std::cout.flush();
	out = dup(1);
	err = dup(2);
	int null = open("/dev/null", O_WRONLY);
	if (null >= 0) {
		dup2(null, 1);
		dup2(null, 2);
		close(null);
	}
}

// Gives the two streams back.
Quiet::~Quiet() {
	fflush(stdout);
	fflush(stderr);
	std::cout.flush();
	std::cerr.flush();
	if (out >= 0) {
		dup2(out, 1);
		close(out);
	}
	if (err >= 0) {
		dup2(err, 2);
		close(err);
	}
}

// Removes and destroys every entity.
static void emptyWorld() {
	while (elist != nullptr) {
		remEn(&elist, elist);
	}
	reapEntities();
}

// Starts the game as its entry does, quietly, and keeps the level it set up.
Font *benchGame() {
	static Font *font = nullptr;
	if (font != nullptr) {
		return font;
	}
	int fallback = 0;
	{
		Quiet q;
		font = startUp();
		if (env->bg == nullptr) {
			// without the picture the field has no size: lay the level out on one of the
			// picture's size, with the same random sequence as the start-up
			fallback = 1;
			emptyWorld();
			env->xlen = FALLBACK_FIELD_W;
			env->ylen = FALLBACK_FIELD_H;
			srand(1);
			setupLevel();
		}
	}
	if (fallback) {
		fprintf(stderr, "bench: gfx/ulose.png not found; the level is laid out on a %dx%d field without a picture\n",
		        FALLBACK_FIELD_W, FALLBACK_FIELD_H);
	}
	saveWorld(&startSave);
	return font;
}

// Copies the world into save.
void saveWorld(WorldSave *save) {
	save->ents.clear();
	save->playerAt = -1;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e == player) {
			save->playerAt = (int)save->ents.size();
		}
		save->ents.push_back(*e);
	}
	save->cx = env->cx;
	save->cy = env->cy;
}

// Replaces the world with fresh copies of the saved entities, in the saved order: linked
// from the last to the first, each goes to the head, as the list is ordered by priority.
void restoreWorld(const WorldSave &save) {
	emptyWorld();
	player = nullptr;
	for (size_t i = save.ents.size(); i > 0; i--) {
		Entity *e = new Entity(save.ents[i - 1]);
		addEn(&elist, e);
		if ((int)i - 1 == save.playerAt) {
			player = e;
		}
	}
	env->cx = save.cx;
	env->cy = save.cy;
	gameover = 0;
}

// The level as the start-up leaves it.
void startUpWorld() {
	benchGame();
	restoreWorld(startSave);
}

// One game cycle's world work.
void stepWorld() {
	worldStep();
	reapEntities();
}

// The level after some cycles of play, the player holding the fire key throughout.
void playedWorld(int cycles) {
	Font *font = benchGame();
	restoreWorld(startSave);
	Quiet q;  // the first shot reads its template, with notices
	for (int i = 0; i < cycles; i++) {
		if (player != nullptr && player->life >= 1 && (player->ctr & 3) == 0) {
			fireVolley();
		}
		stepWorld();
		drawPass(font);
	}
}

// The level after 600 cycles of play, saved on first use.
const WorldSave &playedSave() {
	static WorldSave save;
	static int made = 0;
	if (!made) {
		playedWorld(600);
		saveWorld(&save);
		made = 1;
	}
	return save;
}

// A small generator of its own, so that the stress worlds leave rand() to the level.
static unsigned int stressSeed;

// A value in [lo, hi].
static int stressRand(int lo, int hi) {
	stressSeed = stressSeed * 1103515245u + 12345u;
	return lo + (int)((stressSeed >> 8) % (unsigned int)(hi - lo + 1));
}

// Puts e on frame k of its current state with a random time spent in it.
static void randomFrame(Entity *e, int lastFrame, int delay) {
	if (e->state == nullptr || e->state->frames.empty()) {
		return;
	}
	int k = stressRand(0, std::max(0, std::min(lastFrame, (int)e->state->frames.size() - 1)));
	e->curframe = (unsigned int)k;
	e->frame = &e->state->frames[k];
	e->framectr = stressRand(0, delay);
}

// A tank anywhere on the field.
static void addTank() {
	Entity *e = loadEntity(ENTITY_FILE, TANK_ID, env);
	if (e == nullptr) {
		return;
	}
	e->x = stressRand(0, env->xlen - e->w);
	e->y = stressRand(0, env->ylen - e->h);
	e->life = stressRand(1, e->maxlife);
	randomFrame(e, 1000, 7);
}

// An entity of template id somewhere in the camera window; null when none could be made.
static Entity *addInView(const char *id) {
	Entity *e = loadEntity(ENTITY_FILE, id, env);
	if (e != nullptr) {
		e->x = env->cx + stressRand(0, vp->xlen - e->w);
		e->y = env->cy + stressRand(0, vp->ylen - e->h);
	}
	return e;
}

// An enemy bullet somewhere in the camera window, flying as the firing patterns send them.
static void addBullet() {
	Entity *e = addInView(BULLET_ID);
	if (e == nullptr || e->state == nullptr) {
		return;
	}
	double a = stressRand(0, 359) * 0.01745329;
	int v = stressRand(100, 4000);
	e->xvel = (int)(cos(a) * v);
	e->yvel = (int)(-sin(a) * v) - 1000;
	// not the last frame: entering it sends the bullet to its death
	randomFrame(e, (int)e->state->frames.size() - 2, 5);
}

// A player shot somewhere in the camera window, climbing straight or slanting.
static void addShot() {
	Entity *e = addInView(SHOT_ID);
	if (e != nullptr) {
		e->xvel = 5000 * stressRand(-1, 1);
		e->yvel = -20000 - 1000;
	}
}

// The start-up level with tanks, bullets and shots added (10 : 85 : 5) up to n entities.
void stressWorld(int n) {
	startUpWorld();
	Quiet q;
	stressSeed = (unsigned int)n;
	while (num_entities < n) {
		int k = stressRand(0, 19);
		if (k < 2) {
			addTank();
		} else if (k < 19) {
			addBullet();
		} else {
			addShot();
		}
	}
}

// Bullets piled at rest on the player up to the limit.
void limitWorld() {
	startUpWorld();
	Quiet q;
	while (num_entities < MAX_LIVE_ENTITIES && player != nullptr) {
		Entity *e = loadEntity(ENTITY_FILE, BULLET_ID, env);
		if (e == nullptr) {
			return;
		}
		e->x = player->x;
		e->y = player->y;
		e->flags &= ~ENT_DIE_OOB_VPT;
	}
}

// The template kept, then changed to spawn itself.
SelfSpawningBullets::SelfSpawningBullets() {
	EntityData *bullet = getEData(BULLET_ID, edlist);
	if (bullet == nullptr || bullet->states.empty()) {
		return;
	}
	kept = *bullet;
	bullet->flags &= ~ENT_DIE_OOB_VPT;
	for (Frame &f : bullet->states[0].frames) {
		f.delay = 0;
		f.enter = ent_fun_table["EF_FIRE_LINEWAVE"];
	}
}

// The template as it was; its frames stay where they are, as live entities point at them.
SelfSpawningBullets::~SelfSpawningBullets() {
	EntityData *bullet = getEData(BULLET_ID, edlist);
	if (bullet == nullptr || bullet->states.empty()) {
		return;
	}
	bullet->flags = kept.flags;
	std::vector<Frame> &frames = bullet->states[0].frames;
	for (size_t i = 0; i < frames.size(); i++) {
		frames[i].delay = kept.states[0].frames[i].delay;
		frames[i].enter = kept.states[0].frames[i].enter;
	}
}

// Runs work on a world restored from save every `every` iterations.
void runOnWorld(benchmark::State &state, const WorldSave &save, int every, void (*work)()) {
	int left = 0;
	double live = 0;
	for (auto _ : state) {
		if (left == 0) {
			state.PauseTiming();
			restoreWorld(save);
			left = every;
			state.ResumeTiming();
		}
		live += num_entities;
		work();
		left--;
	}
	state.counters["entities"] = benchmark::Counter(live, benchmark::Counter::kAvgIterations);
}
