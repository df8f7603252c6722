// Farmland: a patchwork of slightly skewed fields in rows, each with its own
// crop and furrow direction, divided by hedgerows and grass margins.
#include "bg.h"
#include "noise.h"

#include <cmath>
#include <vector>

static const float FIELDS_TOP = 2980.0f;
static const float FIELDS_BOTTOM = 5900.0f;
static const int MAX_COLS = 12;

// a boundary line y = y0 + slope * (x - centre), or x = x0 + slope * (y - centre)
struct Edge {
	float pos, slope;
};

struct FieldRow {
	Edge top, bottom;
	int cols;
	Edge left[MAX_COLS + 1];
	int crop[MAX_COLS];
	bool hedge[MAX_COLS + 1];
	bool used[MAX_COLS];
};

enum Crop { CROP_WHEAT, CROP_PLOUGHED, CROP_GREEN, CROP_PASTURE, CROP_HAY, CROP_RAPE, CROP_COUNT };

static const Color CROP_COLORS[CROP_COUNT] = {{114, 100, 58}, {76, 60, 42}, {62, 84, 42},
                                              {68, 86, 48},   {94, 88, 56}, {106, 106, 54}};

// position of a horizontal edge at a column
static float edgeY(const Edge &e, float x) {
	return e.pos + e.slope * (x - BG_W * 0.5f);
}

// position of a vertical edge at a row height
static float edgeX(const Edge &e, float y, float mid) {
	return e.pos + e.slope * (y - mid);
}

// lays out rows and columns of fields and decides which ones are farmed
static void fieldsLayout(std::vector<FieldRow> &rows) {
	Rng rng;
	rngSeed(rng, 7001);
	Edge prev = {FIELDS_TOP, 0.0f};
	while (prev.pos < FIELDS_BOTTOM) {
		FieldRow row;
		row.top = prev;
		row.bottom.pos = prev.pos + rngRange(rng, 48.0f, 92.0f);
		row.bottom.slope = rngRange(rng, -0.07f, 0.07f);
		float mid = (row.top.pos + row.bottom.pos) * 0.5f;
		float x = rngRange(rng, -60.0f, -10.0f);
		row.cols = 0;
		while (x < BG_W + 10 && row.cols < MAX_COLS) {
			row.left[row.cols].pos = x;
			row.left[row.cols].slope = rngRange(rng, -0.18f, 0.18f);
			row.hedge[row.cols] = rngFloat(rng) < 0.5f;
			row.crop[row.cols] = rngInt(rng, 0, CROP_COUNT);
			float cx = x + 40.0f;
			float farm = zoneWeight(cx, mid, ZONE_FARM) + zoneWeight(cx, mid, ZONE_MEADOW) * 0.35f;
			row.used[row.cols] = farm > 0.3f + rngFloat(rng) * 0.4f;
			x += rngRange(rng, 46.0f, 124.0f);
			row.cols++;
		}
		row.left[row.cols].pos = x;
		row.left[row.cols].slope = 0.0f;
		row.hedge[row.cols] = false;
		rows.push_back(row);
		prev = row.bottom;
	}
}

// the furrow, row or speckle texture of a crop
static Color fieldTexture(int crop, int x, int y, bool alongRow) {
	Color c = CROP_COLORS[crop];
	float u = alongRow ? (float)y : (float)x;
	float h = hashFloat(x, y, 71) - 0.5f;
	switch (crop) {
	case CROP_PLOUGHED:
		return colScale(c, ((int)u % 3) == 0 ? 0.72f : 1.0f + h * 0.1f);
	case CROP_GREEN:
		return colScale(c, ((int)u % 4) < 2 ? 0.82f : 1.05f);
	case CROP_WHEAT:
	case CROP_RAPE:
		return colScale(c, 1.0f + sinf(u * 1.9f) * 0.06f + h * 0.07f);
	case CROP_HAY: {
		// round bales in loose rows
		bool bale = ((int)u % 14) < 2 && hashFloat(x / 3, y / 3, 72) < 0.1f;
		return bale ? colMake(130, 120, 80) : colScale(c, 1.0f + h * 0.08f);
	}
	default:
		return colScale(c, 0.92f + noiseValue(x / 4.0f, y / 4.0f, 73) * 0.14f + h * 0.05f);
	}
}

// paints one field cell's pixels, its margin and its left hedge
static void fieldPaint(Land &land, const FieldRow &row, int col) {
	if (!row.used[col]) {
		return;
	}
	float mid = (row.top.pos + row.bottom.pos) * 0.5f;
	bool alongRow = (hash2D(col, (int)mid, 74) & 1) != 0;
	int y0 = (int)(row.top.pos - 20.0f);
	int y1 = (int)(row.bottom.pos + 20.0f);
	for (int y = y0; y <= y1; y++) {
		for (int x = 0; x < BG_W; x++) {
			float fy = y + 0.5f, fx = x + 0.5f;
			float top = edgeY(row.top, fx), bottom = edgeY(row.bottom, fx);
			float left = edgeX(row.left[col], fy, mid), right = edgeX(row.left[col + 1], fy, mid);
			if (fy < top || fy >= bottom || fx < left || fx >= right) {
				continue;
			}
			float margin = fminf(fminf(fy - top, bottom - fy), fminf(fx - left, right - fx));
			if (margin < 2.0f) {
				if (fx - left < 2.0f && row.hedge[col]) {
					float bump = noiseValue(fx / 2.0f, fy / 2.0f, 75);
					imgSet(land.img, x, y, colScale(colMake(34, 50, 28), 0.8f + bump * 0.4f));
					landSetUse(land, x, y, USE_HEDGE);
				} else {
					landDarken(land, x, y, 0.86f);
				}
				continue;
			}
			imgSet(land.img, x, y, fieldTexture(row.crop[col], x, y, alongRow));
			landSetUse(land, x, y, USE_FIELD);
		}
	}
}

// paints the patchwork over the farmland and parts of the meadows
void fieldsPaint(Land &land) {
	std::vector<FieldRow> rows;
	fieldsLayout(rows);
	for (const FieldRow &row : rows) {
		for (int col = 0; col < row.cols; col++) {
			fieldPaint(land, row, col);
		}
	}
}
