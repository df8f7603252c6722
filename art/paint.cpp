// Filling shapes into a sprite and turning the painted parts into pixels.
#include "paint.h"

#include <cmath>

// light from the upper left and somewhat above the ground
static const float LIGHT_X = -0.50f;
static const float LIGHT_Y = -0.62f;
static const float LIGHT_Z = 0.60f;

static int nextPart = 1;

// bundles the painting parameters of one shape
Paint paintMake(Color c, int mat, int profile, float base, float height, float width) {
	Paint p = {c, mat, profile, base, height, width};
	return p;
}

// even-odd test of one point against a polygon
static bool polyInside(const float *xy, int n, float px, float py) {
	bool inside = false;
	for (int i = 0, j = n - 1; i < n; j = i++) {
		float xi = xy[i * 2], yi = xy[i * 2 + 1];
		float xj = xy[j * 2], yj = xy[j * 2 + 1];
		if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) {
			inside = !inside;
		}
	}
	return inside;
}

// covers the pixels whose centre lies inside a polygon (even-odd rule); a
// centre exactly on an edge counts as inside on either side, so mirrored
// outlines give mirrored pixels
void maskPolygon(Mask &m, int w, int h, const float *xy, int n) {
	m.w = w;
	m.h = h;
	m.in.assign((size_t)w * h, 0);
	for (int y = 0; y < h; y++) {
		float py = y + 0.5f;
		for (int x = 0; x < w; x++) {
			float px = x + 0.5f;
			m.in[(size_t)y * w + x] = polyInside(xy, n, px - 1e-3f, py) || polyInside(xy, n, px + 1e-3f, py);
		}
	}
}

// covers the pixels whose centre lies inside a rotated ellipse
void maskEllipse(Mask &m, int w, int h, float cx, float cy, float rx, float ry, float angle) {
	m.w = w;
	m.h = h;
	m.in.assign((size_t)w * h, 0);
	float c = cosf(angle);
	float s = sinf(angle);
	for (int y = 0; y < h; y++) {
		for (int x = 0; x < w; x++) {
			float dx = x + 0.5f - cx;
			float dy = y + 0.5f - cy;
			float u = (dx * c + dy * s) / rx;
			float v = (-dx * s + dy * c) / ry;
			m.in[(size_t)y * w + x] = u * u + v * v <= 1.0f;
		}
	}
}

