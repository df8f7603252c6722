// Roads: one long highway up the left side and lanes crossing the field,
// with painted edge lines, a dashed centre line and bridges over the river.
#include "bg.h"
#include "noise.h"

#include <cmath>

enum RoadKind { ROAD_ASPHALT, ROAD_DIRT };

struct Road {
	const float *pts;  // spline control points (t, v)
	int count;
	bool vertical;  // true: x = v(y); false: y = v(x)
	float half;     // half the surface width
	int kind;
};

// the highway from the beach to the base gate, x by y
static const float HIGHWAY[] = {560,  150, 700,  130, 1000, 95,  1300, 110, 1600, 80,  1900, 95, 2200, 70,
                                2500, 92,  2800, 80,  3100, 110, 3400, 96,  3700, 70,  4000, 92, 4300, 118,
                                4600, 96,  4900, 80,  5200, 100, 5500, 82,  5800, 104, 6100, 90, 6190, 88};
// a lane along the right side of the farmland, x by y
static const float FARM_LANE[] = {3350, 404, 3600, 420, 3950, 410, 4200, 428, 4470, 420};
// crossing roads, y by x
static const float CROSS_1[] = {-50, 1230, 100, 1270, 250, 1240, 400, 1290, 500, 1280};
static const float CROSS_2[] = {-50, 2280, 120, 2250, 260, 2300, 380, 2230, 500, 2250};
static const float CROSS_3[] = {-50, 3330, 150, 3360, 300, 3340, 500, 3380};
static const float CROSS_4[] = {-50, 3990, 200, 3940, 330, 3960, 500, 3920};
static const float CROSS_5[] = {-50, 4470, 160, 4490, 320, 4460, 500, 4480};
static const float CROSS_6[] = {-50, 5070, 140, 5040, 300, 5080, 500, 5030};
static const float CROSS_7[] = {-50, 5600, 150, 5640, 300, 5610, 500, 5660};

#define ROAD(pts, vert, half, kind)                                                                                    \
	{ (pts), (int)(sizeof(pts) / sizeof((pts)[0]) / 2), (vert), (half), (kind) }

static const Road ROADS[] = {
	ROAD(HIGHWAY, true, 7.0f, ROAD_ASPHALT),  ROAD(FARM_LANE, true, 4.5f, ROAD_DIRT),
	ROAD(CROSS_1, false, 5.0f, ROAD_DIRT),    ROAD(CROSS_2, false, 6.0f, ROAD_ASPHALT),
	ROAD(CROSS_3, false, 6.0f, ROAD_ASPHALT), ROAD(CROSS_4, false, 6.0f, ROAD_ASPHALT),
	ROAD(CROSS_5, false, 4.5f, ROAD_DIRT),    ROAD(CROSS_6, false, 6.0f, ROAD_ASPHALT),
	ROAD(CROSS_7, false, 6.0f, ROAD_ASPHALT),
};
static const int ROAD_COUNT = (int)(sizeof(ROADS) / sizeof(ROADS[0]));

static const Color ASPHALT = {60, 60, 58};
static const Color SHOULDER = {90, 84, 68};
static const Color EDGE_LINE = {128, 126, 112};
static const Color CENTRE_LINE = {150, 132, 62};
static const Color DIRT_ROAD = {96, 80, 58};
static const Color RUT = {72, 60, 44};
static const Color PARAPET = {124, 122, 114};
static const Color PLANKS = {98, 78, 54};

// distance of a point from a road's centre line (signed: right or below is
// positive) and the position along it; false when the road does not reach there
static bool roadLocate(const Road &r, float x, float y, float *off, float *along) {
	float t = r.vertical ? y : x;
	float v = r.vertical ? x : y;
	float t0 = r.pts[0], t1 = r.pts[(r.count - 1) * 2];
	Spline sp = {r.pts, r.count};
	float slope;
	float c = splineEval(sp, t, &slope);
	*along = t;
	if (t < t0 || t > t1) {
		// round end caps
		float et = t < t0 ? t0 : t1;
		float ev = splineEval(sp, et, nullptr);
		float d = sqrtf((t - et) * (t - et) + (v - ev) * (v - ev));
		*off = v < ev ? -d : d;
		return d < r.half + 3.0f;
	}
	*off = (v - c) / sqrtf(1.0f + slope * slope);
	return fabsf(*off) < r.half + 3.0f;
}

