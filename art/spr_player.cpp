// The player's fighter, nose up, and the icons built from it.
#include "sprites.h"
#include "paint.h"

#include <cmath>

// where and how large the ship is painted; relief scales the parts' heights
// and bevels with the picture, so a large icon is shaded like a small one
struct Place {
	float ox, oy, scale, relief;
};

// a paint whose heights and bevels follow the placement's relief
static Paint placeRelief(const Place &pl, const Paint &p) {
	return paintMake(p.color, p.mat, p.profile, p.base * pl.relief, p.height * pl.relief, p.width * pl.relief);
}

// maps design coordinates (a 32 x 40 box) through a placement
static void placePoints(const Place &pl, const float *src, float *dst, int n) {
	for (int i = 0; i < n; i++) {
		dst[i * 2] = pl.ox + src[i * 2] * pl.scale;
		dst[i * 2 + 1] = pl.oy + src[i * 2 + 1] * pl.scale;
	}
}

// fills a left-half outline mirrored about the ship's centre line
static void shipSymmetric(Sprite &s, const Place &pl, const float *half, int n, const Paint &p) {
	float pts[64];
	for (int i = 0; i < n * 2; i++) {
		pts[i] = half[i];
	}
	int count = polyMirror(pts, n, 16.0f);
	float mapped[64];
	placePoints(pl, pts, mapped, count);
	Mask m;
	maskPolygon(m, s.w, s.h, mapped, count);
	sprFill(s, m, placeRelief(pl, p));
}

// fills one polygon given in design coordinates
static void shipPolygon(Sprite &s, const Place &pl, const float *pts, int n, const Paint &p) {
	float mapped[64];
	placePoints(pl, pts, mapped, n);
	Mask m;
	maskPolygon(m, s.w, s.h, mapped, n);
	sprFill(s, m, placeRelief(pl, p));
}

// one engine flame below a nozzle; the two frames differ in length and shape
static void shipFlame(Sprite &s, const Place &pl, float cx, int frame) {
	static const Color core = {255, 255, 225};
	static const Color mid = {255, 205, 70};
	static const Color tip = {240, 100, 30};
	float len = frame == 0 ? 6.0f : 4.0f;
	float wide = frame == 0 ? 1.6f : 2.1f;
	float top = 34.0f;
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			float dx = ((x + 0.5f - pl.ox) / pl.scale - cx) / wide;
			float dy = ((y + 0.5f - pl.oy) / pl.scale - top) / len;
			if (dy < 0.0f || dy > 1.0f) {
				continue;
			}
			float r = fabsf(dx) + dy * 0.9f;
			if (r > 1.0f) {
				continue;
			}
			Color c = r < 0.35f ? core : (r < 0.7f ? mid : tip);
			sprPlot(s, x, y, c, MAT_GLOW);
		}
	}
}

