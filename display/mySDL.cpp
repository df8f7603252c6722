// Helpers on raw SDL surfaces.
#include "display/mySDL.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include "display/gamefile.h"

// Starts SDL, sets caption and icon, and sets the video mode; null (with the reason printed)
// when SDL cannot start or the mode cannot be set.
SDL_Surface *openVideo(int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon) {
	if (SDL_Init(initflags) < 0) {
		fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
		return nullptr;
	}
	atexit(SDL_Quit);
	SDL_WM_SetCaption(caption, icon);
	setWindowIcon(icon);
	SDL_Surface *s = SDL_SetVideoMode(x, y, cd, scrnflags);
	if (s == nullptr) {
		printf("Unable to set %dx%dx%d video mode: %s\n", x, y, cd, SDL_GetError());
	}
	return s;
}

// Opens the video like Screen::init, but reports failure as -1 instead of ending the process.
int mySDL_Init(SDL_Surface *s, int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon) {
	s = openVideo(initflags, x, y, cd, scrnflags, caption, icon);
	return s == nullptr ? -1 : 0;
}

// Gives the window the picture in file icon, when it can be had; SDL copies it. A file
// that is refused is told, one that is missing or no picture is left as before.
void setWindowIcon(const char *icon) {
	std::string why;
	SDL_Surface *image = icon != nullptr ? loadPicture(icon, MAX_FRAME_PIXELS, why) : nullptr;
	if (!why.empty()) {
		fprintf(stderr, "Could not load icon %s (%s)\n", icon, why.c_str());
	}
	SDL_WM_SetIcon(image, nullptr);
	if (image != nullptr) {
		SDL_FreeSurface(image);
	}
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
		if (x1 < cx) {
			x1 = cx;
		}
		if (cx + cw - 1 < x2) {
			x2 = cx + cw - 1;
		}
		if (y1 < 0 || y1 >= H || y1 < cy || y1 > cy + ch - 1) {
			return;
		}
		for (int x = x1 < 0 ? 0 : x1; x <= x2 && x < W; x++) {
			drawPixel32(screen, x, y1, r, g, b);
		}
	} else if (x1 == x2) {
		if (y1 < cy) {
			y1 = cy;
		}
		if (cy + ch - 1 < y2) {
			y2 = cy + ch - 1;
		}
		if (x1 < 0 || x1 >= W || x1 < cx || x1 > cx + cw - 1) {
			return;
		}
		for (int y = y1 < 0 ? 0 : y1; y <= y2 && y < H; y++) {
			drawPixel32(screen, x1, y, r, g, b);
		}
	} else {
		fprintf(stderr, "drawLine32: %d,%d->%d,%d Does not support non-orthogonal lines\n", x1, y1, x2, y2);
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

// Blits a rectangle of source to a position of target.
void blit(SDL_Surface *source, int x1, int y1, int w, int h, SDL_Surface *target, int x2, int y2) {
	SDL_Rect src = Rect(x1, y1, w, h);
	SDL_Rect dst = Rect(x2, y2, 0, 0);
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
