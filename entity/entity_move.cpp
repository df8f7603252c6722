// Entity bounds tests and motion. Without an environment (or its viewport) there are no bounds
// to break and no camera window to be seen in: the tests that need them report nothing.
#include "entity/entity.h"

#include <algorithm>

// Tests the box placed at (nx, ny) against the BOUND_* bits named by fl. Returns the bits found.
int Entity::chkMove(int nx, int ny, int fl) {
	int res = 0;
	if (!env) {
		return 0;
	}
	// Far edges in 64 bits: sizes and positions from the data may be anywhere in the int range.
	long long right = (long long)nx + w - 1;
	long long bottom = (long long)ny + h - 1;
	if (fl & BOUND_FIELD) {
		if (nx < 0 || ny < 0 || right >= env->xlen || bottom >= env->ylen) {
			res += BOUND_FIELD;
		}
	}
	if (!env->vp) {
		return res;
	}
	int cx = env->cx;
	int cy = env->cy;
	int vw = env->vp->xlen;
	int vh = env->vp->ylen;
	if (fl & BOUND_VIEW) {
		if (nx < cx || ny < cy || right >= (long long)cx + vw || bottom >= (long long)cy + vh) {
			res += BOUND_VIEW;
		}
	}
	if ((fl & BOUND_PICTURE) && frame && frame->bitmap) {
		// The picture is taken where the entity stands, whatever (nx, ny) says.
		long long picLeft = (long long)x + frame->xoff;
		long long picTop = (long long)y + frame->yoff;
		long long picRight = picLeft + frame->bitmap->w - 1;
		long long picBottom = picTop + frame->bitmap->h - 1;
		if (picLeft < (long long)cx + vw && picTop < (long long)cy + vh && picRight >= cx && picBottom >= cy) {
			res += BOUND_PICTURE;
		}
	}
	return res;
}

// Tests the box at (nx, ny) against the world and the camera window.
int Entity::chkMove(int nx, int ny) {
	return chkMove(nx, ny, BOUND_FIELD | BOUND_VIEW);
}

// 4 when the current frame's picture overlaps the camera window, else 0.
int Entity::visible() {
	return chkMove(x, y, BOUND_PICTURE);
}

// Steps by (dx, dy) unless the new box breaks the bounds in fl; 1 when the step was made.
int Entity::move(int dx, int dy, int fl) {
	if (chkMove(x + dx, y + dy, fl) != 0) {
		return 0;
	}
	x += dx;
	y += dy;
	return 1;
}

// Steps by (dx, dy) and clamps the top-left corner into the world.
void Entity::move(int dx, int dy) {
	if (!env) {
		return;
	}
	x = std::min(std::max(x + dx, 0), env->xlen - 1);
	y = std::min(std::max(y + dy, 0), env->ylen - 1);
}

// Clamped horizontal step.
void Entity::moveX(int dx) {
	move(dx, 0);
}

// Clamped vertical step.
void Entity::moveY(int dy) {
	move(0, dy);
}
