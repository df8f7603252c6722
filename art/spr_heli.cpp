// The enemy gunship helicopter, nose down, with a spinning main rotor.
#include "sprites.h"
#include "paint.h"
#include "noise.h"

#include <cmath>

static const float DEG = 0.01745329f;
// the airframe is drawn in design units and enlarged about this point
static const float SCALE = 1.2f;
static const float PIVOT_X = 32.0f;
static const float PIVOT_Y = 33.0f;
static const float HUB_X = 32.0f;
static const float HUB_Y = 30.6f;
static const float BLADE_LEN = 27.0f;

static const Color HULL = {132, 138, 130};
static const Color HULL_DARK = {100, 106, 100};
static const Color GLASS = {46, 104, 118};
static const Color GUNMETAL = {74, 76, 80};
static const Color BLADE = {56, 58, 62};

// sprite x of a design x
static float heliX(float x) {
	return PIVOT_X + (x - PIVOT_X) * SCALE;
}

// sprite y of a design y
static float heliY(float y) {
	return PIVOT_Y + (y - PIVOT_Y) * SCALE;
}

// fills a polygon in design units as a new part
static void heliPoly(Sprite &s, const float *xy, int n, const Paint &p) {
	float mapped[32];
	for (int i = 0; i < n; i++) {
		mapped[i * 2] = heliX(xy[i * 2]);
		mapped[i * 2 + 1] = heliY(xy[i * 2 + 1]);
	}
	Mask m;
	maskPolygon(m, s.w, s.h, mapped, n);
	sprFill(s, m, p);
}

// fills an upright ellipse in design units as a new part
static void heliOval(Sprite &s, float cx, float cy, float rx, float ry, const Paint &p) {
	Mask m;
	maskEllipse(m, s.w, s.h, heliX(cx), heliY(cy), rx * SCALE, ry * SCALE, 0.0f);
	sprFill(s, m, p);
}

// plots one pixel at a design position
static void heliPlot(Sprite &s, float x, float y, Color c) {
	sprPlot(s, (int)heliX(x), (int)heliY(y), c, MAT_MATTE);
}

// tail boom, stabiliser and the tail rotor seen edge-on
static void heliTail(Sprite &s, int frame) {
	static const float boom[] = {30.0f, 28.0f, 34.0f, 28.0f, 33.2f, 8.0f, 30.8f, 8.0f};
	heliPoly(s, boom, 4, paintMake(HULL, MAT_MATTE, PROFILE_ROUND, 1.0f, 1.5f, 2.0f));
	static const float fin[] = {25.0f, 12.5f, 39.0f, 12.5f, 38.0f, 15.0f, 26.0f, 15.0f};
	heliPoly(s, fin, 4, paintMake(HULL_DARK, MAT_MATTE, PROFILE_BEVEL, 1.5f, 1.0f, 1.5f));
	// the spinning tail rotor looks like a line whose length changes
	static const float halfLen[HELI_FRAMES] = {4.0f, 1.6f, 2.9f};
	float h = halfLen[frame];
	float rotor[] = {33.6f, 10.5f - h, 35.0f, 10.5f - h, 35.0f, 10.5f + h, 33.6f, 10.5f + h};
	heliPoly(s, rotor, 4, paintMake(BLADE, MAT_METAL, PROFILE_FLAT, 3.0f, 0.0f, 0.0f));
}

// stub wings with a rocket pod at each tip
static void heliWings(Sprite &s) {
	static const float wing[] = {17.0f, 33.0f, 47.0f, 33.0f, 47.0f, 37.0f, 17.0f, 37.0f};
	heliPoly(s, wing, 4, paintMake(HULL_DARK, MAT_MATTE, PROFILE_BEVEL, 1.0f, 1.0f, 1.5f));
	for (int side = 0; side < 2; side++) {
		float x = side == 0 ? 19.5f : 44.5f;
		heliOval(s, x, 36.0f, 2.6f, 5.5f, paintMake(GUNMETAL, MAT_METAL, PROFILE_ROUND, 2.0f, 2.0f, 2.6f));
		// national markings on the wings
		float mx = side == 0 ? 23.0f : 40.0f;
		for (int k = 0; k < 4; k++) {
			heliPlot(s, mx + (k & 1), 34.2f + (k >> 1), colMake(176, 46, 36));
		}
		// warheads showing at the front of the pod
		heliPlot(s, x, 41.0f, colMake(180, 60, 40));
		heliPlot(s, x - 1.0f, 40.0f, colMake(150, 50, 36));
	}
}