// covers an axis-aligned box given by two corners
void maskBox(Mask &m, int w, int h, float x0, float y0, float x1, float y1) {
	float xy[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
	maskPolygon(m, w, h, xy, 4);
}

// number of covered pixels
int maskCount(const Mask &m) {
	int n = 0;
	for (unsigned char v : m.in) {
		n += v;
	}
	return n;
}

// turns polygon points about a centre; angle in radians, clockwise on screen
void polyRotate(float *xy, int n, float cx, float cy, float angle) {
	float c = cosf(angle);
	float s = sinf(angle);
	for (int i = 0; i < n; i++) {
		float dx = xy[i * 2] - cx;
		float dy = xy[i * 2 + 1] - cy;
		xy[i * 2] = cx + dx * c - dy * s;
		xy[i * 2 + 1] = cy + dx * s + dy * c;
	}
}

// appends the mirror image of the points in reverse order, closing a
// symmetric outline drawn as its left half; returns the new point count
int polyMirror(float *xy, int n, float axis) {
	for (int i = 0; i < n; i++) {
		int src = n - 1 - i;
		xy[(n + i) * 2] = 2.0f * axis - xy[src * 2];
		xy[(n + i) * 2 + 1] = xy[src * 2 + 1];
	}
	return n * 2;
}

// an empty sprite
void sprInit(Sprite &s, int w, int h) {
	Cel empty = {colMake(0, 0, 0), 0.0f, 0, MAT_NONE};
	s.w = w;
	s.h = h;
	s.cels.assign((size_t)w * h, empty);
}

// a fresh part number, so seams are drawn between shapes
int sprNewPart(void) {
	return nextPart++;
}

// distance from a covered pixel to the nearest uncovered one, up to a limit
static float maskEdgeDistance(const Mask &m, int x, int y, int limit) {
	float best = (float)limit + 1.0f;
	for (int dy = -limit; dy <= limit; dy++) {
		for (int dx = -limit; dx <= limit; dx++) {
			int sx = x + dx;
			int sy = y + dy;
			bool outside = sx < 0 || sy < 0 || sx >= m.w || sy >= m.h || !m.in[(size_t)sy * m.w + sx];
			if (!outside) {
				continue;
			}
			float d = sqrtf((float)(dx * dx + dy * dy));
			if (d < best) {
				best = d;
			}
		}
	}
	// the edge pixel itself sits half a pixel inside
	return best - 0.5f;
}

// height of a pixel that lies d pixels inside its shape
static float paintHeight(const Paint &p, float d) {
	if (p.profile == PROFILE_FLAT || p.width <= 0.0f) {
		return p.base + p.height;
	}
	float t = d / p.width;
	if (t > 1.0f) {
		t = 1.0f;
	}
	if (p.profile == PROFILE_ROUND) {
		t = sqrtf(1.0f - (1.0f - t) * (1.0f - t));
	}
	return p.base + p.height * t;
}

// paints a shape as a new part
void sprFill(Sprite &s, const Mask &m, const Paint &p) {
	sprFillPart(s, m, p, sprNewPart());
}

// paints a shape as part of an existing part (no seam against it)
void sprFillPart(Sprite &s, const Mask &m, const Paint &p, int part) {
	int limit = (int)ceilf(p.width) + 1;
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			if (!m.in[(size_t)y * m.w + x]) {
				continue;
			}
			Cel &c = s.cels[(size_t)y * s.w + x];
			c.color = p.color;
			c.mat = p.mat;
			c.part = part;
			c.z = paintHeight(p, maskEdgeDistance(m, x, y, limit));
		}
	}
}

// sets the colour and material of one pixel, keeping its height
void sprPlot(Sprite &s, int x, int y, Color c, int mat) {
	if (x < 0 || y < 0 || x >= s.w || y >= s.h) {
		return;
	}
	Cel &cel = s.cels[(size_t)y * s.w + x];
	if (cel.mat == MAT_NONE) {
		cel.part = sprNewPart();
	}
	cel.color = c;
	cel.mat = mat;
}

// darkens or brightens one painted pixel (panel lines, tread marks)
void sprTint(Sprite &s, int x, int y, float factor) {
	if (x < 0 || y < 0 || x >= s.w || y >= s.h) {
		return;
	}
	Cel &cel = s.cels[(size_t)y * s.w + x];
	if (cel.mat != MAT_NONE) {
		cel.color = colScale(cel.color, factor);
	}
}

// the cel at a position, or null outside or when empty
static const Cel *sprAt(const Sprite &s, int x, int y) {
	if (x < 0 || y < 0 || x >= s.w || y >= s.h) {
		return nullptr;
	}
	const Cel *c = &s.cels[(size_t)y * s.w + x];
	return c->mat == MAT_NONE ? nullptr : c;
}

// height used for slopes; the ground beside a part counts as a drop
static float sprHeightAt(const Sprite &s, int x, int y, float own) {
	const Cel *c = sprAt(s, x, y);
	return c ? c->z : own - 1.0f;
}

