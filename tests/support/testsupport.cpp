// Helpers shared by the tests.
#include "tests/support/testsupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <iostream>
#include <unistd.h>
#include <fcntl.h>
#include <sys/stat.h>
#include "game/vorska.h"

// Makes a unique folder under /tmp.
TempDir::TempDir() {
	char tmpl[] = "/tmp/vorska_test_XXXXXX";
	char *p = mkdtemp(tmpl);
	path = p ? p : "/tmp";
}

// Removes the folder and its contents.
TempDir::~TempDir() {
	if (path.size() > 5 && path.compare(0, 17, "/tmp/vorska_test_") == 0) {
		std::string cmd = "rm -rf '" + path + "'";
		if (system(cmd.c_str()) != 0) {
		}
	}
}

// Writes a file below the folder, making its sub-folders first.
std::string TempDir::write(const std::string &name, const std::string &content) const {
	std::string full = at(name);
	for (size_t i = path.size() + 1; i < full.size(); i++) {
		if (full[i] == '/') {
			mkdir(full.substr(0, i).c_str(), 0755);
		}
	}
	std::ofstream out(full.c_str(), std::ios::binary);
	out << content;
	return full;
}

// Redirects fd into a temporary file until finish.
Capture::Capture(int f) : fd(f), saved(-1), done(false) {
	fflush(stdout);
	fflush(stderr);
	std::cout.flush();
	std::cerr.flush();
	char tmpl[] = "/tmp/vorska_capture_XXXXXX";
	int tmp = mkstemp(tmpl);
	file = tmpl;
	saved = dup(fd);
	dup2(tmp, fd);
	close(tmp);
}

Capture::~Capture() {
	if (!done) {
		finish();
	}
}

// Restores fd and returns what was written while it was captured.
std::string Capture::finish() {
	if (done) {
		return "";
	}
	fflush(stdout);
	fflush(stderr);
	std::cout.flush();
	std::cerr.flush();
	dup2(saved, fd);
	close(saved);
	done = true;
	std::string text = readFile(file);
	unlink(file.c_str());
	return text;
}

// Opens the dummy video once; the screen global wraps it for code that draws.
SDL_Surface *headlessVideo() {
	static SDL_Surface *surface = nullptr;
	if (surface == nullptr) {
		setenv("SDL_VIDEODRIVER", "dummy", 1);
		if (SDL_Init(SDL_INIT_VIDEO) < 0) {
			return nullptr;
		}
		surface = SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
	}
	if (screen == nullptr && surface != nullptr) {
		screen = new Screen();
		screen->bitmap = surface;
		screen->xr = 800;
		screen->yr = 600;
		screen->cd = 32;
		screen->vidFlags = surface->flags;
	}
	return surface;
}

// Saves a one-colour 24-bit BMP, which SDL can write and IMG_Load can read.
std::string writeBmp(const TempDir &dir, const std::string &name, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
	SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
	SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
	std::string full = dir.at(name);
	SDL_SaveBMP(s, full.c_str());
	SDL_FreeSurface(s);
	return full;
}

// Reads a whole file.
std::string readFile(const std::string &path) {
	std::ifstream in(path.c_str(), std::ios::binary);
	std::stringstream ss;
	ss << in.rdbuf();
	return ss.str();
}
