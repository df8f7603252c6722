// The order in which the background's layers are laid down.
#include "bg.h"

// pulls every colour a little toward grey and down, so sprites stand out
static void landGrade(Land &land) {
	for (int y = 0; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			Color c = imgGet(land.img, x, y);
			float l = colLuma(c);
			c = colMix(c, colMake(l, l, l), 0.15f);
			imgSet(land.img, x, y, colScale(c, 0.94f));
		}
	}
}

// builds the whole background; later layers respect what earlier ones claimed
void landPaintAll(Land &land) {
	landInit(land);
	groundPaint(land);
	fieldsPaint(land);
	riverPaint(land);
	coastPaint(land);
	roadsPaint(land);
	basePaint(land);
	marksPaint(land);
	buildingsPaint(land);
	treesPaint(land);
	landGrade(land);
}
