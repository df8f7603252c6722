// The pictures the game reads: bounded regular files (platform/readfile.h) whose size in
// pixels is checked before they are decoded wherever the format tells it up front.
#ifndef DISPLAY_GAMEFILE_H
#define DISPLAY_GAMEFILE_H

#include <SDL.h>
#include <string>
#include "platform/readfile.h"

// Largest picture of one animation frame or of the window icon, in pixels (4096 x 4096).
#define MAX_FRAME_PIXELS (1L << 24)
// Largest background, in pixels: 450 columns by some 74,000 rows.
#define MAX_BACKGROUND_PIXELS (1L << 25)

int pictureTooLarge(long w, long h, long maxPixels, std::string &why);
SDL_Surface *loadPicture(const std::string &path, long maxPixels, std::string &why);

#endif
