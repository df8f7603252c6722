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
	void TearDown() override { field.vp = nullptr; }
};

// A software surface of w x h for a frame's picture.
static SDL_Surface *picture(int w, int h) {
	return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
}

TEST_F(EntityMove, WorldAndCameraBounds) {
	EXPECT_EQ(e.chkMove(0, 0, 1), 0);
	EXPECT_EQ(e.chkMove(-1, 0, 1), 1);
	EXPECT_EQ(e.chkMove(0, -1, 1), 1);
	EXPECT_EQ(e.chkMove(790, 1980, 1), 0);
	EXPECT_EQ(e.chkMove(791, 0, 1), 1);
	EXPECT_EQ(e.chkMove(0, 1981, 1), 1);
	EXPECT_EQ(e.chkMove(-1000, -1000, 0), 0);

	// A box as large as the camera window fits exactly at the camera.
	e.w = 450;
	e.h = 600;
	EXPECT_EQ(e.chkMove(100, 500, 2), 0);
	EXPECT_EQ(e.chkMove(101, 500, 2), 2);
	EXPECT_EQ(e.chkMove(99, 500, 2), 2);
	EXPECT_EQ(e.chkMove(100, 499, 2), 2);
	EXPECT_EQ(e.chkMove(100, 501, 2), 2);
	EXPECT_EQ(e.chkMove(100, 500), 0);
	EXPECT_EQ(e.chkMove(-1, 500), 3);
	EXPECT_EQ(e.chkMove(-1, 500, 7), 3);  // visibility needs a picture
}

TEST_F(EntityMove, VisibilityFollowsThePicture) {
	EXPECT_EQ(e.visible(), 0);  // no frame
	Frame f;
	e.frame = &f;
	e.x = 200;
	e.y = 700;
	EXPECT_EQ(e.visible(), 0);  // frame without bitmap
	f.bitmap = picture(10, 8);
	f.xoff = -5;
	f.yoff = -3;
	EXPECT_EQ(e.visible(), 4);
	EXPECT_EQ(e.chkMove(-5000, -5000, 4), 4);  // taken where the entity stands

	// Last column of the picture on the camera's first one, and one further left.
	e.x = 100 - 10 + 1 + 5;
	EXPECT_EQ(e.visible(), 4);
	e.x -= 1;
	EXPECT_EQ(e.visible(), 0);
	// First column on the window's last one, and one further right.
	e.x = 100 + 450 - 1 + 5;
	EXPECT_EQ(e.visible(), 4);
	e.x += 1;
	EXPECT_EQ(e.visible(), 0);
	e.x = 200;
	e.y = 500 - 8 + 1 + 3;
	EXPECT_EQ(e.visible(), 4);
	e.y -= 1;
	EXPECT_EQ(e.visible(), 0);
	e.y = 500 + 600 - 1 + 3;
	EXPECT_EQ(e.visible(), 4);
	e.y += 1;
	EXPECT_EQ(e.visible(), 0);
	SDL_FreeSurface(f.bitmap);
}

TEST_F(EntityMove, BoundedAndClampedSteps) {
	e.x = 100;
	e.y = 500;
	EXPECT_EQ(e.move(-1, 0, 3), 0);  // one pixel out of the camera window
	EXPECT_EQ(e.x, 100);
	EXPECT_EQ(e.move(-1, 0, 1), 1);
	EXPECT_EQ(e.x, 99);
	e.x = 0;
	EXPECT_EQ(e.move(-1, 0, 1), 0);
	EXPECT_EQ(e.x, 0);
	EXPECT_EQ(e.move(-1, 3, 0), 1);
	EXPECT_EQ(e.x, -1);
	EXPECT_EQ(e.y, 503);

	e.x = 10;
	e.y = 10;
	e.move(-50, 0);
	EXPECT_EQ(e.x, 0);
	e.move(5000, 0);
	EXPECT_EQ(e.x, 799);
	e.moveY(-20);
	EXPECT_EQ(e.y, 0);
	e.moveY(1999);
	EXPECT_EQ(e.y, 1999);
	e.moveX(-9);
	EXPECT_EQ(e.x, 790);
}

TEST_F(EntityMove, WithoutEnvironmentThereAreNoBounds) {
	Entity loose;
	Frame f;
	f.bitmap = picture(4, 4);
	loose.frame = &f;
	EXPECT_EQ(loose.chkMove(-5, -5, 7), 0);
	EXPECT_EQ(loose.chkMove(-5, -5), 0);
	EXPECT_EQ(loose.visible(), 0);
	EXPECT_EQ(loose.move(-5, 6, 3), 1);
	EXPECT_EQ(loose.x, -5);
	EXPECT_EQ(loose.y, 6);
	loose.move(100, 100);  // the clamped step needs a world
	loose.moveX(1);
	EXPECT_EQ(loose.x, -5);
	EXPECT_EQ(loose.y, 6);

	// A field without viewport has world bounds but no camera window.
	field.vp = nullptr;
	e.frame = &f;
	EXPECT_EQ(e.chkMove(-1, 0, 7), 1);
	EXPECT_EQ(e.chkMove(0, 0, 7), 0);
	SDL_FreeSurface(f.bitmap);
}

