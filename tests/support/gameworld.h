// A small game world for tests of the rules: own definition file, a field without a picture.
#ifndef TESTS_SUPPORT_GAMEWORLD_H
#define TESTS_SUPPORT_GAMEWORLD_H

#include <string>
#include "tests/support/testsupport.h"
#include "game/vorska.h"

// Empties the world list, the graveyard and the registry, releasing its frame bitmaps.
void clearWorld();

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

	// Sets or clears a key in the array that poll_input copies.
	void key(int k, bool down) { keyboard[k] = down ? 1 : 0; }
	// Runs one pass of the main loop with a game cycle due.
	int cycle(Font *f = nullptr);
};

// A definition file with Player, Tank, Helicopter, Shot and Bullet templates without images.
extern const char *kTestEntities;

#endif
