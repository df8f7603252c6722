// Helpers on raw SDL surfaces.
#include "display/mySDL.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>
#include "display/gamefile.h"
#include "platform/message.h"
#include "platform/pace.h"

// Starts SDL, sets caption and icon, and sets the video mode; null (with the reason printed)
// when SDL cannot start or the mode cannot be set.
SDL_Surface *openVideo(int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon) {
	long slack = timerThreadSlack();
	if (slack > 0) {
		setNewThreadTimerSlack(slack);
	}
	int started = SDL_Init(initflags);
	if (slack > 0) {
		setNewThreadTimerSlack(0);
	}
	if (started < 0) {
		writeMessagef(MESSAGE_ERR, "Video initialization failed: %s\n", SDL_GetError());
		return nullptr;
	}
	atexit(SDL_Quit);
	SDL_WM_SetCaption(caption, icon);
	setWindowIcon(icon);
	SDL_Surface *s = SDL_SetVideoMode(x, y, cd, scrnflags);
	if (s == nullptr) {
		writeMessagef(MESSAGE_OUT, "Unable to set %dx%dx%d video mode: %s\n", x, y, cd, SDL_GetError());
	}
	return s;
}

// Opens the video like Screen::init, but reports failure as -1 instead of ending the process.
int mySDL_Init(SDL_Surface *s, int initflags, int x, int y, int cd, int scrnflags, const char *caption,
               const char *icon) {
	s = openVideo(initflags, x, y, cd, scrnflags, caption, icon);
	return s == nullptr ? -1 : 0;
}

// Sets the video mode (x, y, cd, flags) in place of the video surface now, carrying over its
// picture and the keys SDL holds down, which SDL 1.2 forgets when it sets a mode (a key held
// across the change stays held, and its release still comes; the modifiers that SDL keeps
// apart are not carried, the browser's SDL having no way to set them). When SDL refuses
// the mode, *refused is set and the mode of now is set again, SDL's reason kept for
// SDL_GetError. Null only when neither can be had.
SDL_Surface *changeVideoMode(SDL_Surface *now, int x, int y, int cd, Uint32 flags, bool *refused) {
	Uint32 before = now->flags;
	SDL_Surface *picture = SDL_ConvertSurface(now, now->format, SDL_SWSURFACE);
	int count = 0;
	Uint8 *held = SDL_GetKeyState(&count);
	std::vector<Uint8> keys(held, held + count);
	SDL_Surface *s = SDL_SetVideoMode(x, y, cd, flags);
	*refused = s == nullptr;
	if (s == nullptr) {
		std::string why = SDL_GetError();
		s = SDL_SetVideoMode(x, y, cd, before);
		SDL_SetError("%s", why.c_str());
	}
	if (s != nullptr && picture != nullptr) {
		SDL_BlitSurface(picture, nullptr, s, nullptr);
	}
	SDL_FreeSurface(picture);
	held = SDL_GetKeyState(&count);
	std::copy(keys.begin(), keys.begin() + std::min(count, (int)keys.size()), held);
	return s;
}

// Fills the pixels from (x1, y1) to (x2, y2), both inside the surface, in one SDL fill
// rather than one colour lookup per pixel; nothing when the span is empty.
static void fillSpan(SDL_Surface *screen, int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b) {
	if (x2 < x1 || y2 < y1) {
		return;
	}
	SDL_Rect span = Rect(x1, y1, x2 - x1 + 1, y2 - y1 + 1);
	SDL_FillRect(screen, &span, SDL_MapRGB(screen->format, r, g, b));
}

// Gives the window the picture in file icon, when it can be had; SDL copies it. A file
// that is refused is told, one that is missing or no picture is left as before.
void setWindowIcon(const char *icon) {
	std::string why;
	SDL_Surface *image = icon != nullptr ? loadPicture(icon, MAX_FRAME_PIXELS, why) : nullptr;
	if (!why.empty()) {
		writeMessagef(MESSAGE_ERR, "Could not load icon %s (%s)\n", icon, why.c_str());
	}
	SDL_WM_SetIcon(image, nullptr);
	if (image != nullptr) {
		SDL_FreeSurface(image);
	}
}

