// Houses and barns: gabled roofs lit from the upper left with a cast shadow,
// clustered into villages beside the roads and scattered as lone farms.
#include "bg.h"
#include "noise.h"

#include <cmath>

static const Color ROOFS[] = {{118, 62, 46}, {104, 56, 44}, {72, 76, 84}, {92, 74, 56}, {96, 96, 90}};
static const int ROOF_COUNT = (int)(sizeof(ROOFS) / sizeof(ROOFS[0]));

// village centres in the farmland and the meadows
static const float VILLAGES[][2] = {{170, 3330}, {60, 3960},  {250, 3930}, {140, 4470}, {60, 5060},
                                    {380, 5050}, {200, 5610}, {40, 2250},  {420, 3360}};

// darkens the shadow a box casts down and to the right
static void shadowBox(Land &land, int x0, int y0, int w, int h, int reach) {
	for (int y = y0 + 1; y < y0 + h + reach; y++) {
		for (int x = x0 + 1; x < x0 + w + reach; x++) {
			bool inside = x < x0 + w && y < y0 + h;
			bool cast = x - y0 - (y - y0) < x0 + w && y - (x - x0) < y0 + h;
			if (!inside && cast && landUse(land, x, y) != USE_BUILDING) {
				landDarken(land, x, y, 0.58f);
			}
		}
	}
}

// a building with a gabled roof along its long side
void buildingDraw(Land &land, int x0, int y0, int w, int h, Color roof, int use) {
	shadowBox(land, x0, y0, w, h, 3);
	bool ridgeAcross = w >= h;
	for (int y = y0; y < y0 + h; y++) {
		for (int x = x0; x < x0 + w; x++) {
			int i = ridgeAcross ? y - y0 : x - x0;
			int span = ridgeAcross ? h : w;
			// the half facing up or left catches the light
			float light = i < span / 2 ? 1.18f : 0.72f;
			if (span % 2 == 1 && i == span / 2) {
				light = 1.35f;
			}
			int along = ridgeAcross ? x : y;
			if ((along & 1) == 0) {
				light *= 0.93f;
			}
			bool eave = x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1;
			Color c = colScale(roof, eave ? light * 0.62f : light);
			imgSet(land.img, x, y, c);
			landSetUse(land, x, y, use);
		}
	}
}

// true if a road lies within a few pixels of the box
static bool nearRoad(const Land &land, int x0, int y0, int x1, int y1) {
	for (int y = y0 - 10; y <= y1 + 10; y += 2) {
		for (int x = x0 - 10; x <= x1 + 10; x += 2) {
			if (landUse(land, x, y) == USE_ROAD) {
				return true;
			}
		}
	}
	return false;
}

// tries to put one house near a point; true if it found room
static bool housePlace(Land &land, Rng &rng, float cx, float cy, float spread, bool needRoad) {
	int w = rngInt(rng, 8, 17);
	int h = rngInt(rng, 7, 13);
	if (rngFloat(rng) < 0.5f) {
		int t = w;
		w = h;
		h = t;
	}
	int x = (int)(cx + rngRange(rng, -spread, spread));
	int y = (int)(cy + rngRange(rng, -spread, spread));
	// yards and gardens may replace fields, but not roads, water or houses
	for (int yy = y - 3; yy <= y + h + 3; yy++) {
		for (int xx = x - 3; xx <= x + w + 3; xx++) {
			int use = landUse(land, xx, yy);
			if (use != USE_GROUND && use != USE_FIELD && use != USE_HEDGE) {
				return false;
			}
		}
	}
	if (needRoad && !nearRoad(land, x, y, x + w, y + h)) {
		return false;
	}
	// a trodden yard around the house
	for (int yy = y - 3; yy <= y + h + 3; yy++) {
		for (int xx = x - 3; xx <= x + w + 3; xx++) {
			imgSet(land.img, xx, yy, colScale(colMake(82, 76, 56), 0.92f + hashFloat(xx, yy, 91) * 0.12f));
			landSetUse(land, xx, yy, USE_SCAR);
		}
	}
	buildingDraw(land, x, y, w, h, ROOFS[rngInt(rng, 0, ROOF_COUNT)], USE_BUILDING);
	return true;
}

// villages along the roads and lone farmsteads among the fields
void buildingsPaint(Land &land) {
	Rng rng;
	rngSeed(rng, 9101);
	int villages = (int)(sizeof(VILLAGES) / sizeof(VILLAGES[0]));
	for (int v = 0; v < villages; v++) {
		int placed = 0;
		for (int tries = 0; tries < 400 && placed < 9; tries++) {
			placed += housePlace(land, rng, VILLAGES[v][0], VILLAGES[v][1], 48.0f, true);
		}
	}
	for (int i = 0; i < 60; i++) {
		float x = rngRange(rng, 10.0f, BG_W - 30.0f);
		float y = rngRange(rng, 3000.0f, 5900.0f);
		housePlace(land, rng, x, y, 4.0f, false);
	}
}
