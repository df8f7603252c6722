// Bare terrain: grass, dry grass, dirt, mud and sand mixed by zone and noise,
// with a fine grain so the ground never looks like flat colour.
#include "bg.h"
#include "noise.h"

#include <cmath>

static const Color GRASS = {60, 76, 40};
static const Color GRASS_DARK = {44, 58, 32};
static const Color DRY = {88, 84, 52};
static const Color DIRT = {86, 70, 50};
static const Color MUD = {62, 52, 40};
static const Color SAND = {124, 112, 84};
static const Color FOREST_FLOOR = {38, 48, 28};

// the ground colour one zone would have at a point
static Color groundZoneColor(int zone, float x, float y) {
	float patch = noiseFbm(x / 48.0f, y / 48.0f, 4, 11);
	float patch2 = noiseFbm(x / 21.0f, y / 21.0f, 3, 12);
	switch (zone) {
	case ZONE_BASE:
		return colMix(DIRT, DRY, smoothStep(0.35f, 0.65f, patch));
	case ZONE_BATTLE: {
		Color c = colMix(MUD, DIRT, smoothStep(0.3f, 0.6f, patch));
		return colMix(c, DRY, smoothStep(0.55f, 0.7f, patch2) * 0.8f);
	}
	case ZONE_FOREST:
		return colMix(FOREST_FLOOR, GRASS_DARK, smoothStep(0.4f, 0.7f, patch));
	case ZONE_FARM:
		return colMix(GRASS_DARK, GRASS, smoothStep(0.35f, 0.65f, patch));
	case ZONE_MEADOW: {
		Color c = colMix(GRASS_DARK, GRASS, smoothStep(0.3f, 0.6f, patch));
		return colMix(c, DRY, smoothStep(0.62f, 0.75f, patch2) * 0.7f);
	}
	default: {
		// dunes: sand with tufts of grass in the hollows
		Color c = colMix(SAND, DRY, smoothStep(0.45f, 0.7f, patch));
		return colMix(c, GRASS_DARK, smoothStep(0.6f, 0.72f, patch2) * 0.6f);
	}
	}
}

// clumps and single-pixel grain; quantised so the picture still compresses
static float groundGrain(int x, int y) {
	float clump = noiseValue(x / 3.0f, y / 3.0f, 21) - 0.5f;
	float speck = hashFloat(x, y, 22) - 0.5f;
	float g = 1.0f + clump * 0.16f + speck * 0.08f;
	return floorf(g * 24.0f + 0.5f) / 24.0f;
}

// paints the whole land with blended zone ground
void groundPaint(Land &land) {
	for (int y = 0; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			float w[ZONE_COUNT];
			zoneWeights((float)x, (float)y, w);
			Color c = colMake(0, 0, 0);
			for (int z = 0; z < ZONE_COUNT; z++) {
				if (w[z] > 0.001f) {
					c = colAdd(c, colScale(groundZoneColor(z, (float)x, (float)y), w[z]));
				}
			}
			imgSet(land.img, x, y, colScale(c, groundGrain(x, y)));
		}
	}
}
