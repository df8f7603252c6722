// The window and its video surface, and rectangular viewports drawn into it.
#ifndef DISPLAY_SCREEN_H
#define DISPLAY_SCREEN_H

#include <SDL.h>
#include <string>

// The video surface wrapper: one per process, opened by init and never freed.
class Screen {
public:
	int xr = 0;                     // width of the video mode
	int yr = 0;                     // height of the video mode
	int SDLFlags = 0;               // subsystems given to SDL_Init
	int vidFlags = 0;               // flags of the surface SDL actually returned
	int cd = 0;                     // colour depth in bits per pixel
	std::string icon;               // path of the window icon
	std::string title;              // window caption
	SDL_Surface *bitmap = nullptr;  // the video surface, owned by SDL
	int paced = 0;                  // 1 in a real window: flip sleeps until the next frame is due

	Screen();
	Screen(int SDLFlags, int x, int y, int cd, int vidFlags, const char *caption, const char *icon);

	void init(int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon);
	void lock();
	void unlock();
	void line(int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b);
	void fill(int x, int y, int w, int h, Uint32 c);
	void blits(SDL_Surface *source, int x1, int y1, int w, int h, int x2, int y2);
	void flip();
	int toggleFullScreen();
};

// A rectangle of the screen with its own origin; every drawing call is clipped to it.
class Viewport {
public:
	Screen *sc;  // screen drawn on; null draws nothing
	int xp;      // left edge on the screen
	int yp;      // top edge on the screen
	int xlen;    // width
	int ylen;    // height

	Viewport();
	Viewport(Screen *sc, int xp, int yp, int xlen, int ylen);

	int set(Screen *sc, int xp, int yp, int xlen, int ylen);
	void lock();
	void unlock();
	void clipTo();
	void line(int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b);
	void fill(int x, int y, int w, int h, Uint32 c);
	void clear(Uint32 c);
	void blits(SDL_Surface *source, int x1, int y1, int w, int h, int x2, int y2);
	void flip();
};

#endif