// Reads one pixel of the 32-bit video surface.
static Uint32 pixelAt(SDL_Surface *s, int x, int y) {
	return ((Uint32 *)((Uint8 *)s->pixels + y * s->pitch))[x];
}

TEST(EntityDraw, PicturesAndOutlinesLandWhereTheCameraPutsThem) {
	SDL_Surface *video = headlessVideo();
	ASSERT_NE(video, nullptr);
	ASSERT_NE(screen, nullptr);
	Viewport view(screen, 10, 20, 300, 200);
	Env field;
	field.xlen = 800;
	field.ylen = 2000;
	field.cx = 0;
	field.cy = 40;
	field.vp = &view;
	Uint32 black = SDL_MapRGB(video->format, 0, 0, 0);
	Uint32 red = SDL_MapRGB(video->format, 250, 0, 0);
	SDL_SetClipRect(video, nullptr);
	SDL_FillRect(video, nullptr, black);

	Entity e;
	e.x = 100;
	e.y = 50;
	e.w = 10;
	e.h = 4;
	e.drawHitBox(&field, 250, 0, 0);
	// Outline from (100, 10) to (109, 13) of the viewport, which sits at (10, 20).
	EXPECT_EQ(pixelAt(video, 110, 30), red);
	EXPECT_EQ(pixelAt(video, 119, 30), red);
	EXPECT_EQ(pixelAt(video, 110, 33), red);
	EXPECT_EQ(pixelAt(video, 119, 33), red);
	EXPECT_EQ(pixelAt(video, 115, 31), black);
	EXPECT_EQ(pixelAt(video, 120, 30), black);
	EXPECT_EQ(pixelAt(video, 110, 34), black);

	// The picture: blitted at (x - cx + xoff, y - cy + yoff).
	SDL_Surface *pic = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, 32, video->format->Rmask, video->format->Gmask, video->format->Bmask, 0);
	Uint32 green = SDL_MapRGB(pic->format, 0, 200, 0);
	SDL_FillRect(pic, nullptr, green);
	Frame f;
	f.bitmap = pic;
	f.xoff = 5;
	f.yoff = -2;
	e.frame = &f;
	e.env = &field;
	e.draw();
	EXPECT_EQ(pixelAt(video, 10 + 105, 20 + 8), SDL_MapRGB(video->format, 0, 200, 0));
	EXPECT_EQ(pixelAt(video, 10 + 107, 20 + 9), SDL_MapRGB(video->format, 0, 200, 0));
	EXPECT_EQ(pixelAt(video, 10 + 108, 20 + 9), black);
	EXPECT_EQ(pixelAt(video, 10 + 105, 20 + 10), red);  // the outline below stays

	// The frame box: the picture's rectangle.
	SDL_SetClipRect(video, nullptr);
	SDL_FillRect(video, nullptr, black);
	e.drawFrameBox(200, 200, 200);
	Uint32 grey = SDL_MapRGB(video->format, 200, 200, 200);
	EXPECT_EQ(pixelAt(video, 115, 28), grey);
	EXPECT_EQ(pixelAt(video, 117, 29), grey);
	EXPECT_EQ(pixelAt(video, 118, 29), black);

	// Nothing is drawn without a viewport, without a picture, or without the screen.
	SDL_SetClipRect(video, nullptr);
	SDL_FillRect(video, nullptr, black);
	Env bare;
	e.draw(&bare);
	e.drawHitBox(&bare, 250, 0, 0);
	e.drawFrameBox(&bare, 250, 0, 0);
	e.draw(nullptr);
	e.drawHitBox(nullptr, 250, 0, 0);
	Frame empty;
	e.frame = &empty;
	e.draw();
	e.drawFrameBox(250, 0, 0);
	e.frame = nullptr;
	e.draw();
	e.drawFrameBox(250, 0, 0);
	Screen *saved = screen;
	screen = nullptr;
	e.frame = &f;
	e.drawHitBox(250, 0, 0);
	e.drawFrameBox(250, 0, 0);
	screen = saved;
	for (int y = 0; y < 60; y++) {
		for (int x = 0; x < 140; x++) {
			ASSERT_EQ(pixelAt(video, x, y), black) << x << "," << y;
		}
	}
	field.vp = nullptr;
	SDL_FreeSurface(pic);
}
