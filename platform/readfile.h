// The files the game reads: each must be a regular file of bounded size, so that a pipe, a
// device or a giant file named in the data can neither block the game nor eat its memory.
#ifndef PLATFORM_READFILE_H
#define PLATFORM_READFILE_H

#include <string>

// Largest file the game reads: far beyond any of its pictures, fonts, sounds or definition files.
#define MAX_GAME_FILE_BYTES (64L << 20)

std::string fileProblem(const std::string &path, long maxBytes);
int readGameFile(const std::string &path, long maxBytes, std::string &content, std::string &why);
long littleEndian(const unsigned char *p, int n);

#endif
