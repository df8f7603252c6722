// The order in which the background's layers are laid down.
#include "bg.h"

// pulls every colour a little toward grey and down, so sprites stand out
static void Land_Grade(Land &land) {
	for (int y = 0; y < BG_H; y++) {
		for (int x = 0; x < BG_W; x++) {
			Color c = Img_Get(land.img, x, y);
			float l = Col_Luma(c);
			c = Col_Mix(c, Col_Make(l, l, l), 0.15f);
			Img_Set(land.img, x, y, Col_Scale(c, 0.94f));
		}
	}
}

// builds the whole background; later layers respect what earlier ones claimed
void Land_PaintAll(Land &land) {
	Land_Init(land);
	Ground_Paint(land);
	Fields_Paint(land);
	River_Paint(land);
	Coast_Paint(land);
	Roads_Paint(land);
	Base_Paint(land);
	Marks_Paint(land);
	Buildings_Paint(land);
	Trees_Paint(land);
	Land_Grade(land);
}
