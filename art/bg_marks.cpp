// Scars of war: shell craters with lit rims and soot, zigzag trenches and
// the tread marks of tanks churned into the battlefield mud.
#include "bg.h"
#include "noise.h"

#include <cmath>

static const float LIGHT_X = -0.50f, LIGHT_Y = -0.62f, LIGHT_Z = 0.60f;
static const Color CRATER_DIRT = {78, 62, 44};
static const Color TRENCH_FLOOR = {36, 30, 24};
static const Color SANDBAG = {112, 102, 76};

// one crater: soot halo, raised rim lit from the upper left, dark bowl
static void craterDraw(Land &land, float cx, float cy, float radius, unsigned int seed) {
	float depth = radius * 0.6f;
	int reach = (int)(radius * 2.3f) + 1;
	for (int y = (int)cy - reach; y <= (int)cy + reach; y++) {
		for (int x = (int)cx - reach; x <= (int)cx + reach; x++) {
			int use = landUse(land, x, y);
			if (use == USE_WATER || use == USE_BASE || use == USE_BUILDING) {
				continue;
			}
			float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
			float r = sqrtf(dx * dx + dy * dy) + 0.001f;
			float n = noiseValue(x / 2.5f, y / 2.5f, seed);
			float soot = clamp01(1.0f - r / (radius * 2.3f) + (n - 0.5f) * 0.5f);
			Color c = imgGet(land.img, x, y);
			c = colMix(c, colMake(30, 26, 22), soot * 0.55f);
			if (r < radius * 1.45f) {
				// height: bowl inside, a ridge of thrown earth at the edge
				float u = (r - radius) / (radius * 0.25f);
				float dh = r < radius ? 2.0f * depth * r / (radius * radius) : 0.0f;
				dh += -0.4f * depth * 2.0f * u / (radius * 0.25f) * expf(-u * u);
				float nx = -dh * dx / r, ny = -dh * dy / r;
				float len = sqrtf(nx * nx + ny * ny + 1.0f);
				float shade = (nx * LIGHT_X + ny * LIGHT_Y + LIGHT_Z) / (len * LIGHT_Z);
				float earth = smoothStep(radius * 1.45f, radius * 0.9f, r);
				c = colMix(c, CRATER_DIRT, earth * 0.85f);
				if (r < radius) {
					c = colScale(c, 0.75f + 0.25f * r / radius);
				}
				c = colScale(c, 0.35f + 0.65f * clamp01(shade));
				if (use == USE_GROUND || use == USE_FIELD) {
					landSetUse(land, x, y, USE_SCAR);
				}
			}
			imgSet(land.img, x, y, c);
		}
	}
}

// scatters craters: dense on the battlefield, a few strays elsewhere
static void cratersScatter(Land &land) {
	Rng rng;
	rngSeed(rng, 8101);
	for (int i = 0; i < 1400; i++) {
		float x = rngRange(rng, 0.0f, (float)BG_W);
		float y = rngRange(rng, 500.0f, 6100.0f);
		float battle = zoneWeight(x, y, ZONE_BATTLE) + zoneWeight(x, y, ZONE_BASE) * 0.3f;
		float chance = battle * 0.55f + 0.008f;
		float roll = rngFloat(rng);
		float size = rngFloat(rng);
		if (roll > chance) {
			continue;
		}
		float radius = 2.5f + size * size * (battle > 0.5f ? 11.0f : 4.0f);
		craterDraw(land, x, y, radius, 8200u + (unsigned int)i);
	}
}

// a zigzag trench across the field at a height
static void trenchDraw(Land &land, float y0, unsigned int seed) {
	Rng rng;
	rngSeed(rng, seed);
	float px = -10.0f, py = y0;
	while (px < BG_W + 10) {
		float nx = px + rngRange(rng, 16.0f, 30.0f);
		float ny = y0 + rngRange(rng, -12.0f, 12.0f);
		float len = sqrtf((nx - px) * (nx - px) + (ny - py) * (ny - py));
		for (float s = 0.0f; s <= len; s += 0.5f) {
			float cx = px + (nx - px) * s / len;
			float cy = py + (ny - py) * s / len;
			for (int dy = -4; dy <= 3; dy++) {
				int x = (int)cx, y = (int)(cy + dy);
				int use = landUse(land, x, y);
				if (use == USE_WATER || use == USE_ROAD || use == USE_SHORE) {
					continue;
				}
				if (dy >= -1 && dy <= 2) {
					// the wall facing the light is the lower one
					imgSet(land.img, x, y, dy == 2 ? colScale(TRENCH_FLOOR, 1.8f) : TRENCH_FLOOR);
					landSetUse(land, x, y, USE_SCAR);
				} else if (dy >= -3) {
					// two rows of sandbags along the enemy-facing lip
					float bag = ((x + dy * 2) % 4) == 0 ? 0.7f : 1.0f;
					imgSet(land.img, x, y, colScale(SANDBAG, bag * (dy == -3 ? 1.1f : 0.9f)));
					landSetUse(land, x, y, USE_SCAR);
				} else {
					landDarken(land, x, y, 0.8f);
				}
			}
		}
		px = nx;
		py = ny;
	}
}

// pairs of faint tread lines wandering across the mud
static void tracksDraw(Land &land) {
	Rng rng;
	rngSeed(rng, 8301);
	for (int i = 0; i < 14; i++) {
		float x = rngRange(rng, 20.0f, BG_W - 20.0f);
		float y = rngRange(rng, 760.0f, 1850.0f);
		float heading = rngRange(rng, 0.0f, 6.2831853f);
		int steps = rngInt(rng, 120, 300);
		for (int s = 0; s < steps; s++) {
			heading += rngRange(rng, -0.05f, 0.05f);
			x += cosf(heading);
			y += sinf(heading);
			for (int side = -1; side <= 1; side += 2) {
				int tx = (int)(x - sinf(heading) * 4.0f * side);
				int ty = (int)(y + cosf(heading) * 4.0f * side);
				int use = landUse(land, tx, ty);
				if (use == USE_GROUND || use == USE_SCAR) {
					landDarken(land, tx, ty, (s & 2) ? 0.8f : 0.88f);
				}
			}
		}
	}
}

// all battle damage on the land
void marksPaint(Land &land) {
	tracksDraw(land);
	trenchDraw(land, 1020.0f, 8401);
	trenchDraw(land, 1480.0f, 8402);
	trenchDraw(land, 1760.0f, 8403);
	cratersScatter(land);
}
