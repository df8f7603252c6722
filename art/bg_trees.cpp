// Trees: round canopies lit from the upper left with a shadow on the ground,
// thick in the forest, in copses on the meadows, along hedges and the river,
// and burnt to grey stumps on the battlefield.
#include "bg.h"
#include "noise.h"

#include <cmath>
#include <vector>

static const float LIGHT_X = -0.50f, LIGHT_Y = -0.62f, LIGHT_Z = 0.60f;
static const int TREE_CELL = 5;

struct Tree {
	float x, y, r;
	bool burnt;
	unsigned int seed;
};

// how likely a tree is at a point, from zone and what already lies there
static float treeDensity(const Land &land, float x, float y) {
	float w[ZONE_COUNT];
	zoneWeights(x, y, w);
	float woods = noiseFbm(x / 70.0f, y / 70.0f, 3, 101);
	float d = w[ZONE_FOREST] * smoothStep(0.32f, 0.45f, woods) * 0.9f;
	d += w[ZONE_MEADOW] * smoothStep(0.56f, 0.64f, woods) * 0.8f;
	d += w[ZONE_FARM] * smoothStep(0.62f, 0.7f, woods) * 0.7f + w[ZONE_FARM] * 0.02f;
	d += w[ZONE_BATTLE] * 0.05f + w[ZONE_BASE] * 0.12f + w[ZONE_COAST] * 0.02f;
	if (landUse(land, (int)x, (int)y) == USE_HEDGE) {
		d += 0.3f;
	}
	float slope;
	float river = fabsf(x - riverCentre(y, &slope)) - riverHalfWidth(y);
	if (y > 700.0f && river > 4.0f && river < 22.0f) {
		d += 0.25f;
	}
	return d;
}

// true when a canopy of radius r at (x, y) stands on open ground or hedge
static bool treeFits(const Land &land, float x, float y, float r) {
	static const float probe[5][2] = {{0, 0}, {0.7f, 0}, {-0.7f, 0}, {0, 0.7f}, {0, -0.7f}};
	for (int i = 0; i < 5; i++) {
		int use = landUse(land, (int)(x + probe[i][0] * r), (int)(y + probe[i][1] * r));
		if (use != USE_GROUND && use != USE_HEDGE && use != USE_TREE) {
			return false;
		}
	}
	return true;
}

// chooses tree positions on a jittered grid, top to bottom
static void treesPlan(const Land &land, std::vector<Tree> &trees) {
	Rng rng;
	rngSeed(rng, 10101);
	for (int gy = 0; gy < BG_H; gy += TREE_CELL) {
		for (int gx = 0; gx < BG_W; gx += TREE_CELL) {
			Tree t;
			t.x = gx + rngRange(rng, 0.0f, (float)TREE_CELL);
			t.y = gy + rngRange(rng, 0.0f, (float)TREE_CELL);
			float roll = rngFloat(rng);
			float size = rngFloat(rng);
			t.seed = rngNext(rng);
			float density = treeDensity(land, t.x, t.y);
			// sparse trees get a lower chance per cell, since each covers several cells
			if (roll > density * 0.45f) {
				continue;
			}
			t.r = 2.6f + size * 3.4f;
			t.burnt = zoneWeight(t.x, t.y, ZONE_BATTLE) > 0.5f;
			if (t.burnt) {
				t.r *= 0.7f;
			}
			if (treeFits(land, t.x, t.y, t.r)) {
				trees.push_back(t);
			}
		}
	}
}

// the soft shadow of a canopy, thrown down and to the right
static void treeShadow(Land &land, const Tree &t) {
	float sx = t.x + t.r * 0.6f, sy = t.y + t.r * 0.75f;
	int reach = (int)t.r + 2;
	for (int y = (int)sy - reach; y <= (int)sy + reach; y++) {
		for (int x = (int)sx - reach; x <= (int)sx + reach; x++) {
			float dx = x + 0.5f - sx, dy = y + 0.5f - sy;
			if (dx * dx + dy * dy < t.r * t.r && landUse(land, x, y) != USE_TREE) {
				landDarken(land, x, y, 0.62f);
			}
		}
	}
}

// canopy colour bands from shadowed to sunlit leaves
static Color treeLeaf(float light, unsigned int seed, bool burnt) {
	static const Color green[4] = {{22, 36, 20}, {34, 54, 28}, {52, 76, 38}, {74, 98, 50}};
	static const Color ash[4] = {{26, 24, 22}, {40, 36, 32}, {58, 52, 46}, {76, 70, 62}};
	int band = light < 0.45f ? 0 : (light < 0.75f ? 1 : (light < 1.0f ? 2 : 3));
	Color c = burnt ? ash[band] : green[band];
	// each tree leans a little yellow or blue
	float tint = ((seed >> 8) & 255) / 255.0f - 0.5f;
	return colMake(c.r * (1.0f + tint * 0.25f), c.g, c.b * (1.0f - tint * 0.3f));
}

// one canopy: a lumpy hemisphere, lit, with clumps of leaves
static void treeCanopy(Land &land, const Tree &t) {
	int reach = (int)(t.r * 1.2f) + 1;
	for (int y = (int)t.y - reach; y <= (int)t.y + reach; y++) {
		for (int x = (int)t.x - reach; x <= (int)t.x + reach; x++) {
			float dx = x + 0.5f - t.x, dy = y + 0.5f - t.y;
			float edge = t.r * (0.82f + 0.36f * noiseValue(x / 1.7f, y / 1.7f, t.seed & 0xffff));
			float d2 = dx * dx + dy * dy;
			if (d2 >= edge * edge) {
				continue;
			}
			// burnt trees are bare: only the thicker branches remain
			if (t.burnt && hashFloat(x, y, t.seed) < 0.35f) {
				continue;
			}
			float nz = sqrtf(clamp01(1.0f - d2 / (edge * edge)));
			float nx = dx / edge, ny = dy / edge;
			float light = (nx * LIGHT_X + ny * LIGHT_Y + nz * LIGHT_Z) / LIGHT_Z;
			light += (noiseValue(x / 1.3f, y / 1.3f, 102) - 0.5f) * 0.5f;
			imgSet(land.img, x, y, treeLeaf(light, t.seed, t.burnt));
			landSetUse(land, x, y, USE_TREE);
		}
	}
}

// plants every tree: all shadows first, then canopies top to bottom
void treesPaint(Land &land) {
	std::vector<Tree> trees;
	treesPlan(land, trees);
	for (const Tree &t : trees) {
		treeShadow(land, t);
	}
	for (const Tree &t : trees) {
		treeCanopy(land, t);
	}
}
