// Entity drawing into an environment's viewport: the frame picture and the debug outlines.
#include "entity/entity.h"
#include "game/vorska.h"

// Blits the current frame's picture at its place relative to the camera of e.
void Entity::draw(Env *e) {
	if (!e || !e->vp || !frame || !frame->bitmap) {
		return;
	}
	SDL_Surface *bm = frame->bitmap;
	e->vp->blits(bm, 0, 0, bm->w, bm->h, x - e->cx + frame->xoff, y - e->cy + frame->yoff);
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
	int x1 = x - e->cx;
	int y1 = y - e->cy;
	int x2 = x + w - e->cx - 1;
	int y2 = y + h - e->cy - 1;
	outline(e->vp, x1, y1, x2, y2, r, g, b);
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
	int x1 = x + frame->xoff - e->cx;
	int y1 = y + frame->yoff - e->cy;
	int x2 = x1 + frame->bitmap->w - 1;
	int y2 = y1 + frame->bitmap->h - 1;
	outline(e->vp, x1, y1, x2, y2, r, g, b);
}

// Outlines the picture in the entity's own environment.
void Entity::drawFrameBox(int r, int g, int b) {
	drawFrameBox(env, r, g, b);
}
