// The play-field: a background bitmap as large as the world, a camera, and the viewport showing it.
#ifndef DISPLAY_ENV_H
#define DISPLAY_ENV_H

#include <SDL.h>
#include "display/screen.h"

class Env {
public:
	SDL_Surface *bg;  // background in the display format; owned
	int xlen;         // world width
	int ylen;         // world height
	int cx;           // world x shown at the viewport's left edge
	int cy;           // world y shown at the viewport's top edge
	Viewport *vp;     // the viewport showing the field; not owned

	Env();
	Env(const char *b);
	Env(const char *b, Viewport *v);
	Env(const char *file, const char *name);
	~Env();

	void init();
	void free();
	void load(const char *b);
	void loadEnv(const char *file, const char *name);
	void set(Viewport *v);
	void setCamera(int x, int y);
	void moveCamera(int x, int y);
	void draw();

private:
	Env(const Env &);  // owns its background: not copyable
	Env &operator=(const Env &);
};

#endif