// Whether coordinate a lies inside both the clip span of len from c and the surface's size.
static bool insideSpan(int a, int c, int len, int size) {
	return a >= 0 && a < size && a >= c && a <= c + len - 1;
}

// Where a line starting at a starts once clipped to a span from c and to the surface.
static int firstInSpan(int a, int c) {
	return std::max(std::max(a, c), 0);
}

// Where a line ending at a ends once clipped to a span of len from c and to the surface.
static int lastInSpan(int a, int c, int len, int size) {
	return std::min(std::min(a, c + len - 1), size - 1);
}

// Draws a horizontal or vertical line clipped to the surface's clip rectangle.
void drawLine32(SDL_Surface *screen, int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b) {
	if (screen == nullptr) {
		return;
	}
	if (x2 < x1) {
		int t = x1;
		x1 = x2;
		x2 = t;
	}
	if (y2 < y1) {
		int t = y1;
		y1 = y2;
		y2 = t;
	}
	int cx = screen->clip_rect.x;
	int cy = screen->clip_rect.y;
	int cw = screen->clip_rect.w;
	int ch = screen->clip_rect.h;
	int W = screen->w;
	int H = screen->h;
	if (y1 == y2) {
		if (insideSpan(y1, cy, ch, H)) {
			fillSpan(screen, firstInSpan(x1, cx), y1, lastInSpan(x2, cx, cw, W), y1, r, g, b);
		}
	} else if (x1 == x2) {
		if (insideSpan(x1, cx, cw, W)) {
			fillSpan(screen, x1, firstInSpan(y1, cy), x1, lastInSpan(y2, cy, ch, H), r, g, b);
		}
	} else {
		writeMessagef(MESSAGE_ERR, "drawLine32: %d,%d->%d,%d Does not support non-orthogonal lines\n", x1, y1, x2, y2);
	}
}

// Stores one 32-bit pixel; callers clip and lock.
void drawPixel32(SDL_Surface *screen, int x, int y, Uint8 r, Uint8 g, Uint8 b) {
	Uint32 color = SDL_MapRGB(screen->format, r, g, b);
	Uint32 *bufp = (Uint32 *)screen->pixels + y * screen->pitch / 4 + x;
	*bufp = color;
}

// Stores one pixel of any depth; callers clip and lock.
void drawPixel(SDL_Surface *screen, int x, int y, Uint8 R, Uint8 G, Uint8 B) {
	Uint32 color = SDL_MapRGB(screen->format, R, G, B);
	switch (screen->format->BytesPerPixel) {
	case 1: {
		Uint8 *bufp = (Uint8 *)screen->pixels + y * screen->pitch + x;
		*bufp = (Uint8)color;
		break;
	}
	case 2: {
		Uint16 *bufp = (Uint16 *)screen->pixels + y * screen->pitch / 2 + x;
		*bufp = (Uint16)color;
		break;
	}
	case 3: {
		Uint8 *bufp = (Uint8 *)screen->pixels + y * screen->pitch + x * 3;
		bufp[0] = (Uint8)color;
		bufp[1] = (Uint8)(color >> 8);
		bufp[2] = (Uint8)(color >> 16);
		break;
	}
	case 4:
		drawPixel32(screen, x, y, R, G, B);
		break;
	default:
		break;
	}
}

// Tells whether SDL would blit source onto target as a plain copy of bytes: no colour key,
// no alpha, the same pixel format, and both in memory that needs no lock.
static bool plainCopy(const SDL_Surface *source, const SDL_Surface *target) {
	if ((source->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) || SDL_MUSTLOCK(source) || SDL_MUSTLOCK(target)) {
		return false;
	}
	return source->format->BytesPerPixel > 1 && samePixels(source->format, target->format);
}

