// The files the game reads: each must be a regular file of bounded size, so that a pipe, a
// device or a giant file named in the data can neither block the game nor eat its memory;
// and pictures, whose size in pixels is checked before they are decoded wherever the format
// tells it up front; and sounds, whose chunks are checked to lie within the file.
#ifndef DISPLAY_GAMEFILE_H
#define DISPLAY_GAMEFILE_H

#include <SDL.h>
#include <string>

// Largest file the game reads: far beyond any of its pictures, fonts or definition files.
#define MAX_GAME_FILE_BYTES (64L << 20)
// Largest picture of one animation frame or of the window icon, in pixels (4096 x 4096).
#define MAX_FRAME_PIXELS (1L << 24)
// Largest background, in pixels: 450 columns by some 74,000 rows.
#define MAX_BACKGROUND_PIXELS (1L << 25)

std::string fileProblem(const std::string &path, long maxBytes);
int readGameFile(const std::string &path, long maxBytes, std::string &content, std::string &why);
int pictureTooLarge(long w, long h, long maxPixels, std::string &why);
SDL_Surface *loadPicture(const std::string &path, long maxPixels, std::string &why);
int wavChunksFit(const std::string &data, std::string &why);

#endif
