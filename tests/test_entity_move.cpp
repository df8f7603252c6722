// Entity bounds tests, steps and drawing into a viewport.
#include <gtest/gtest.h>
#include "entity/entity.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// A world of 800 x 2000 shown through a 450 x 600 viewport with the camera at (100, 500).
class EntityMove : public ::testing::Test {
protected:
	Viewport view;
	Env field;
	Entity e;
	void SetUp() override {
		view.set(nullptr, 0, 0, 450, 600);
		field.xlen = 800;
		field.ylen = 2000;
		field.cx = 100;
		field.cy = 500;
		field.vp = &view;
		e.env = &field;
		e.w = 10;
		e.h = 20;
	}
};

TEST_F(EntityMove, WorldAndCameraWindowEdges) {
	struct { int x, y, w, h, fl, want; } rows[] = {
		{0, 0, 10, 20, 1, 0}, {-1, 0, 10, 20, 1, 1}, {0, -1, 10, 20, 1, 1}, {790, 1980, 10, 20, 1, 0},
		{791, 0, 10, 20, 1, 1}, {0, 1981, 10, 20, 1, 1}, {-1000, -1000, 10, 20, 0, 0},
		// a box as large as the camera window fits exactly at the camera
		{100, 500, 450, 600, 2, 0}, {101, 500, 450, 600, 2, 2}, {99, 500, 450, 600, 2, 2},
		{100, 499, 450, 600, 2, 2}, {100, 501, 450, 600, 2, 2}, {-1, 500, 450, 600, 7, 3},
	};
	for (auto &r : rows) {
		e.w = r.w;
		e.h = r.h;
		EXPECT_EQ(e.chkMove(r.x, r.y, r.fl), r.want) << r.x << "," << r.y << " fl " << r.fl;
	}
	EXPECT_EQ(e.chkMove(-1, 500), 3);
}

TEST_F(EntityMove, VisibilityFollowsThePictureAndBoundsNeedAnEnvironment) {
	Frame f;
	e.frame = &f;
	EXPECT_EQ(e.visible(), 0);  // frame without bitmap
	f.bitmap = SDL_CreateRGBSurface(SDL_SWSURFACE, 10, 8, 32, 0xff0000, 0xff00, 0xff, 0);
	f.xoff = -5;
	f.yoff = -3;
	// the picture's last column on the camera's first one, and one further; likewise on each side
	struct { int x, y, want; } rows[] = {
		{96, 700, 4}, {95, 700, 0}, {554, 700, 4}, {555, 700, 0},
		{200, 496, 4}, {200, 495, 0}, {200, 1102, 4}, {200, 1103, 0},
	};
	for (auto &r : rows) {
		e.x = r.x;
		e.y = r.y;
		EXPECT_EQ(e.visible(), r.want) << r.x << "," << r.y;
		EXPECT_EQ(e.chkMove(-5000, -5000, 4), r.want);  // taken where the entity stands
	}
	// Without viewport world bounds only; without environment no bounds at all.
	field.vp = nullptr;
	EXPECT_EQ(e.chkMove(-1, 0, 7), 1);
	e.env = nullptr;
	EXPECT_EQ(e.chkMove(-5, -5, 7), 0);
	SDL_FreeSurface(f.bitmap);
}

TEST_F(EntityMove, BoundedAndClampedSteps) {
	e.x = 100;
	e.y = 500;
	EXPECT_EQ(e.move(-1, 0, 3), 0);  // one pixel out of the camera window
	EXPECT_EQ(e.move(-1, 3, 1), 1);
	EXPECT_EQ(e.x, 99);
	EXPECT_EQ(e.y, 503);
	e.move(-500, 5000);  // clamped into the world
	EXPECT_EQ(e.x, 0);
	EXPECT_EQ(e.y, 1999);
	e.env = nullptr;  // without environment no clamping
	e.move(-100, -100);
	EXPECT_EQ(e.x, 0);
}

TEST(EntityDraw, OutlinesLandWhereTheCameraPutsThemAndNothingWithoutScreen) {
	SDL_Surface *video = headlessVideo();
	ASSERT_NE(video, nullptr);
	Viewport view(screen, 10, 20, 300, 200);
	Env field;
	field.cy = 40;
	field.vp = &view;
	Entity e;
	e.x = 100;
	e.y = 50;
	e.w = 10;
	Uint32 *row = (Uint32 *)((Uint8 *)video->pixels + 30 * video->pitch);  // viewport row 10
	SDL_SetClipRect(video, nullptr);
	SDL_FillRect(video, nullptr, 0);
	Screen *saved = screen;
	screen = nullptr;
	e.drawHitBox(&field, 250, 0, 0);
	screen = saved;
	EXPECT_EQ(row[110], 0u);
	e.drawHitBox(&field, 250, 0, 0);  // columns 100-109 of the viewport at x 10
	EXPECT_EQ(row[110], SDL_MapRGB(video->format, 250, 0, 0));
	EXPECT_EQ(row[119], row[110]);
	EXPECT_EQ(row[120], 0u);
}