// brightness of a painted pixel under the fixed light
static Color sprShadeCel(const Sprite &s, int x, int y) {
	const Cel &c = s.cels[(size_t)y * s.w + x];
	if (c.mat == MAT_GLOW) {
		return c.color;
	}
	float dzdx = (sprHeightAt(s, x + 1, y, c.z) - sprHeightAt(s, x - 1, y, c.z)) * 0.5f;
	float dzdy = (sprHeightAt(s, x, y + 1, c.z) - sprHeightAt(s, x, y - 1, c.z)) * 0.5f;
	float nx = -dzdx, ny = -dzdy, nz = 1.0f;
	float len = sqrtf(nx * nx + ny * ny + nz * nz);
	float lambert = (nx * LIGHT_X + ny * LIGHT_Y + nz * LIGHT_Z) / len;
	if (lambert < 0.0f) {
		lambert = 0.0f;
	}
	// flat ground-facing surfaces come out at about 1.0
	float light = 0.38f + 1.05f * lambert;
	// a few bands instead of a smooth ramp keeps the pixel-art look
	light = floorf(light * 6.0f + 0.5f) / 6.0f;
	Color out = colScale(c.color, light);
	if (c.mat == MAT_METAL || c.mat == MAT_GLASS) {
		// highlight where the surface faces halfway between light and eye
		float hx = LIGHT_X, hy = LIGHT_Y, hz = LIGHT_Z + 1.0f;
		float hl = sqrtf(hx * hx + hy * hy + hz * hz);
		float shine = (nx * hx + ny * hy + nz * hz) / (len * hl);
		float power = c.mat == MAT_GLASS ? 40.0f : 20.0f;
		float amount = c.mat == MAT_GLASS ? 220.0f : 90.0f;
		shine = powf(shine > 0.0f ? shine : 0.0f, power);
		shine = shine > 0.5f ? 1.0f : (shine > 0.2f ? 0.45f : 0.0f);
		out = colAdd(out, colMake(amount * shine, amount * shine, amount * shine));
	}
	// a part standing well above its surroundings casts a short shadow down-right
	for (int k = 1; k <= 2; k++) {
		const Cel *n = sprAt(s, x - k, y - k);
		if (n && n->part != c.part && n->mat != MAT_GLOW && n->z > c.z + 1.2f * k) {
			out = colScale(out, 0.68f);
			break;
		}
	}
	// seams: a pixel beside a higher part sits in its shadow
	static const int dirs[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
	for (int i = 0; i < 4; i++) {
		const Cel *n = sprAt(s, x + dirs[i][0], y + dirs[i][1]);
		if (n && n->part != c.part && n->mat != MAT_GLOW && n->z > c.z + 0.4f) {
			out = colScale(out, i < 2 ? 0.62f : 0.78f);
			break;
		}
	}
	return out;
}

// outline colour for an empty pixel, or false when no part touches it
static bool sprOutlineAt(const Sprite &s, const Image &shaded, int x, int y, Color &out) {
	static const int dirs[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
	bool found = false;
	float darkest = 1e9f;
	for (int i = 0; i < 4; i++) {
		int nx = x + dirs[i][0];
		int ny = y + dirs[i][1];
		const Cel *n = sprAt(s, nx, ny);
		if (!n || n->mat == MAT_GLOW) {
			continue;
		}
		Color c = imgGet(shaded, nx, ny);
		if (colLuma(c) < darkest) {
			darkest = colLuma(c);
			out = c;
			found = true;
		}
	}
	if (found) {
		// a very dark, slightly cool version of the neighbouring colour
		out = colAdd(colScale(out, 0.22f), colMake(8, 8, 14));
	}
	return found;
}

// shades, outlines and keys the sprite into an RGB picture
void sprRender(const Sprite &s, Image &out) {
	imgInit(out, s.w, s.h, KEY_COLOR);
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			if (sprAt(s, x, y)) {
				imgSet(out, x, y, sprShadeCel(s, x, y));
			}
		}
	}
	Image shaded = out;
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			Color c;
			if (!sprAt(s, x, y) && sprOutlineAt(s, shaded, x, y, c)) {
				imgSet(out, x, y, c);
			}
		}
	}
	// painted pixels must never collide with the colour key
	for (int y = 0; y < s.h; y++) {
		for (int x = 0; x < s.w; x++) {
			if (sprAt(s, x, y) && imgIsKey(out, x, y)) {
				imgSet(out, x, y, colMake(255, 1, 255));
			}
		}
	}
}
