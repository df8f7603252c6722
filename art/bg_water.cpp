// The river that winds down the whole field and the sea at the bottom.
#include "bg.h"
#include "noise.h"

#include <cmath>

// river centre x at control heights; it enters from the right edge below the base
static const float RIVER_PTS[] = {560,  520,  700,  410,  900,  330,  1200, 360,  1500, 300,  1800,
                                  205,  2100, 160,  2400, 215,  2700, 320,  3000, 352,  3300, 292,
                                  3600, 212,  3900, 238,  4200, 330,  4500, 362,  4800, 304,  5100,
                                  262,  5400, 292,  5700, 334,  6000, 302,  6300, 268,  6500, 258};
static const float RIVER_TOP = 560.0f;

static const Color DEEP = {26, 44, 56};
static const Color SHALLOW = {46, 68, 70};
static const Color WET_MUD = {50, 44, 34};
static const Color GRAVEL = {104, 96, 74};
static const Color SEA_DEEP = {22, 40, 60};
static const Color SEA_SHALLOW = {44, 74, 84};
static const Color FOAM = {150, 160, 156};
static const Color WET_SAND = {100, 90, 68};

// river centre x at a height; slope is dx/dy
float riverCentre(float y, float *slope) {
	Spline sp = {RIVER_PTS, (int)(sizeof(RIVER_PTS) / sizeof(RIVER_PTS[0]) / 2)};
	return splineEval(sp, y, slope);
}

// half the water's width; the river widens toward the sea
float riverHalfWidth(float y) {
	float w = 12.0f + 4.0f * sinf(y / 310.0f) + 2.0f * sinf(y / 77.0f);
	if (y > 5800.0f) {
		w += (y - 5800.0f) * 0.03f;
	}
	return w;
}

// signed distance across the river from its centre line, in pixels
static float riverOffset(float x, float y) {
	float slope;
	float cx = riverCentre(y, &slope);
	return (x - cx) / sqrtf(1.0f + slope * slope);
}

// water colour: deeper in the middle, streaked along the current (sx, sy)
static Color waterColor(float depth, float x, float y, Color deep, Color shallow, float sx, float sy) {
	Color c = colMix(shallow, deep, smoothStep(0.0f, 0.8f, depth));
	float streak = noiseValue(x / sx, y / sy, 41);
	if (streak > 0.72f) {
		c = colScale(c, 1.12f);
	}
	return c;
}

// water, wet mud and a gravel bank either side
void riverPaint(Land &land) {
	for (int y = (int)RIVER_TOP - 40; y < BG_H; y++) {
		float half = riverHalfWidth((float)y);
		for (int x = 0; x < BG_W; x++) {
			float off = riverOffset(x + 0.5f, y + 0.5f);
			float wobble = (noiseValue(x / 6.0f, y / 6.0f, 43) - 0.5f) * 4.0f;
			float d = fabsf(off) + wobble;
			if (d < half) {
				Color c = waterColor(1.0f - d / half, (float)x, (float)y, DEEP, SHALLOW, 3.0f, 18.0f);
				// the left bank shades the water beside it
				if (off < 0.0f && d > half - 3.0f) {
					c = colScale(c, 0.72f);
				}
				imgSet(land.img, x, y, c);
				landSetUse(land, x, y, USE_WATER);
			} else if (d < half + 2.0f) {
				imgSet(land.img, x, y, WET_MUD);
				landSetUse(land, x, y, USE_SHORE);
			} else if (d < half + 5.0f + wobble) {
				float t = hashFloat(x, y, 44) * 0.2f + 0.9f;
				Color ground = imgGet(land.img, x, y);
				Color bank = colMix(ground, colScale(GRAVEL, t), 0.8f);
				imgSet(land.img, x, y, bank);
				landSetUse(land, x, y, USE_SHORE);
			}
		}
	}
}

// y of the waterline at a column
float coastShoreline(float x) {
	return 6262.0f + 18.0f * sinf(x / 63.0f + 1.0f) + (noiseFbm(x / 40.0f, 3.0f, 3, 51) - 0.5f) * 30.0f;
}

// beach and sea along the bottom edge, with a foam line and wave crests
void coastPaint(Land &land) {
	for (int y = 6100; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			float shore = coastShoreline((float)x);
			float d = y - shore;
			if (d < -40.0f) {
				continue;
			}
			// the river runs on across the beach into the sea
			if (d < 0.0f && landUse(land, x, y) == USE_WATER) {
				continue;
			}
			Color c;
			if (d < -6.0f) {
				// dry beach, shading into the dunes above
				Color sand = colMake(132, 120, 90);
				float t = smoothStep(-40.0f, -28.0f, d);
				c = colMix(imgGet(land.img, x, y), sand, t * 0.9f);
				c = colScale(c, 0.94f + hashFloat(x, y, 52) * 0.08f);
				imgSet(land.img, x, y, c);
				if (landUse(land, x, y) == USE_GROUND) {
					landSetUse(land, x, y, USE_SHORE);
				}
				continue;
			}
			if (d < 0.0f) {
				c = WET_SAND;
				landSetUse(land, x, y, USE_SHORE);
			} else {
				c = waterColor(clamp01(d / 110.0f), (float)x, (float)y, SEA_DEEP, SEA_SHALLOW, 18.0f, 3.0f);
				// foam at the waterline and two rows of crests rolling in
				float crest = sinf((d - noiseValue(x / 30.0f, 0.0f, 53) * 12.0f) / 9.0f);
				bool broken = noiseValue(x / 14.0f, d / 9.0f, 54) < 0.45f;
				if (d < 2.0f || (d > 14.0f && crest > 0.95f && !broken)) {
					c = colMix(c, FOAM, d < 2.0f ? 0.7f : 0.25f);
				}
				landSetUse(land, x, y, USE_WATER);
			}
			imgSet(land.img, x, y, c);
		}
	}
}
