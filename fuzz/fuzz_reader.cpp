// libFuzzer target: any bytes as an entity definition file, read for the ids it names.
// It runs in an empty folder in memory (/dev/shm), so that the frame images the input names
// are not found: decoding pictures is the image target's work, and would slow this one down
// a hundredfold. Inputs are bounded to what a template block needs.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <unistd.h>
#include "entity/entitydata.h"
#include "fuzz/fuzz_support.h"

static NullBuf nullBuf;
static std::string defFile;  // the input, written where the reader can open it
static std::string defDir;
static int inputFd;  // kept open: one write per input instead of an open and a close

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
	char tmpl[] = "/dev/shm/vorska_fuzz_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	defDir = tmpl;
	defFile = defDir + "/entity.dat";
	atexit(removeDefFile);
	if (chdir(defDir.c_str()) != 0) {
		abort();
	}
	// libFuzzer and the sanitizers report on the standard error descriptor, not through the messages
	setMessageSink(discardMessage);
	std::cout.rdbuf(&nullBuf);  // the dumps: a write to /dev/null per line otherwise
	inputFd = open(defFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	if (inputFd < 0) {
		abort();
	}
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

// Longest input tried: a few template blocks, and still quick to read (run_all.sh seeds the
// fuzzer with the game's blocks one by one).
#define MAX_INPUT_BYTES 1024

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	if (size > MAX_INPUT_BYTES) {
		return 0;
	}
	if (ftruncate(inputFd, 0) != 0 || pwrite(inputFd, data, size, 0) != (ssize_t)size) {
		abort();
	}
	std::string text(reinterpret_cast<const char *>(data), size);
	std::vector<std::string> ids = idsToRead(text);
	for (size_t i = 0; i < ids.size(); i++) {
		addEnD(defFile, ids[i]);
	}
	printEdList(1);
	clearRegistry();
	return 0;
}
