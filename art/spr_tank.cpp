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
static void Tank_Track(Sprite &s, float x0, float x1, int frame, Color c, bool wrecked) {
	Mask m;
	Mask_Box(m, s.w, s.h, x0, 2.0f, x1, 30.0f);
	int part = Spr_NewPart();
	Spr_FillPart(s, m, Paint_Make(c, MAT_MATTE, PROFILE_ROUND, 0.0f, 1.5f, 2.0f), part);
	for (int y = 2; y < 30; y++) {
		// bars roll toward the front (down) as the tank drives
		int phase = ((y - frame) % 4 + 4) % 4;
		float tint = phase == 0 ? 0.55f : (phase == 1 ? 1.3f : 1.0f);
		if (wrecked && (y % 7) == 3) {
			tint = 0.4f;
		}
		for (int x = (int)x0; x < (int)x1; x++) {
			Spr_Tint(s, x, y, tint);
		}
	}
}

// the hull with its sloped front plate and rear engine grille
static void Tank_Hull(Sprite &s, const TankColors &tc) {
	static const float hull[] = {8.0f, 4.0f, 24.0f, 4.0f, 24.5f, 25.0f, 22.0f, 29.0f, 10.0f, 29.0f, 7.5f, 25.0f};
	Mask m;
	Mask_Polygon(m, s.w, s.h, hull, 6);
	Spr_Fill(s, m, Paint_Make(tc.hull, MAT_MATTE, PROFILE_BEVEL, 1.0f, 2.0f, 2.5f));
	for (int y = 5; y <= 8; y += 2) {
		for (int x = 11; x <= 20; x++) {
			Spr_Tint(s, x, y, 0.6f);
		}
	}
	// the fold where the front plate starts sloping down
	for (int x = 9; x <= 22; x++) {
		Spr_Tint(s, x, 24, 0.7f);
	}
	// faction marks on the rear corners
	for (int y = 5; y <= 6; y++) {
		Spr_Plot(s, 9, y, tc.mark, MAT_MATTE);
		Spr_Plot(s, 22, y, tc.mark, MAT_MATTE);
	}
}

// turret dome, hatch and gun, turned by an angle from straight down
static void Tank_Turret(Sprite &s, const TankColors &tc, float cx, float cy, float angle, float gunLen) {
	float gun[] = {cx - 1.0f, cy + 5.0f, cx + 1.0f, cy + 5.0f, cx + 1.0f, cy + gunLen, cx - 1.0f, cy + gunLen};
	Poly_Rotate(gun, 4, cx, cy, angle);
	Mask m;
	Mask_Polygon(m, s.w, s.h, gun, 4);
	Spr_Fill(s, m, Paint_Make(tc.barrel, MAT_METAL, PROFILE_ROUND, 3.0f, 1.0f, 1.0f));
	if (gunLen > 12.0f) {
		float brake[] = {cx - 1.5f, cy + gunLen - 2.0f, cx + 1.5f, cy + gunLen - 2.0f,
		                 cx + 1.5f, cy + gunLen + 0.3f, cx - 1.5f, cy + gunLen + 0.3f};
		Poly_Rotate(brake, 4, cx, cy, angle);
		Mask_Polygon(m, s.w, s.h, brake, 4);
		Spr_Fill(s, m, Paint_Make(tc.barrel, MAT_METAL, PROFILE_ROUND, 3.2f, 1.0f, 1.0f));
	}
	// a rounded hexagon, longer toward the gun
	float turret[] = {cx - 3.5f, cy - 5.5f, cx + 3.5f, cy - 5.5f, cx + 6.0f, cy - 1.5f,
	                  cx + 5.0f, cy + 5.5f, cx - 5.0f, cy + 5.5f, cx - 6.0f, cy - 1.5f};
	Poly_Rotate(turret, 6, cx, cy, angle);
	Mask_Polygon(m, s.w, s.h, turret, 6);
	Spr_Fill(s, m, Paint_Make(tc.turret, MAT_MATTE, PROFILE_ROUND, 3.0f, 2.5f, 3.0f));
	float hx = cx - 2.0f, hy = cy - 2.5f;
	float hatch[] = {hx, hy};
	Poly_Rotate(hatch, 1, cx, cy, angle);
	Mask_Ellipse(m, s.w, s.h, hatch[0], hatch[1], 1.6f, 1.6f, 0.0f);
	Spr_Fill(s, m, Paint_Make(Col_Scale(tc.turret, 0.8f), MAT_MATTE, PROFILE_ROUND, 6.2f, 0.6f, 1.0f));
}

// a tank frame: 32 x 32, gun toward the bottom
void Draw_Tank(Image &out, int frame) {
	TankColors tc;
	tc.track = Col_Make(64, 62, 56);
	tc.hull = Col_Make(112, 112, 72);
	tc.turret = Col_Make(140, 136, 90);
	tc.barrel = Col_Make(104, 104, 92);
	tc.mark = Col_Make(170, 40, 32);
	Sprite s;
	Spr_Init(s, TANK_SIZE, TANK_SIZE);
	Tank_Track(s, 3.0f, 9.0f, frame, tc.track, false);
	Tank_Track(s, 23.0f, 29.0f, frame, tc.track, false);
	Tank_Hull(s, tc);
	Tank_Turret(s, tc, TURRET_X, TURRET_Y, TURRET_SWAY[frame] * DEG, 16.0f);
	Spr_Render(s, out);
}

// soot and scattered embers over a painted wreck
static void Wreck_Scorch(Sprite &s) {
	Rng rng;
	Rng_Seed(rng, 4242);
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			float n = Noise_Fbm(x * 0.35f, y * 0.35f, 3, 77);
			if (n < 0.38f) {
				Spr_Tint(s, x, y, 0.5f);
			}
			// the engine deck burnt through
			float dx = (x + 0.5f - 15.0f) / 4.0f, dy = (y + 0.5f - 7.0f) / 2.5f;
			if (dx * dx + dy * dy < 1.0f) {
				Spr_Plot(s, x, y, Col_Make(18, 16, 14), MAT_MATTE);
			}
		}
	}
	for (int i = 0; i < 5; i++) {
		int x = Rng_Int(rng, 11, 20);
		int y = Rng_Int(rng, 5, 12);
		if (s.cels[(size_t)y * s.w + x].mat != MAT_NONE) {
			Spr_Plot(s, x, y, i & 1 ? Col_Make(255, 140, 40) : Col_Make(200, 70, 20), MAT_GLOW);
		}
	}
}

// the wreck: scorched hull, broken tracks, turret knocked askew, gun snapped
void Draw_Wreck(Image &out) {
	TankColors tc;
	tc.track = Col_Make(40, 36, 32);
	tc.hull = Col_Make(80, 64, 48);
	tc.turret = Col_Make(96, 74, 54);
	tc.barrel = Col_Make(70, 62, 56);
	tc.mark = Col_Make(80, 30, 24);
	Sprite s;
	Spr_Init(s, TANK_SIZE, TANK_SIZE);
	Tank_Track(s, 3.0f, 9.0f, 0, tc.track, true);
	Tank_Track(s, 23.0f, 29.0f, 2, tc.track, true);
	Tank_Hull(s, tc);
	Tank_Turret(s, tc, TURRET_X + 2.0f, TURRET_Y + 1.0f, 38.0f * DEG, 11.0f);
	Wreck_Scorch(s);
	Spr_Render(s, out);
}
