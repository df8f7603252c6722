// Helpers shared by the tests: temporary folders, captured output streams, headless video.
#ifndef TESTS_SUPPORT_TESTSUPPORT_H
#define TESTS_SUPPORT_TESTSUPPORT_H

#include <SDL.h>
#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempDir {
public:
	std::string path;
	TempDir();
	~TempDir();
	// Writes content to path/name (creating sub-folders) and returns the full path.
	std::string write(const std::string &name, const std::string &content) const;
	std::string at(const std::string &name) const { return path + "/" + name; }
};

// Captures everything written to a file descriptor (1 or 2) by printf, iostreams or write.
class Capture {
public:
	explicit Capture(int fd);
	~Capture();
	std::string finish();  // stops capturing and returns the text
private:
	int fd;
	int saved;
	std::string file;
	bool done;
};

// Starts SDL's video with the dummy driver and an 800 x 600 x 32 mode, once per process,
// so that SDL_DisplayFormat works. Creates the global screen when it does not exist.
SDL_Surface *headlessVideo();

// Writes a PNG-free test image: a 24-bit BMP of w x h in one colour (IMG_Load reads BMP).
std::string writeBmp(const TempDir &dir, const std::string &name, int w, int h, Uint8 r, Uint8 g, Uint8 b);

// Reads a whole file into a string ("" when it cannot be opened).
std::string readFile(const std::string &path);

#endif
