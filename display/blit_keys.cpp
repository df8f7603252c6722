// The one place that reads what SDL 1.2 keeps in a surface's pixel format for blits: the
// browser's SDL has no such fields, and its build puts platform/web's version in this file's stead.
#include "display/mySDL.h"

// Copies the colour key and the surface alpha, each only when from uses it.
void copyBlitKeys(SDL_Surface *from, SDL_Surface *to) {
	if (from->flags & SDL_SRCCOLORKEY) {
		SDL_SetColorKey(to, SDL_SRCCOLORKEY, from->format->colorkey);
	}
	if (from->flags & SDL_SRCALPHA) {
		SDL_SetAlpha(to, SDL_SRCALPHA, from->format->alpha);
	}
}
