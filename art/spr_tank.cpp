// The enemy tank, facing down the screen, and its burnt-out wreck.
#include "sprites.h"
#include "paint.h"
#include "noise.h"

#include <cmath>

static const float DEG = 0.01745329f;
// turret angle per frame: a slow sway either side of straight down
static const float TURRET_SWAY[TANK_FRAMES] = {0.0f, 7.0f, 0.0f, -7.0f};
static const float TURRET_X = 16.0f;
static const float TURRET_Y = 14.0f;

// colours of a working tank and of a burnt one
struct TankColors {
	Color track, hull, turret, barrel, mark;
};

// one track with tread bars shifted by the animation frame
static void tankTrack(Sprite &s, float x0, float x1, int frame, Color c, bool wrecked) {
	Mask m;
	maskBox(m, s.w, s.h, x0, 2.0f, x1, 30.0f);
	int part = sprNewPart();
	sprFillPart(s, m, paintMake(c, MAT_MATTE, PROFILE_ROUND, 0.0f, 1.5f, 2.0f), part);
	for (int y = 2; y < 30; y++) {
		// bars roll toward the front (down) as the tank drives
		int phase = ((y - frame) % 4 + 4) % 4;
		float tint = phase == 0 ? 0.55f : (phase == 1 ? 1.3f : 1.0f);
		if (wrecked && (y % 7) == 3) {
			tint = 0.4f;
		}
		for (int x = (int)x0; x < (int)x1; x++) {
			sprTint(s, x, y, tint);
		}
	}
}

// the hull with its sloped front plate and rear engine grille
static void tankHull(Sprite &s, const TankColors &tc) {
	static const float hull[] = {8.0f, 4.0f, 24.0f, 4.0f, 24.5f, 25.0f, 22.0f, 29.0f, 10.0f, 29.0f, 7.5f, 25.0f};
	Mask m;
	maskPolygon(m, s.w, s.h, hull, 6);
	sprFill(s, m, paintMake(tc.hull, MAT_MATTE, PROFILE_BEVEL, 1.0f, 2.0f, 2.5f));
	for (int y = 5; y <= 8; y += 2) {
		for (int x = 11; x <= 20; x++) {
			sprTint(s, x, y, 0.6f);
		}
	}
	// the fold where the front plate starts sloping down
	for (int x = 9; x <= 22; x++) {
		sprTint(s, x, 24, 0.7f);
	}
	// faction marks on the rear corners
	for (int y = 5; y <= 6; y++) {
		sprPlot(s, 9, y, tc.mark, MAT_MATTE);
		sprPlot(s, 22, y, tc.mark, MAT_MATTE);
	}
}

// turret dome, hatch and gun, turned by an angle from straight down
static void tankTurret(Sprite &s, const TankColors &tc, float cx, float cy, float angle, float gunLen) {
	float gun[] = {cx - 1.0f, cy + 5.0f, cx + 1.0f, cy + 5.0f, cx + 1.0f, cy + gunLen, cx - 1.0f, cy + gunLen};
	polyRotate(gun, 4, cx, cy, angle);
	Mask m;
	maskPolygon(m, s.w, s.h, gun, 4);
	sprFill(s, m, paintMake(tc.barrel, MAT_METAL, PROFILE_ROUND, 3.0f, 1.0f, 1.0f));
	if (gunLen > 12.0f) {
		float brake[] = {cx - 1.5f, cy + gunLen - 2.0f, cx + 1.5f, cy + gunLen - 2.0f,
		                 cx + 1.5f, cy + gunLen + 0.3f, cx - 1.5f, cy + gunLen + 0.3f};
		polyRotate(brake, 4, cx, cy, angle);
		maskPolygon(m, s.w, s.h, brake, 4);
		sprFill(s, m, paintMake(tc.barrel, MAT_METAL, PROFILE_ROUND, 3.2f, 1.0f, 1.0f));
	}
	// a rounded hexagon, longer toward the gun
	float turret[] = {cx - 3.5f, cy - 5.5f, cx + 3.5f, cy - 5.5f, cx + 6.0f, cy - 1.5f,
	                  cx + 5.0f, cy + 5.5f, cx - 5.0f, cy + 5.5f, cx - 6.0f, cy - 1.5f};
	polyRotate(turret, 6, cx, cy, angle);
	maskPolygon(m, s.w, s.h, turret, 6);
	sprFill(s, m, paintMake(tc.turret, MAT_MATTE, PROFILE_ROUND, 3.0f, 2.5f, 3.0f));
	float hx = cx - 2.0f, hy = cy - 2.5f;
	float hatch[] = {hx, hy};
	polyRotate(hatch, 1, cx, cy, angle);
	maskEllipse(m, s.w, s.h, hatch[0], hatch[1], 1.6f, 1.6f, 0.0f);
	sprFill(s, m, paintMake(colScale(tc.turret, 0.8f), MAT_MATTE, PROFILE_ROUND, 6.2f, 0.6f, 1.0f));
}

// a tank's tracks, their tread bars at the frames given, and its hull, on a fresh sprite
static void tankBody(Sprite &s, const TankColors &tc, int leftFrame, int rightFrame, bool wrecked) {
	sprInit(s, TANK_SIZE, TANK_SIZE);
	tankTrack(s, 3.0f, 9.0f, leftFrame, tc.track, wrecked);
	tankTrack(s, 23.0f, 29.0f, rightFrame, tc.track, wrecked);
	tankHull(s, tc);
}

// a tank frame: 32 x 32, gun toward the bottom
void drawTank(Image &out, int frame) {
	const TankColors tc = {colMake(64, 62, 56), colMake(112, 112, 72), colMake(140, 136, 90), colMake(104, 104, 92),
	                       colMake(170, 40, 32)};
	Sprite s;
	tankBody(s, tc, frame, frame, false);
	tankTurret(s, tc, TURRET_X, TURRET_Y, TURRET_SWAY[frame] * DEG, 16.0f);
	sprRender(s, out);
}

// soot and scattered embers over a painted wreck
static void wreckScorch(Sprite &s) {
	Rng rng;
	rngSeed(rng, 4242);
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			float n = noiseFbm(x * 0.35f, y * 0.35f, 3, 77);
			if (n < 0.38f) {
				sprTint(s, x, y, 0.5f);
			}
			// the engine deck burnt through
			float dx = (x + 0.5f - 15.0f) / 4.0f, dy = (y + 0.5f - 7.0f) / 2.5f;
			if (dx * dx + dy * dy < 1.0f) {
				sprPlot(s, x, y, colMake(18, 16, 14), MAT_MATTE);
			}
		}
	}
	for (int i = 0; i < 5; i++) {
		int x = rngInt(rng, 11, 20);
		int y = rngInt(rng, 5, 12);
		if (s.cels[(size_t)y * s.w + x].mat != MAT_NONE) {
			sprPlot(s, x, y, i & 1 ? colMake(255, 140, 40) : colMake(200, 70, 20), MAT_GLOW);
		}
	}
}

// the wreck: scorched hull, broken tracks, turret knocked askew, gun snapped
void drawWreck(Image &out) {
	const TankColors tc = {colMake(40, 36, 32), colMake(80, 64, 48), colMake(96, 74, 54), colMake(70, 62, 56),
	                       colMake(80, 30, 24)};
	Sprite s;
	tankBody(s, tc, 0, 2, true);
	tankTurret(s, tc, TURRET_X + 2.0f, TURRET_Y + 1.0f, 38.0f * DEG, 11.0f);
	wreckScorch(s);
	sprRender(s, out);
}
