// SDL_image 1.2's calls that the browser's SDL_image lacks.
#define WEB_SDL_SEAM
#include <SDL_image.h>

// The browser's SDL decodes every picture by its content, so the type is not needed.
SDL_Surface *webLoadTypedRW(SDL_RWops *src, int freesrc, char *type) {
	(void)type;
	return IMG_Load_RW(src, freesrc);
}