// fuselage, engines, tandem canopy and chin gun
static void heliBody(Sprite &s) {
	static const float body[] = {28.5f, 23.0f, 35.5f, 23.0f, 39.5f, 32.0f, 39.5f, 44.0f, 37.0f,
	                             51.0f, 32.0f, 54.0f, 27.0f, 51.0f, 24.5f, 44.0f, 24.5f, 32.0f};
	heliPoly(s, body, 9, paintMake(HULL, MAT_MATTE, PROFILE_ROUND, 2.0f, 2.2f, 6.0f));
	for (int side = 0; side < 2; side++) {
		float x = side == 0 ? 27.5f : 36.5f;
		heliOval(s, x, 29.0f, 2.8f, 6.0f, paintMake(HULL_DARK, MAT_MATTE, PROFILE_ROUND, 4.0f, 2.0f, 2.8f));
		// exhaust soot at the back of each engine
		heliPlot(s, x, 23.0f, colMake(34, 34, 34));
		heliPlot(s, x, 24.0f, colMake(44, 42, 40));
	}
	heliOval(s, 32.0f, 40.5f, 3.8f, 3.4f, paintMake(GLASS, MAT_GLASS, PROFILE_ROUND, 4.5f, 1.5f, 3.0f));
	heliOval(s, 32.0f, 47.0f, 3.4f, 3.2f, paintMake(GLASS, MAT_GLASS, PROFILE_ROUND, 4.0f, 1.5f, 3.0f));
	static const float gun[] = {31.2f, 52.0f, 32.8f, 52.0f, 32.8f, 57.0f, 31.2f, 57.0f};
	heliPoly(s, gun, 4, paintMake(GUNMETAL, MAT_METAL, PROFILE_ROUND, 3.0f, 1.0f, 1.0f));
	heliOval(s, 32.0f, 53.0f, 2.2f, 2.0f, paintMake(GUNMETAL, MAT_METAL, PROFILE_ROUND, 3.5f, 1.5f, 2.0f));
}

// darker camouflage blotches over the painted (matte) parts
static void heliCamo(Sprite &s) {
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			Cel &c = s.cels[(size_t)y * s.w + x];
			if (c.mat == MAT_MATTE && noiseFbm(x * 0.2f, y * 0.2f, 2, 31) < 0.42f) {
				c.color = colMix(c.color, colMake(74, 80, 70), 0.4f);
			}
		}
	}
}

// four tapered blades and the hub, turned by an angle in degrees
static void heliRotor(Sprite &s, float angle) {
	int part = sprNewPart();
	for (int k = 0; k < 4; k++) {
		float blade[] = {HUB_X - 1.3f,      HUB_Y,        HUB_X + 1.3f,     HUB_Y, HUB_X + 1.0f,
		                 HUB_Y + BLADE_LEN, HUB_X - 1.0f, HUB_Y + BLADE_LEN};
		polyRotate(blade, 4, HUB_X, HUB_Y, (angle + k * 90.0f) * DEG);
		Mask m;
		maskPolygon(m, s.w, s.h, blade, 4);
		sprFillPart(s, m, paintMake(BLADE, MAT_METAL, PROFILE_ROUND, 9.0f, 1.0f, 1.2f), part);
	}
	Mask m;
	maskEllipse(m, s.w, s.h, HUB_X, HUB_Y, 2.6f, 2.6f, 0.0f);
	sprFill(s, m, paintMake(GUNMETAL, MAT_METAL, PROFILE_ROUND, 9.0f, 1.5f, 2.6f));
}

// a helicopter frame: 64 x 64, rotor a third of a quarter turn further each frame
void drawHeli(Image &out, int frame) {
	Sprite s;
	sprInit(s, HELI_SIZE, HELI_SIZE);
	heliTail(s, frame);
	heliWings(s);
	heliBody(s);
	heliCamo(s);
	heliRotor(s, 20.0f + frame * 30.0f);
	sprRender(s, out);
}
