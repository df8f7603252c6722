// The level background: a 450 x 6400 top-down landscape built in layers.
// The camera starts at the bottom (a coast) and climbs over meadows,
// farmland, forest and a shelled battlefield to an enemy base at the top.
#pragma once

#include "img.h"

#include <vector>

const int BG_W = 450;
const int BG_H = 6400;

// what occupies a pixel, so later layers know where they may draw
enum Use {
	USE_GROUND,
	USE_WATER,
	USE_SHORE,
	USE_ROAD,
	USE_FIELD,
	USE_HEDGE,
	USE_SCAR,
	USE_BUILDING,
	USE_BASE,
	USE_TREE
};

// regions along the height of the field, top to bottom
enum Zone { ZONE_BASE, ZONE_BATTLE, ZONE_FOREST, ZONE_FARM, ZONE_MEADOW, ZONE_COAST, ZONE_COUNT };

struct Land {
	Image img;
	std::vector<unsigned char> use;
};

// a smooth curve through control points (t, value), t increasing
struct Spline {
	const float *pts;
	int count;
};

void landInit(Land &land);
int landUse(const Land &land, int x, int y);
void landSetUse(Land &land, int x, int y, int use);
bool landAreaFree(const Land &land, int x0, int y0, int x1, int y1);
void landDarken(Land &land, int x, int y, float factor);
void zoneWeights(float x, float y, float w[ZONE_COUNT]);
float zoneWeight(float x, float y, int zone);
float splineEval(const Spline &sp, float t, float *slope);

void groundPaint(Land &land);
float riverCentre(float y, float *slope);
float riverHalfWidth(float y);
void riverPaint(Land &land);
float coastShoreline(float x);
void coastPaint(Land &land);
void fieldsPaint(Land &land);
void roadsPaint(Land &land);
void basePaint(Land &land);
void marksPaint(Land &land);
void buildingsPaint(Land &land);
void treesPaint(Land &land);
void buildingDraw(Land &land, int x0, int y0, int w, int h, Color roof, int use);
void landPaintAll(Land &land);