// surface colour of an asphalt road at an offset, lines only where no other road is
static Color roadAsphalt(int x, int y, float off, float along, bool alone) {
	float a = fabsf(off);
	Color c = colScale(ASPHALT, 0.95f + hashFloat(x, y, 61) * 0.08f);
	if (!alone) {
		return c;
	}
	if (a < 0.6f && fmodf(along + 1000.0f, 16.0f) < 8.0f) {
		return CENTRE_LINE;
	}
	return c;
}

// surface colour of a dirt road: two wheel ruts and a grassy middle
static Color roadDirt(int x, int y, float off, float half) {
	float a = fabsf(off) / half;
	Color c = colScale(DIRT_ROAD, 0.92f + hashFloat(x, y, 62) * 0.14f);
	if (a > 0.35f && a < 0.65f) {
		c = colMix(c, RUT, 0.7f);
	}
	return c;
}

// paints one pixel of one road; others says how many other roads cover it
static void roadPixel(Land &land, const Road &r, int x, int y, float off, float along, int others) {
	float a = fabsf(off);
	int use = landUse(land, x, y);
	bool overWater = use == USE_WATER || use == USE_SHORE;
	if (use == USE_BASE) {
		return;
	}
	if (overWater) {
		// bridge: deck, parapets, and a shadow on the water below
		if (a < r.half) {
			Color deck = r.kind == ROAD_DIRT ? colScale(PLANKS, ((int)floorf(along) & 1) ? 0.85f : 1.0f)
			                                 : roadAsphalt(x, y, off, along, others == 0);
			imgSet(land.img, x, y, deck);
		} else if (a < r.half + 1.5f) {
			imgSet(land.img, x, y, r.kind == ROAD_DIRT ? colScale(PLANKS, 0.7f) : PARAPET);
		} else if (off > 0.0f && use == USE_WATER) {
			landDarken(land, x, y, 0.55f);
			return;
		} else {
			return;
		}
		landSetUse(land, x, y, USE_ROAD);
		return;
	}
	float edge = r.half + (r.kind == ROAD_DIRT ? (noiseValue(x / 3.0f, y / 3.0f, 63) - 0.5f) * 2.0f : 0.0f);
	if (a < edge) {
		Color c = r.kind == ROAD_DIRT ? roadDirt(x, y, off, r.half) : roadAsphalt(x, y, off, along, others == 0);
		if (r.kind == ROAD_ASPHALT && others == 0 && a > r.half - 2.2f && a < r.half - 1.2f) {
			c = EDGE_LINE;
		}
		imgSet(land.img, x, y, c);
		landSetUse(land, x, y, USE_ROAD);
	} else if (a < edge + 2.0f && r.kind == ROAD_ASPHALT && landUse(land, x, y) != USE_ROAD) {
		imgSet(land.img, x, y, colMix(imgGet(land.img, x, y), SHOULDER, 0.6f));
		landSetUse(land, x, y, USE_ROAD);
	}
}

// paints every road over the terrain and the river
void roadsPaint(Land &land) {
	for (int y = 0; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			float off[ROAD_COUNT], along[ROAD_COUNT];
			bool near[ROAD_COUNT];
			int covering = 0;
			for (int i = 0; i < ROAD_COUNT; i++) {
				near[i] = roadLocate(ROADS[i], x + 0.5f, y + 0.5f, &off[i], &along[i]);
				if (near[i] && fabsf(off[i]) < ROADS[i].half) {
					covering++;
				}
			}
			for (int i = 0; i < ROAD_COUNT; i++) {
				if (near[i]) {
					bool on = fabsf(off[i]) < ROADS[i].half;
					roadPixel(land, ROADS[i], x, y, off[i], along[i], covering - (on ? 1 : 0));
				}
			}
		}
	}
}
