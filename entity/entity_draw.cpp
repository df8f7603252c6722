// Entity drawing into an environment's viewport: the frame picture and the debug outlines.
#include "entity/entity.h"
#include "entity/gamestate.h"

// Viewport coordinates beyond this are off any screen; SDL keeps 16-bit rectangles.
#define DRAW_FAR 32767

// A viewport coordinate worked out in 64 bits (positions, sizes and offsets from the data
// may be anywhere in the int range), held where the line drawer can still clip it.
static int viewCoord(long long v) {
	if (v > 4 * DRAW_FAR) {
		return 4 * DRAW_FAR;
	}
	if (v < -4 * DRAW_FAR) {
		return -4 * DRAW_FAR;
	}
	return (int)v;
}

// Blits the current frame's picture at its place relative to the camera of e.
void Entity::draw(Env *e) {
	if (!e || !e->vp || !frame || !frame->bitmap) {
		return;
	}
	SDL_Surface *bm = frame->bitmap;
	long long vx = (long long)x - e->cx + frame->xoff;
	long long vy = (long long)y - e->cy + frame->yoff;
	// so far out that a 16-bit rectangle would wrap it back into view
	if (vx < -DRAW_FAR || vx > DRAW_FAR || vy < -DRAW_FAR || vy > DRAW_FAR) {
		return;
	}
	e->vp->blits(bm, 0, 0, bm->w, bm->h, (int)vx, (int)vy);
}

// Draws the picture in the entity's own environment.
void Entity::draw() {
	draw(env);
}

// Outlines the rectangle (x1, y1)-(x2, y2) of viewport v with the screen locked.
static void outline(Viewport *v, int x1, int y1, int x2, int y2, int r, int g, int b) {
	Uint8 cr = (Uint8)(r & 0xff);
	Uint8 cg = (Uint8)(g & 0xff);
	Uint8 cb = (Uint8)(b & 0xff);
	screen->lock();
	v->line(x1, y1, x1, y2, cr, cg, cb);
	v->line(x1, y1, x2, y1, cr, cg, cb);
	v->line(x1, y2, x2, y2, cr, cg, cb);
	v->line(x2, y1, x2, y2, cr, cg, cb);
	screen->unlock();
}

// Outlines the entity's collision box in colour (r, g, b).
void Entity::drawHitBox(Env *e, int r, int g, int b) {
	if (!e || !e->vp || !screen) {
		return;
	}
	long long x1 = (long long)x - e->cx;
	long long y1 = (long long)y - e->cy;
	long long x2 = x1 + w - 1;
	long long y2 = y1 + h - 1;
	outline(e->vp, viewCoord(x1), viewCoord(y1), viewCoord(x2), viewCoord(y2), r, g, b);
}

// Outlines the box in the entity's own environment.
void Entity::drawHitBox(int r, int g, int b) {
	drawHitBox(env, r, g, b);
}

// Outlines the rectangle of the current frame's picture in colour (r, g, b).
void Entity::drawFrameBox(Env *e, int r, int g, int b) {
	if (!e || !e->vp || !screen || !frame || !frame->bitmap) {
		return;
	}
	long long x1 = (long long)x + frame->xoff - e->cx;
	long long y1 = (long long)y + frame->yoff - e->cy;
	long long x2 = x1 + frame->bitmap->w - 1;
	long long y2 = y1 + frame->bitmap->h - 1;
	outline(e->vp, viewCoord(x1), viewCoord(y1), viewCoord(x2), viewCoord(y2), r, g, b);
}

// Outlines the picture in the entity's own environment.
void Entity::drawFrameBox(int r, int g, int b) {
	drawFrameBox(env, r, g, b);
}
