// Helpers shared by the tests: temporary folders, captured output, headless video, golden
// files, a small world of test templates, and a folder holding the game's own files.
#ifndef TESTS_SUPPORT_TESTSUPPORT_H
#define TESTS_SUPPORT_TESTSUPPORT_H

#include <SDL.h>
#include <functional>
#include <string>
#include "game/vorska.h"
#include "platform/message.h"

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

// Catches the game's standard error messages into `text` while it lives; the rest pass on.
class MessageCatcher {
public:
	std::string text;
	MessageSink before;     // where the rest goes
	MessageCatcher *outer;  // the catcher this one stands in for, if any
	MessageCatcher();
	~MessageCatcher();
};

// Starts SDL's video with the dummy driver and an 800 x 600 x 32 mode, once per process,
// so that SDL_DisplayFormat works. Creates the global screen when it does not exist.
SDL_Surface *headlessVideo();

// Writes a one-colour 24-bit BMP of w x h (IMG_Load reads BMP); returns its path.
std::string writeBmp(const TempDir &dir, const std::string &name, int w, int h, Uint8 r, Uint8 g, Uint8 b);

// Reads a whole file into a string ("" when it cannot be opened).
std::string readFile(const std::string &path);

// The repository, found from this file's own path so that tests in other folders find it.
std::string repoRoot();

// text with every "0x..." address (five hex digits or more) cut to "0x" and every `from` replaced by `to`.
std::string scrubbed(std::string text, const std::string &from = "", const std::string &to = "");

// <base>.golden, or <base>_sdl12compat.golden when SDL 1.2 runs on SDL 2 (sdl12-compat), whose
// blitter blends the overlay's glyphs a little differently: screens have one list per runtime.
std::string runtimeGolden(const std::string &base);

// Compares text with tests/golden/<name>; VORSKA_REGOLD=1 rewrites the file instead.
void expectGolden(const std::string &name, const std::string &text);

// Empties the world list, the graveyard and the registry, releasing its frame bitmaps.
void clearWorld();

// Text with the first `from` replaced by `to`; the case must find it.
std::string replaced(std::string text, const std::string &from, const std::string &to);

// A file of tests/data: small.dat holds Player, Tank, Helicopter, Shot and Bullet templates
// without images, behaviours.dat the behaviour tests' templates, collide.dat the collision test's.
std::string testData(const std::string &name);

// Runs a test inside a temporary folder holding data/entity.dat with the given text, with
// the screen, the two viewports, an environment of the given size without a background,
// the name tables built, and empty key arrays that the test sets through `keyboard`.
class GameWorld {
public:
	TempDir dir;
	std::string oldcwd;
	Uint8 keyboard[NUM_KEYS];
	Font font;

	GameWorld(const std::string &entityDat, int fieldW, int fieldH);
	~GameWorld();
	void key(int k, bool down) { keyboard[k] = down ? 1 : 0; }
	// Runs one pass of the main loop with a game cycle due.
	int cycle();
};

// Waits until the game's own polls have copied the state v of key k into both keys and prev.
void awaitPoll(int k, int v);

// Runs a pass of the main loop whose cycle pauses (P is down in keyboard): a helper lets P go
// and, once the pause's polls have seen that, runs inPause (when given), then presses and lets
// go P again, each step once the polls have seen the one before, which ends the pause.
int pausedCycle(Font *font, Uint8 *keyboard, const std::function<void()> &inPause = nullptr);

// A folder holding links to the game's own files, where the real start-up runs; a test may
// replace or drop any of them first.
class GameDir {
public:
	TempDir dir;
	Font *font = nullptr;
	Uint8 keyboard[NUM_KEYS] = {};

	GameDir();
	~GameDir();
	void drop(const std::string &name);                             // takes a file away
	void put(const std::string &name, const std::string &content);  // replaces a file
	// Runs the real start-up in the folder; returns what it wrote to stderr.
	std::string start();
	// Plays n cycles with the ship firing and weaving; returns the cycles run before the loop
	// ended. The game's standard error messages go to *errText.
	int play(int n, std::string *errText = nullptr);
	// Ends the game started here: world, registry, font, field, viewports and screen.
	void stop();
	// Counts the live entities made from template id.
	int count(const std::string &id) const;
};

#endif
