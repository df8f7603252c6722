// Small helpers on raw SDL surfaces: video start-up, orthogonal lines, pixels, blits, locks.
#ifndef DISPLAY_MYSDL_H
#define DISPLAY_MYSDL_H

#include <SDL.h>

SDL_Surface *openVideo(int initflags, int x, int y, int cd, int scrnflags, const char *caption, const char *icon);
int mySDL_Init(SDL_Surface *s, int initflags, int x, int y, int cd, int scrnflags, const char *caption,
               const char *icon);
void setWindowIcon(const char *icon);
SDL_Surface *changeVideoMode(SDL_Surface *now, int x, int y, int cd, Uint32 flags, bool *refused);
void drawLine32(SDL_Surface *screen, int x1, int y1, int x2, int y2, Uint8 r, Uint8 g, Uint8 b);
void drawPixel32(SDL_Surface *screen, int x, int y, Uint8 r, Uint8 g, Uint8 b);
void drawPixel(SDL_Surface *screen, int x, int y, Uint8 R, Uint8 G, Uint8 B);
void blit(SDL_Surface *source, int x1, int y1, int w, int h, SDL_Surface *target, int x2, int y2);
void lock(SDL_Surface *screen);
void unlock(SDL_Surface *screen);
SDL_Rect Rect(int x, int y, int w, int h);
// Whether two pixel formats store a pixel alike: the same size and the same masks.
bool samePixels(const SDL_PixelFormat *a, const SDL_PixelFormat *b);
// Gives to the colour key and the surface alpha that from blits with.
void copyBlitKeys(SDL_Surface *from, SDL_Surface *to);

#endif