// paints the whole ship into a sprite
static void shipPaint(Sprite &s, const Place &pl, int frame) {
	static const Color hull = {168, 180, 196};
	static const Color wing = {120, 134, 158};
	static const Color dark = {70, 78, 92};
	static const Color stripe = {190, 66, 40};
	static const Color glass = {40, 130, 190};
	static const Color nozzle = {90, 88, 92};

	// swept main wings, left half of a single outline across the fuselage
	static const float wings[] = {15.0f, 12.0f, 2.0f, 25.0f, 2.0f, 29.0f, 15.0f, 28.0f};
	shipSymmetric(s, pl, wings, 4, paintMake(wing, MAT_MATTE, PROFILE_BEVEL, 0.0f, 1.5f, 2.0f));
	// tail planes
	static const float tail[] = {15.0f, 29.0f, 7.0f, 35.0f, 7.0f, 37.0f, 15.0f, 35.0f};
	shipSymmetric(s, pl, tail, 4, paintMake(wing, MAT_MATTE, PROFILE_BEVEL, 0.0f, 1.5f, 2.0f));
	// wingtip stripes in the faction colour
	static const float tipL[] = {2.0f, 25.0f, 5.0f, 22.3f, 5.0f, 29.0f, 2.0f, 29.0f};
	static const float tipR[] = {30.0f, 25.0f, 30.0f, 29.0f, 27.0f, 29.0f, 27.0f, 22.3f};
	shipPolygon(s, pl, tipL, 4, paintMake(stripe, MAT_MATTE, PROFILE_BEVEL, 0.2f, 1.5f, 2.0f));
	shipPolygon(s, pl, tipR, 4, paintMake(stripe, MAT_MATTE, PROFILE_BEVEL, 0.2f, 1.5f, 2.0f));
	// engine nozzles
	static const float nozL[] = {12.6f, 30.0f, 15.6f, 30.0f, 15.4f, 34.5f, 12.8f, 34.5f};
	static const float nozR[] = {16.4f, 30.0f, 19.4f, 30.0f, 19.2f, 34.5f, 16.6f, 34.5f};
	shipPolygon(s, pl, nozL, 4, paintMake(nozzle, MAT_METAL, PROFILE_ROUND, 1.0f, 1.5f, 1.5f));
	shipPolygon(s, pl, nozR, 4, paintMake(nozzle, MAT_METAL, PROFILE_ROUND, 1.0f, 1.5f, 1.5f));
	// fuselage from the nose down to the engine block
	static const float body[] = {16.0f, 1.0f, 14.6f, 5.0f, 13.4f, 10.0f, 12.6f, 17.0f, 12.4f, 27.0f, 12.6f, 31.0f};
	shipSymmetric(s, pl, body, 6, paintMake(hull, MAT_MATTE, PROFILE_ROUND, 1.0f, 3.0f, 3.5f));
	// intake shadows either side of the cockpit
	static const float intL[] = {12.7f, 15.0f, 13.9f, 15.0f, 13.9f, 20.0f, 12.6f, 20.0f};
	static const float intR[] = {18.1f, 15.0f, 19.3f, 15.0f, 19.4f, 20.0f, 18.1f, 20.0f};
	shipPolygon(s, pl, intL, 4, paintMake(dark, MAT_MATTE, PROFILE_FLAT, 1.0f, 0.5f, 0.0f));
	shipPolygon(s, pl, intR, 4, paintMake(dark, MAT_MATTE, PROFILE_FLAT, 1.0f, 0.5f, 0.0f));
	// spine stripe behind the canopy
	static const float spine[] = {15.2f, 18.0f, 16.8f, 18.0f, 16.8f, 28.0f, 15.2f, 28.0f};
	shipPolygon(s, pl, spine, 4, paintMake(stripe, MAT_MATTE, PROFILE_FLAT, 3.9f, 0.2f, 0.0f));
	// bubble canopy
	float ex = pl.ox + 16.0f * pl.scale;
	float ey = pl.oy + 10.5f * pl.scale;
	Mask m;
	maskEllipse(m, s.w, s.h, ex, ey, 1.9f * pl.scale, 4.2f * pl.scale, 0.0f);
	sprFill(s, m, paintMake(glass, MAT_GLASS, PROFILE_ROUND, 3.5f * pl.relief, 2.0f * pl.relief, 2.0f * pl.scale));
	shipFlame(s, pl, 14.1f, frame);
	shipFlame(s, pl, 17.9f, frame);
}

// a player frame: 32 x 40, nose up, flames flickering between frames
void drawPlayer(Image &out, int frame) {
	Sprite s;
	sprInit(s, PLAYER_W, PLAYER_H);
	Place pl = {0.0f, 0.0f, 1.0f, 1.0f};
	shipPaint(s, pl, frame);
	sprRender(s, out);
}

// the icon at size x size pixels: the ship on a dark badge with an orange
// ring, drawn at each size rather than scaled from the 32 pixel window icon
void drawLogo(Image &out, int size) {
	float k = size / (float)LOGO_SIZE;
	Sprite s;
	sprInit(s, size, size);
	Place pl = {3.2f * k, 0.6f * k, 0.8f * k, k};
	shipPaint(s, pl, 0);
	Image ship;
	sprRender(s, ship);
	imgInit(out, size, size, colMake(0, 0, 0));
	for (int y = 0; y < size; y++) {
		for (int x = 0; x < size; x++) {
			float dx = (x + 0.5f) / k - 16.0f;
			float dy = (y + 0.5f) / k - 16.0f;
			float r = sqrtf(dx * dx + dy * dy);
			Color c = colMix(colMake(30, 44, 78), colMake(10, 14, 28), r / 22.0f);
			if (r > 14.0f && r < 15.6f) {
				c = colMake(230, 120, 40);
			}
			if (r >= 15.6f) {
				c = colMake(12, 14, 20);
			}
			if (!imgIsKey(ship, x, y)) {
				c = imgGet(ship, x, y);
			}
			imgSet(out, x, y, c);
		}
	}
}
