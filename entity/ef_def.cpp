// The behaviour table, the aiming helper, the projectile helpers and the enemy firing patterns.
#include "entity/ef_def.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include "entity/gamestate.h"
#include "platform/sound.h"

#define DEG2RAD 0.01745329
#define RAD2DEG 57.29577951

// Bullet speeds, in thousandths of a pixel per game cycle.
#define AIMED_SPEED_MILLIPX  4000  // the aimed and the lead shot
#define SPREAD_SPEED_MILLIPX 100   // the spread's four, which drift apart slowly
#define LINE_SPEED_MILLIPX   400   // the line's progress along the aim
// Taken from every bullet's vertical speed but the lead shot's, so that it keeps pace with the
// camera, which climbs a pixel a cycle.
#define BULLET_BIAS_MILLIPX 1000
// The angle between neighbours in the fans of the spread and the line.
#define FAN_STEP_DEGREES 5

// The line wave: half as many rows as it has bullets either side of the aim (plus the middle
// one), the width its outer bullets span at the target, and the game cycles its bullets take
// to arrive, counted from the first row's release.
#define WAVE_N             6
#define WAVE_SPAN_PIXELS   400
#define WAVE_FLIGHT_CYCLES 120

// Beyond this distance a line wave aims as if its target stood this far away, so that the
// row speeds stay far inside the range of an int. Nothing on a play-field comes near it.
#define WAVE_MAX_DIST 1000000.0

// The file and template of every enemy bullet, made into strings once rather than at each
// of the thousands of bullets a crowded cycle fires.
static const std::string bulletFile(ENTITY_FILE);
static const std::string bulletId(BULLET_ID);

// Fills the table that frame definitions resolve behaviour names through.
void buildEFuncs() {
	static const struct {
		const char *name;
		EFHandle fn;
	} behaviours[] = {
		{"EF_DIE", ef_die},
		{"EF_NOHIT", ef_nohit},
		{"EF_PLAYER_DIE", ef_player_die},
		{"EF_PLAYER_GONE", ef_player_gone},
		{"EF_PLAYER_INVULN_ENTER", ef_player_invuln_enter},
		{"EF_PLAYER_INVULN_EXIT", ef_player_invuln_exit},
		{"EF_FIRE_AIMED", ef_fire_aimed},
		{"EF_FIRE_SPREAD", ef_fire_spread},
		{"EF_FIRE_LINE", ef_fire_line},
		{"EF_FIRE_LEAD", ef_fire_lead},
		{"EF_FIRE_LINEWAVE", ef_fire_linewave},
		{"EF_GEN", ef_gen},
	};
	for (const auto &b : behaviours) {
		ent_fun_table[b.name] = b.fn;
	}
}

// Direction from e1's corner to e2's corner in whole degrees, 90 straight up.
int getAngle(Entity *e1, Entity *e2) {
	if (e1->x == e2->x) {
		return e1->y < e2->y ? 270 : 90;
	}
	// differences taken in doubles: int subtraction could overflow for far-flung entities
	double dx = (double)e2->x - (double)e1->x;
	double dy = (double)e1->y - (double)e2->y;

	// the single-precision steps are part of the result: they decide where truncation lands
	float angle = (float)atan2(dy, dx);
	angle = (float)(angle * 180.0f / 3.14159265);
	if (angle < 0) {
		angle = (float)(angle + 360);
	}
	int a = (int)angle;
	// a hair below zero rounds up to 360.0f once 360 is added
	if (a >= 360) {
		a -= 360;
	}
	return a;
}

// Velocity of a shot at angle t (degrees) and speed v; screen y grows downwards.
static void aimVel(int t, int v, int *xv, int *yv) {
	*xv = (int)(cos(t * DEG2RAD) * v);
	*yv = (int)(sin(t * DEG2RAD) * -(double)v);
}

// 1 when there is a player to aim at: none, or one already removed from the world, is no target.
static int hasTarget() {
	return player != nullptr && !player->removed;
}

// Creates a projectile at (x, y) moving at speed v in direction a.
int bulletAV(const std::string &fn, const std::string &id, Env *e, int x, int y, int a, int v) {
	int xv, yv;
	aimVel(a, v, &xv, &yv);
	return bulletXY(fn, id, e, x, y, xv, yv);
}

// Same as bulletAV.
int bullet(const std::string &fn, const std::string &id, Env *e, int x, int y, int a, int v) {
	return bulletAV(fn, id, e, x, y, a, v);
}

// Creates a projectile at (x, y) with the velocity given directly.
int bulletXY(const std::string &fn, const std::string &id, Env *e, int x, int y, int xv, int yv) {
	Entity *b = loadEntity(fn, id, e);
	if (b == nullptr) {
		return 0;
	}
	b->x = x;
	b->y = y;
	b->xvel = xv;
	b->yvel = yv;
	return 1;
}

// One enemy bullet from the centre of e at angle t and speed v; null when none could be made.
static Entity *fireFromCentre(Entity *e, int t, int v) {
	Entity *b = loadEntity(bulletFile, bulletId, env);
	if (b == nullptr) {
		return nullptr;
	}
	aimVel(t, v, &b->xvel, &b->yvel);
	b->x = e->x + e->w / 2;
	b->y = e->y + e->h / 2;
	return b;
}

// One enemy bullet from the centre of e at angle t and speed v, with the upward bias.
static void fireBiased(Entity *e, int t, int v) {
	Entity *b = fireFromCentre(e, t, v);
	if (b != nullptr) {
		b->yvel -= BULLET_BIAS_MILLIPX;
	}
}