// Whether two pixel formats store a pixel alike.
bool samePixels(const SDL_PixelFormat *a, const SDL_PixelFormat *b) {
	return a->BytesPerPixel == b->BytesPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
	       a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// Clips a blit as SDL clips it: the source rectangle to the source, then the destination to
// the target's clip rectangle, moving the source's corner with the destination's. False when
// nothing is left to blit. The blit is clipped here so that every SDL blits the same pixels.
static bool clipBlit(const SDL_Surface *source, SDL_Rect *src, SDL_Surface *target, SDL_Rect *dst) {
	int x1 = src->x;
	int y1 = src->y;
	int w = src->w;
	int h = src->h;
	int x2 = dst->x;
	int y2 = dst->y;
	if (x1 < 0) {
		w += x1;
		x2 -= x1;
		x1 = 0;
	}
	if (y1 < 0) {
		h += y1;
		y2 -= y1;
		y1 = 0;
	}
	w = std::min(w, source->w - x1);
	h = std::min(h, source->h - y1);
	SDL_Rect c;
	SDL_GetClipRect(target, &c);
	if (x2 < c.x) {
		w -= c.x - x2;
		x1 += c.x - x2;
		x2 = c.x;
	}
	if (y2 < c.y) {
		h -= c.y - y2;
		y1 += c.y - y2;
		y2 = c.y;
	}
	w = std::min(w, c.x + c.w - x2);
	h = std::min(h, c.y + c.h - y2);
	if (w <= 0 || h <= 0) {
		return false;
	}
	*src = Rect(x1, y1, w, h);
	*dst = Rect(x2, y2, w, h);
	return true;
}

// Copies the rows of a clipped plain blit, one memcpy each.
static void copyRows(SDL_Surface *source, const SDL_Rect &src, SDL_Surface *target, const SDL_Rect &dst) {
	int bpp = target->format->BytesPerPixel;
	for (int r = 0; r < src.h; r++) {
		memcpy((Uint8 *)target->pixels + (dst.y + r) * target->pitch + dst.x * bpp,
		       (const Uint8 *)source->pixels + (src.y + r) * source->pitch + src.x * bpp, (size_t)src.w * bpp);
	}
}

// Blits a rectangle of source to a position of target. SDL copies opaque surfaces of the
// target's format 8 bytes at a time past the cache, several times slower than memcpy; the
// background is such a surface and the largest thing drawn, so those copies are made here.
void blit(SDL_Surface *source, int x1, int y1, int w, int h, SDL_Surface *target, int x2, int y2) {
	SDL_Rect src = Rect(x1, y1, w, h);
	SDL_Rect dst = Rect(x2, y2, 0, 0);
	if (source == nullptr || target == nullptr) {
		SDL_BlitSurface(source, &src, target, &dst);  // SDL tells what is missing
		return;
	}
	if (!clipBlit(source, &src, target, &dst)) {
		return;
	}
	if (source != target && plainCopy(source, target)) {
		copyRows(source, src, target, dst);
		return;
	}
	SDL_BlitSurface(source, &src, target, &dst);
}

// Locks a surface when SDL requires it for direct pixel access.
void lock(SDL_Surface *screen) {
	if (SDL_MUSTLOCK(screen)) {
		SDL_LockSurface(screen);
	}
}

// Undoes lock.
void unlock(SDL_Surface *screen) {
	if (SDL_MUSTLOCK(screen)) {
		SDL_UnlockSurface(screen);
	}
}

// Builds an SDL rectangle; SDL keeps 16-bit fields.
SDL_Rect Rect(int x, int y, int w, int h) {
	SDL_Rect r;
	r.x = (Sint16)x;
	r.y = (Sint16)y;
	r.w = (Uint16)w;
	r.h = (Uint16)h;
	return r;
}
