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
static Color Ground_ZoneColor(int zone, float x, float y) {
	float patch = Noise_Fbm(x / 48.0f, y / 48.0f, 4, 11);
	float patch2 = Noise_Fbm(x / 21.0f, y / 21.0f, 3, 12);
	switch (zone) {
	case ZONE_BASE:
		return Col_Mix(DIRT, DRY, Smooth_Step(0.35f, 0.65f, patch));
	case ZONE_BATTLE: {
		Color c = Col_Mix(MUD, DIRT, Smooth_Step(0.3f, 0.6f, patch));
		return Col_Mix(c, DRY, Smooth_Step(0.55f, 0.7f, patch2) * 0.8f);
	}
	case ZONE_FOREST:
		return Col_Mix(FOREST_FLOOR, GRASS_DARK, Smooth_Step(0.4f, 0.7f, patch));
	case ZONE_FARM:
		return Col_Mix(GRASS_DARK, GRASS, Smooth_Step(0.35f, 0.65f, patch));
	case ZONE_MEADOW: {
		Color c = Col_Mix(GRASS_DARK, GRASS, Smooth_Step(0.3f, 0.6f, patch));
		return Col_Mix(c, DRY, Smooth_Step(0.62f, 0.75f, patch2) * 0.7f);
	}
	default: {
		// dunes: sand with tufts of grass in the hollows
		Color c = Col_Mix(SAND, DRY, Smooth_Step(0.45f, 0.7f, patch));
		return Col_Mix(c, GRASS_DARK, Smooth_Step(0.6f, 0.72f, patch2) * 0.6f);
	}
	}
}

// clumps and single-pixel grain; quantised so the picture still compresses
static float Ground_Grain(int x, int y) {
	float clump = Noise_Value(x / 3.0f, y / 3.0f, 21) - 0.5f;
	float speck = Hash_Float(x, y, 22) - 0.5f;
	float g = 1.0f + clump * 0.16f + speck * 0.08f;
	return floorf(g * 24.0f + 0.5f) / 24.0f;
}

// paints the whole land with blended zone ground
void Ground_Paint(Land &land) {
	for (int y = 0; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			float w[ZONE_COUNT];
			Zone_Weights((float)x, (float)y, w);
			Color c = Col_Make(0, 0, 0);
			for (int z = 0; z < ZONE_COUNT; z++) {
				if (w[z] > 0.001f) {
					c = Col_Add(c, Col_Scale(Ground_ZoneColor(z, (float)x, (float)y), w[z]));
				}
			}
			Img_Set(land.img, x, y, Col_Scale(c, Ground_Grain(x, y)));
		}
	}
}
