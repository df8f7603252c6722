// SDL_image 1.2 as the game calls it, on top of the browser's SDL_image; see platform/web/SDL.h.
#ifndef PLATFORM_WEB_SDL_IMAGE_H
#define PLATFORM_WEB_SDL_IMAGE_H

#include <SDL.h>
#include_next <SDL_image.h>

SDL_Surface *webLoadTypedRW(SDL_RWops *src, int freesrc, char *type);

#ifndef WEB_SDL_SEAM
#define IMG_LoadTyped_RW webLoadTypedRW
#endif

#endif
