// The bad-data tests' folder of game files and their helpers: each case links the game's own
// data into a fresh folder, breaks one file, runs the real start-up there and plays.
#ifndef TESTS_TEST_BAD_DATA_H
#define TESTS_TEST_BAD_DATA_H

#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <sys/stat.h>
#include <dirent.h>
#include "tests/support/gameworld.h"
#include "game/vorska.h"

// The repository as the build names it, so that death-test children find it from any folder
// (a file's own path is no guide: Debian's flags map it to "./tests/...").
inline std::string repoRoot() {
	return VORSKA_ROOT;
}

// Seeded random bytes.
inline std::string randomBytes(size_t n, unsigned seed) {
	std::mt19937 rng(seed);
	std::string s(n, '\0');
	for (size_t i = 0; i < n; i++) {
		s[i] = (char)(rng() & 0xff);
	}
	return s;
}

// Replaces the first occurrence of from in text by to; the case must find it.
inline std::string replaced(std::string text, const std::string &from, const std::string &to) {
	size_t at = text.find(from);
	EXPECT_NE(at, std::string::npos) << from;
	if (at != std::string::npos) {
		text.replace(at, from.size(), to);
	}
	return text;
}

// A folder holding the game's data (linked, not copied), in which the real start-up runs.
struct BadData : public ::testing::Test {
	TempDir dir;
	std::string root;
	Font *font = nullptr;
	Uint8 keyboard[NUM_KEYS];

	void SetUp() override {
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		root = repoRoot();
		mkdir(dir.at("data").c_str(), 0755);
		mkdir(dir.at("gfx").c_str(), 0755);
		mkdir(dir.at("font_sm").c_str(), 0755);
		link("data/entity.dat");
		DIR *gfx = opendir((root + "/gfx").c_str());
		ASSERT_NE(gfx, nullptr);
		while (struct dirent *d = readdir(gfx)) {
			if (d->d_name[0] != '.') {
				link(std::string("gfx/") + d->d_name);
			}
		}
		closedir(gfx);
		link("font_sm/font.ini");
		link("font_sm/font.raw");
		link("font_sm/font.dat");
		for (int k = 0; k < NUM_KEYS; k++) {
			keyboard[k] = 0;
		}
	}

	void TearDown() override {
		stopGame();
		if (chdir(root.c_str()) != 0) {
		}
	}

	// Puts a link to the game's own file into the folder.
	void link(const std::string &name) {
		ASSERT_EQ(symlink((root + "/" + name).c_str(), dir.at(name).c_str()), 0) << name;
	}

	// Takes a file (or link) out of the folder.
	void drop(const std::string &name) {
		unlink(dir.at(name).c_str());
	}

	// Replaces a file of the folder; the link goes first, so the game's own file is untouched.
	void put(const std::string &name, const std::string &content) {
		drop(name);
		dir.write(name, content);
	}

	// The game's own version of a file.
	std::string original(const std::string &name) {
		return readFile(root + "/" + name);
	}

	// Goes into the folder and runs the real start-up; returns what it wrote to stderr.
	std::string startGame() {
		stopGame();  // whatever an earlier test of this process left
		if (chdir(dir.path.c_str()) != 0) {
			ADD_FAILURE() << "cannot enter " << dir.path;
			return "";
		}
		Capture err(2);
		font = startUp();
		std::string text = err.finish();
		keyp = keyboard;
		return text;
	}

	// Plays n game cycles with the ship firing and weaving; returns the cycles run before
	// the loop ended. The entities' messages (std::cerr) go to errText; the descriptor
	// itself is left alone, so that a sanitizer's report is seen.
	int play(int n, std::string *errText = nullptr) {
		std::ostringstream err;
		std::streambuf *old = std::cerr.rdbuf(err.rdbuf());
		int i = 0;
		for (; i < n; i++) {
			keyboard[SDLK_SPACE] = (i % 7) != 0;
			keyboard[SDLK_LEFT] = (i / 40) % 2 == 0;
			keyboard[SDLK_RIGHT] = (i / 40) % 2 == 1;
			keyboard[SDLK_UP] = (i / 25) % 3 == 0;
			cycles = 1;
			if (!loopPass(font)) {
				i++;
				break;
			}
		}
		std::cerr.rdbuf(old);
		if (errText != nullptr) {
			*errText = err.str();
		}
		return i;
	}

	// Ends the game started here: world, registry with its bitmaps, font, field and screen.
	void stopGame() {
		clearWorld();
		delete font;
		font = nullptr;
		delete env;
		env = nullptr;
		delete vp;
		vp = nullptr;
		delete debug;
		debug = nullptr;
		delete screen;  // SDL keeps the video surface; the next start-up sets the mode again
		screen = nullptr;
		gameover = 0;
		dbg = 4;
		keyp = nullptr;
	}

	// Counts the live entities made from template id.
	int count(const std::string &id) {
		int n = 0;
		for (Entity *e = elist; e != nullptr; e = e->next) {
			n += e->id == id;
		}
		return n;
	}

	// Starts with the given definition file and plays n cycles; the messages of both.
	std::string startAndPlay(const std::string &entityDat, int n, int *played = nullptr) {
		put("data/entity.dat", entityDat);
		std::string text = startGame();
		std::string more;
		int got = play(n, &more);
		if (played != nullptr) {
			*played = got;
		}
		return text + more;
	}
};

// The template dump without the bitmaps' addresses, which differ from load to load.
inline std::string registryDump() {
	Capture out(1);
	printEdList(1);
	std::string text = out.finish();
	std::string kept;
	size_t at = 0;
	while (true) {
		size_t found = text.find("BITMAP 0x", at);
		if (found == std::string::npos) {
			break;
		}
		kept += text.substr(at, found - at) + "BITMAP";
		at = text.find(' ', found + 7);
	}
	return kept + text.substr(at);
}

// Whether the text holds the words.
inline bool has(const std::string &text, const std::string &what) {
	return text.find(what) != std::string::npos;
}

#endif
