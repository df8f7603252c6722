// What the browser's SDL keeps of a surface's blits: only its colour key, asked for with SDL
// 1.3's call, which platform/web answers. Its build puts this file in display/blit_keys.cpp's stead.
#include "display/mySDL.h"

// Copies the colour key when from has one; the display format carries no surface alpha.
void copyBlitKeys(SDL_Surface *from, SDL_Surface *to) {
	Uint32 key = 0;
	if (SDL_GetColorKey(from, &key) == 0) {
		SDL_SetColorKey(to, SDL_SRCCOLORKEY, key);
	}
}
