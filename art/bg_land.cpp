// The land buffer, its use mask, the zones along the height and splines.
#include "bg.h"
#include "noise.h"

#include <cmath>

// zone borders along y, top to bottom; each zone blends into the next
static const float ZONE_EDGES[ZONE_COUNT - 1] = {700.0f, 1900.0f, 3100.0f, 4700.0f, 5950.0f};
static const float ZONE_BLEND = 70.0f;

// an empty land of the background's size
void landInit(Land &land) {
	imgInit(land.img, BG_W, BG_H, colMake(0, 0, 0));
	land.use.assign((size_t)BG_W * BG_H, USE_GROUND);
}

// what occupies a pixel; outside the land counts as a building (never free)
int landUse(const Land &land, int x, int y) {
	if (x < 0 || y < 0 || x >= BG_W || y >= BG_H) {
		return USE_BUILDING;
	}
	return land.use[(size_t)y * BG_W + x];
}

// marks what occupies a pixel
void landSetUse(Land &land, int x, int y, int use) {
	if (x < 0 || y < 0 || x >= BG_W || y >= BG_H) {
		return;
	}
	land.use[(size_t)y * BG_W + x] = (unsigned char)use;
}

// true when every pixel of the box is open ground
bool landAreaFree(const Land &land, int x0, int y0, int x1, int y1) {
	for (int y = y0; y <= y1; y++) {
		for (int x = x0; x <= x1; x++) {
			if (landUse(land, x, y) != USE_GROUND) {
				return false;
			}
		}
	}
	return true;
}

// scales a pixel's colour (shadows, soot)
void landDarken(Land &land, int x, int y, float factor) {
	if (x < 0 || y < 0 || x >= BG_W || y >= BG_H) {
		return;
	}
	imgSet(land.img, x, y, colScale(imgGet(land.img, x, y), factor));
}

// how much each zone owns a point; the borders wander so no line is straight
void zoneWeights(float x, float y, float w[ZONE_COUNT]) {
	float wobble = (noiseFbm(x / 140.0f, y / 140.0f, 3, 901) - 0.5f) * 220.0f;
	float yy = y + wobble;
	float prev = 1.0f;
	for (int i = 0; i < ZONE_COUNT - 1; i++) {
		float past = smoothStep(ZONE_EDGES[i] - ZONE_BLEND, ZONE_EDGES[i] + ZONE_BLEND, yy);
		w[i] = prev * (1.0f - past);
		prev *= past;
	}
	w[ZONE_COUNT - 1] = prev;
}

// how much one zone owns a point
float zoneWeight(float x, float y, int zone) {
	float w[ZONE_COUNT];
	zoneWeights(x, y, w);
	return w[zone];
}

// Catmull-Rom interpolation through (t, value) pairs; flat outside the ends
float splineEval(const Spline &sp, float t, float *slope) {
	const float *p = sp.pts;
	int n = sp.count;
	if (t <= p[0]) {
		if (slope) {
			*slope = 0.0f;
		}
		return p[1];
	}
	if (t >= p[(n - 1) * 2]) {
		if (slope) {
			*slope = 0.0f;
		}
		return p[(n - 1) * 2 + 1];
	}
	int i = 0;
	while (i < n - 2 && t > p[(i + 1) * 2]) {
		i++;
	}
	float t0 = p[i * 2], t1 = p[(i + 1) * 2];
	float v0 = p[(i > 0 ? i - 1 : i) * 2 + 1];
	float v1 = p[i * 2 + 1];
	float v2 = p[(i + 1) * 2 + 1];
	float v3 = p[(i + 2 < n ? i + 2 : i + 1) * 2 + 1];
	float u = (t - t0) / (t1 - t0);
	float u2 = u * u, u3 = u2 * u;
	float v = 0.5f * (2.0f * v1 + (-v0 + v2) * u + (2.0f * v0 - 5.0f * v1 + 4.0f * v2 - v3) * u2 +
	                  (-v0 + 3.0f * v1 - 3.0f * v2 + v3) * u3);
	if (slope) {
		float dv = 0.5f * ((-v0 + v2) + 2.0f * (2.0f * v0 - 5.0f * v1 + 4.0f * v2 - v3) * u +
		                   3.0f * (-v0 + 3.0f * v1 - 3.0f * v2 + v3) * u2);
		*slope = dv / (t1 - t0);
	}
	return v;
}