// The angle from e to the player, for patterns fired only while e can be seen; false when
// there is nothing to aim at or e is out of sight.
static bool aimWhileSeen(Entity *e, int *a) {
	if (!hasTarget()) {
		return false;
	}
	*a = getAngle(e, player);
	return e->visible() != 0;
}

// Plays the sound of an attack when its shooter is in sight: the tanks all over the field fire
// too, and a player hears only the attacks that can reach the ship.
static void heardIfSeen(Entity *e, SoundEvent attack) {
	if (e->visible()) {
		playSound(attack);
	}
}

// One fast bullet straight at the player.
int ef_fire_aimed(void *p) {
	Entity *e = (Entity *)p;
	if (!hasTarget()) {
		return 0;
	}
	int a = getAngle(e, player);
	fireBiased(e, a, AIMED_SPEED_MILLIPX);
	heardIfSeen(e, SOUND_FIRE_AIMED);
	return 0;
}

// Four bullets 5 degrees apart around the aim a at speed v; as a straight row, each goes at
// the speed that keeps the same progress along the aim as the others.
static void fireFan(Entity *e, int a, int v, bool row) {
	for (int i = -3; i <= 3; i += 2) {
		int t = a + FAN_STEP_DEGREES * i;
		int d = t - a;
		fireBiased(e, t, row ? (int)(v / cos(d * DEG2RAD)) : v);
	}
}

// A fan of four from the shooter p, only while it can be seen, heard as attack.
static int fireFanWhileSeen(void *p, int v, bool row, SoundEvent attack) {
	Entity *e = (Entity *)p;
	int a;
	if (aimWhileSeen(e, &a)) {
		fireFan(e, a, v, row);
		playSound(attack);
	}
	return 0;
}

// Four slow bullets fanned around the aim; only while the shooter can be seen.
int ef_fire_spread(void *p) {
	return fireFanWhileSeen(p, SPREAD_SPEED_MILLIPX, false, SOUND_FIRE_SPREAD);
}

// Four bullets that advance on the player as a straight row; only while the shooter can be seen.
int ef_fire_line(void *p) {
	return fireFanWhileSeen(p, LINE_SPEED_MILLIPX, true, SOUND_FIRE_LINE);
}

// One fast bullet that inherits the player's velocity of the moment.
int ef_fire_lead(void *p) {
	Entity *e = (Entity *)p;
	if (!hasTarget()) {
		return 0;
	}
	Entity *b = fireFromCentre(e, getAngle(e, player), AIMED_SPEED_MILLIPX);
	if (b == nullptr) {
		return 0;
	}
	// held in range: the player's velocity comes from the data
	b->xvel = saturatingAdd(b->xvel, player->xvel);
	b->yvel = saturatingAdd(b->yvel, player->yvel);
	heardIfSeen(e, SOUND_FIRE_LEAD);
	return 0;
}

// Queues one relative line-wave bullet on e.
static void queueWave(Entity *e, int xp, int yp, int t, int v, int delay) {
	int xv, yv;
	aimVel(t, v, &xv, &yv);
	e->addSpawnR(bulletFile, bulletId, xp, yp, xv, yv - BULLET_BIAS_MILLIPX, delay);
}

// Queues the two bullets of one line-wave row, o degrees either side of the aim a.
static void queueWaveRow(Entity *e, int xp, int yp, int a, int o, int v, int delay) {
	queueWave(e, xp, yp, a + o, v, delay);
	queueWave(e, xp, yp, a - o, v, delay);
}

// Eleven bullets in six rows, released over 25 cycles, that reach the player's spot together.
int ef_fire_linewave(void *p) {
	Entity *e = (Entity *)p;
	if (!hasTarget()) {
		return 1;
	}
	int pAng = getAngle(e, player);
	int xp = e->w / 2;
	int yp = -(e->h / 2);  // the same as (-h) / 2, without negating the lowest int
	int n = WAVE_N;
	int spaces = 2 * n - 2;
	int w = WAVE_SPAN_PIXELS / spaces;

	// Squares summed in doubles: exact wherever an int sum would be, and no overflow for
	// entities more than 46340 pixels apart.
	double dx = (double)e->x + xp - (double)player->x;
	double dy = (double)e->y + yp - (double)player->y;
	double h = trunc(sqrt(dx * dx + dy * dy));
	if (h > WAVE_MAX_DIST) {
		h = WAVE_MAX_DIST;
	}

	int s = (int)(atan((double)w / h) * RAD2DEG);
	int t = WAVE_FLIGHT_CYCLES;
	int d = t / (n + 16);
	int r = 0;
	int i;

	for (i = 1; i < n; i += 2) {
		queueWaveRow(e, xp, yp, pAng, s * i, (int)(sqrt(h * h + i * i * d * d) * 1000.0 / (t - d * r)), d * r);
		r++;
	}
	for (i = n - 2; i > 0; i -= 2) {
		queueWaveRow(e, xp, yp, pAng, s * i, (int)(sqrt(h * h + i * i * d * d) * 1000.0 / (t - d * r)), d * r);
		r++;
	}
	int v = (int)(sqrt(h * h) * 1000.0 / (t - d * r));
	queueWave(e, xp, yp, pAng, v, d * r);
	heardIfSeen(e, SOUND_FIRE_WAVE);
	return 1;
}
