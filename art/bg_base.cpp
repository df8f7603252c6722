// The enemy base at the top of the field: a fenced concrete apron with
// hangars, helipads, fuel tanks, barracks, a motor pool and a radar dish.
#include "bg.h"
#include "noise.h"

#include <cmath>

static const int FENCE_X0 = 18, FENCE_Y0 = 66, FENCE_X1 = 432, FENCE_Y1 = 566;
static const int GATE_X0 = 136, GATE_X1 = 166;
static const Color CONCRETE = {96, 96, 92};
static const Color ASPHALT = {58, 58, 56};
static const Color PAINT = {150, 136, 66};
static const Color BARRACKS_ROOF = {78, 88, 70};

// concrete slabs with joints, oil stains and grain
static Color baseConcrete(int x, int y) {
	float stain = noiseFbm(x / 18.0f, y / 18.0f, 3, 111);
	Color c = colScale(CONCRETE, 0.94f + hashFloat(x, y, 112) * 0.08f);
	if (stain < 0.3f) {
		c = colScale(c, 0.88f);
	}
	if (x % 24 == 0 || y % 24 == 0) {
		c = colScale(c, 0.8f);
	}
	return c;
}

// the apron and the dirt inside the fence, all marked as base
static void baseGround(Land &land) {
	for (int y = FENCE_Y0; y <= FENCE_Y1; y++) {
		for (int x = FENCE_X0; x <= FENCE_X1; x++) {
			bool apron = (x >= 30 && x < 336 && y >= 92 && y < 540) || (x >= 336 && x < 420 && y >= 112 && y < 270);
			// the drive from the gate up to the apron
			apron = apron || (x >= GATE_X0 + 4 && x <= GATE_X1 - 4 && y >= 540);
			if (apron) {
				imgSet(land.img, x, y, baseConcrete(x, y));
			}
			landSetUse(land, x, y, USE_BASE);
		}
	}
}

// chain-link fence: a thin line with posts, open at the gate
static void baseFence(Land &land) {
	for (int x = FENCE_X0; x <= FENCE_X1; x++) {
		for (int side = 0; side < 2; side++) {
			int y = side == 0 ? FENCE_Y0 : FENCE_Y1;
			if (side == 1 && x >= GATE_X0 && x <= GATE_X1) {
				continue;
			}
			imgSet(land.img, x, y, x % 6 == 0 ? colMake(40, 40, 40) : colMake(110, 110, 104));
			landDarken(land, x + 1, y + 1, 0.7f);
		}
	}
	for (int y = FENCE_Y0; y <= FENCE_Y1; y++) {
		for (int side = 0; side < 2; side++) {
			int x = side == 0 ? FENCE_X0 : FENCE_X1;
			imgSet(land.img, x, y, y % 6 == 0 ? colMake(40, 40, 40) : colMake(110, 110, 104));
			landDarken(land, x + 1, y + 1, 0.7f);
		}
	}
	// guard posts either side of the gate
	buildingDraw(land, GATE_X0 - 10, FENCE_Y1 - 4, 8, 8, colMake(88, 90, 84), USE_BASE);
	buildingDraw(land, GATE_X1 + 3, FENCE_Y1 - 4, 8, 8, colMake(88, 90, 84), USE_BASE);
}

// a hangar with a curved roof: bands from lit top to shaded bottom, ribbed
static void baseHangar(Land &land, int x0, int y0, int w, int h) {
	buildingDraw(land, x0, y0, w, h, colMake(0, 0, 0), USE_BASE);
	for (int y = y0; y < y0 + h; y++) {
		float u = (y - y0 + 0.5f) / h * 2.0f - 1.0f;
		// a half cylinder lying along x, lit from above left
		float light = 0.55f + 0.65f * (-u * 0.62f + sqrtf(1.0f - u * u) * 0.6f);
		light = floorf(light * 6.0f) / 6.0f;
		for (int x = x0; x < x0 + w; x++) {
			float rib = (x - x0) % 5 == 0 ? 0.8f : 1.0f;
			imgSet(land.img, x, y, colScale(colMake(104, 108, 100), light * rib));
		}
	}
	// the open doors show the dark inside along the bottom edge
	for (int x = x0 + 6; x < x0 + w - 6; x++) {
		imgSet(land.img, x, y0 + h - 1, colMake(20, 20, 22));
	}
}

// a helipad: dark disc, pale ring and a painted H
static void baseHelipad(Land &land, float cx, float cy, float r) {
	for (int y = (int)(cy - r); y <= (int)(cy + r); y++) {
		for (int x = (int)(cx - r); x <= (int)(cx + r); x++) {
			float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
			float d = sqrtf(dx * dx + dy * dy);
			if (d > r) {
				continue;
			}
			Color c = colScale(ASPHALT, 0.95f + hashFloat(x, y, 113) * 0.08f);
			if (d > r - 3.0f && d < r - 1.5f) {
				c = PAINT;
			}
			bool bar = fabsf(dy) < 1.2f && fabsf(dx) < 6.0f;
			bool post = fabsf(dy) < 8.0f && fabsf(dx) > 4.0f && fabsf(dx) < 7.0f;
			if (bar || post) {
				c = colMake(168, 164, 150);
			}
			imgSet(land.img, x, y, c);
		}
	}
}

