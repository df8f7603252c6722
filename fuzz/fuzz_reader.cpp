// libFuzzer target: any bytes as an entity definition file, read for the ids it names.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include "entity/entitydata.h"

// Swallows what the reader prints; its formatting still runs.
class NullBuf : public std::streambuf {
protected:
	int overflow(int c) override {
		return c;
	}
};

static NullBuf nullBuf;
static std::string defFile;  // the input, written where the reader can open it
static std::string defDir;

static int efStub(void *) {
	return 0;
}

// Removes the input file and its folder at exit.
static void removeDefFile() {
	unlink(defFile.c_str());
	rmdir(defDir.c_str());
}

// Starts the dummy video once, fills the name tables and makes the folder for the input file.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	if (SDL_Init(SDL_INIT_VIDEO) == 0) {
		SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE);
	}
	buildEFlags();
	ent_fun_table["EF_DIE"] = efStub;
	ent_fun_table["EF_FIRE_AIMED"] = efStub;
	ent_fun_table["EF_PLAYER_GONE"] = efStub;
	char tmpl[] = "/tmp/vorska_fuzz_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	defDir = tmpl;
	defFile = defDir + "/entity.dat";
	atexit(removeDefFile);
	// libFuzzer and the sanitizers report on the standard error descriptor, not through cerr
	std::cerr.rdbuf(&nullBuf);
	if (freopen("/dev/null", "w", stdout) == nullptr) {
		abort();
	}
	return 0;
}

// The ids the reader's scan would find after ENTITY tokens, a few at most, then fixed ones.
static std::vector<std::string> idsToRead(const std::string &text) {
	std::vector<std::string> ids;
	std::istringstream in(text);
	std::string tok;
	while (ids.size() < 4 && in >> tok) {
		if (tok == "ENTITY" && in >> tok) {
			ids.push_back(tok);
		}
	}
	ids.push_back("Player");
	ids.push_back("Tank");
	if (!ids.empty()) {
		ids.push_back(ids[0]);  // a second load of a registered id reads nothing
	}
	return ids;
}

// Frees every frame bitmap of the registry (each registered frame holds its own) and empties it.
static void clearRegistry() {
	freeEdListBitmaps(edlist);
	edlist.clear();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	FILE *f = fopen(defFile.c_str(), "wb");
	if (f == nullptr) {
		abort();
	}
	if (size > 0 && fwrite(data, 1, size, f) != size) {
		abort();
	}
	fclose(f);
	std::string text(reinterpret_cast<const char *>(data), size);
	std::vector<std::string> ids = idsToRead(text);
	for (size_t i = 0; i < ids.size(); i++) {
		addEnD(defFile, ids[i]);
	}
	printEdList(1);
	clearRegistry();
	return 0;
}
