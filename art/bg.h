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

void Land_Init(Land &land);
int Land_Use(const Land &land, int x, int y);
void Land_SetUse(Land &land, int x, int y, int use);
bool Land_AreaFree(const Land &land, int x0, int y0, int x1, int y1);
void Land_Darken(Land &land, int x, int y, float factor);
void Zone_Weights(float x, float y, float w[ZONE_COUNT]);
float Zone_Weight(float x, float y, int zone);
float Spline_Eval(const Spline &sp, float t, float *slope);

void Ground_Paint(Land &land);
float River_Centre(float y, float *slope);
float River_HalfWidth(float y);
void River_Paint(Land &land);
float Coast_Shoreline(float x);
void Coast_Paint(Land &land);
void Fields_Paint(Land &land);
void Roads_Paint(Land &land);
void Base_Paint(Land &land);
void Marks_Paint(Land &land);
void Buildings_Paint(Land &land);
void Trees_Paint(Land &land);
void Building_Draw(Land &land, int x0, int y0, int w, int h, Color roof, int use);
void Land_PaintAll(Land &land);