// a round tank or dish: shaded like a low dome, with a shadow
static void baseDome(Land &land, float cx, float cy, float r, Color col) {
	for (int y = (int)(cy - r); y <= (int)(cy + r + 4); y++) {
		for (int x = (int)(cx - r); x <= (int)(cx + r + 4); x++) {
			float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
			float d2 = (dx * dx + dy * dy) / (r * r);
			float sx = dx - 3.0f, sy = dy - 3.0f;
			if (d2 > 1.0f) {
				if ((sx * sx + sy * sy) < r * r) {
					landDarken(land, x, y, 0.6f);
				}
				continue;
			}
			float nz = sqrtf(1.0f - d2);
			float light = (-dx / r * 0.5f - dy / r * 0.62f + nz * 0.6f) / 0.6f;
			light = floorf(clamp01(light * 0.5f + 0.3f) * 6.0f) / 5.0f + 0.2f;
			imgSet(land.img, x, y, colScale(col, light));
		}
	}
}

// a ring of sandbags around an anti-aircraft gun
static void baseGunPit(Land &land, float cx, float cy) {
	for (int y = (int)cy - 12; y <= (int)cy + 12; y++) {
		for (int x = (int)cx - 12; x <= (int)cx + 12; x++) {
			float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
			float d = sqrtf(dx * dx + dy * dy);
			if (d < 7.0f) {
				imgSet(land.img, x, y, colMake(52, 48, 40));
			} else if (d < 10.0f) {
				// lit on the outer upper left, shaded on the lower right
				float light = 1.0f + (-dx - dy) / d * 0.25f * (d > 8.5f ? 1.0f : -1.0f);
				float bag = ((int)(atan2f(dy, dx) * 6.0f) & 1) ? 0.88f : 1.0f;
				imgSet(land.img, x, y, colScale(colMake(112, 102, 76), light * bag));
			} else if (d < 12.0f && dx + dy > 0.0f) {
				landDarken(land, x, y, 0.7f);
			}
		}
	}
	// twin barrels pointing south toward the incoming fighter
	for (int y = (int)cy - 2; y <= (int)cy + 6; y++) {
		imgSet(land.img, (int)cx - 1, y, colMake(70, 72, 70));
		imgSet(land.img, (int)cx + 1, y, colMake(70, 72, 70));
	}
	imgSet(land.img, (int)cx, (int)cy, colMake(90, 94, 80));
}

// rows of parked trucks, olive boxes with a darker cab
static void baseMotorPool(Land &land, int x0, int y0) {
	for (int row = 0; row < 2; row++) {
		for (int i = 0; i < 6; i++) {
			int x = x0 + i * 11, y = y0 + row * 22;
			buildingDraw(land, x, y, 7, 13, colMake(80, 88, 60), USE_BASE);
			for (int xx = x + 1; xx < x + 6; xx++) {
				imgSet(land.img, xx, y + 10, colMake(44, 48, 36));
				imgSet(land.img, xx, y + 11, colMake(60, 84, 96));
			}
		}
	}
}

// painted taxi lines across the apron
static void baseMarkings(Land &land) {
	for (int x = 40; x < 330; x++) {
		if ((x / 6) % 2 == 0) {
			imgSet(land.img, x, 170, PAINT);
		}
	}
	for (int y = 170; y < 540; y++) {
		if ((y / 6) % 2 == 0) {
			imgSet(land.img, 151, y, PAINT);
		}
	}
}

// the whole base, drawn over whatever lay there before
void basePaint(Land &land) {
	baseGround(land);
	baseMarkings(land);
	baseHangar(land, 42, 100, 80, 46);
	baseHangar(land, 132, 100, 80, 46);
	buildingDraw(land, 232, 100, 56, 30, colMake(84, 84, 80), USE_BASE);
	buildingDraw(land, 296, 104, 18, 18, colMake(70, 74, 78), USE_BASE);
	baseHelipad(land, 376.0f, 156.0f, 24.0f);
	baseHelipad(land, 376.0f, 226.0f, 24.0f);
	for (int i = 0; i < 4; i++) {
		baseDome(land, 56.0f + i * 22.0f, 300.0f, 9.0f, colMake(124, 124, 116));
	}
	for (int i = 0; i < 3; i++) {
		buildingDraw(land, 226, 286 + i * 26, 78, 14, BARRACKS_ROOF, USE_BASE);
	}
	baseMotorPool(land, 168, 380);
	baseDome(land, 290.0f, 460.0f, 11.0f, colMake(136, 136, 130));
	baseGunPit(land, 80.0f, 400.0f);
	baseGunPit(land, 380.0f, 330.0f);
	baseGunPit(land, 372.0f, 470.0f);
	baseGunPit(land, 236.0f, 220.0f);
	buildingDraw(land, 60, 470, 14, 12, colMake(70, 72, 66), USE_BASE);
	buildingDraw(land, 240, 500, 14, 12, colMake(70, 72, 66), USE_BASE);
	baseFence(land);
}
