// Helpers shared by the tests.
#include "tests/support/testsupport.h"
#include "entity/report.h"

#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include "entity/ef_def.h"

// Makes a unique folder under /tmp.
TempDir::TempDir() {
	char tmpl[] = "/tmp/vorska_test_XXXXXX";
	char *p = mkdtemp(tmpl);
	path = p ? p : "/tmp";
}

// Removes the folder and its contents.
TempDir::~TempDir() {
	if (path.compare(0, 17, "/tmp/vorska_test_") == 0) {
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

// Flushes every stream that may hold text for fd 1 or 2.
static void flushAll() {
	std::cout.flush();
	std::cerr.flush();
	fflush(nullptr);
}

// Redirects fd into a temporary file until finish.
Capture::Capture(int f) : fd(f), saved(-1), done(false) {
	flushAll();
	char tmpl[] = "/tmp/vorska_capture_XXXXXX";
	int tmp = mkstemp(tmpl);
	file = tmpl;
	saved = dup(fd);
	dup2(tmp, fd);
	close(tmp);
}

Capture::~Capture() {
	finish();
}

// Restores fd and returns what was written while it was captured.
std::string Capture::finish() {
	if (done) {
		return "";
	}
	flushAll();
	dup2(saved, fd);
	close(saved);
	done = true;
	std::string text = readFile(file);
	unlink(file.c_str());
	return text;
}

// The catcher that messages go to now, and the sink to pass the rest to.
static MessageCatcher *catcher = nullptr;

// Keeps standard error messages in the current catcher.
static void catchMessage(MessageStream to, const std::string &text) {
	if (to == MESSAGE_ERR) {
		catcher->text += text;
	} else {
		catcher->before(to, text);
	}
}

MessageCatcher::MessageCatcher() : before(setMessageSink(catchMessage)), outer(catcher) {
	catcher = this;
}

MessageCatcher::~MessageCatcher() {
	catcher = outer;
	setMessageSink(before);
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

// The repository as the build names it, so that death-test children find it from any folder
// (a file's own path is no guide: Debian's build flags map it to "./tests/...").
std::string repoRoot() {
	return VORSKA_ROOT;
}

// Addresses differ from run to run; temporary folders too. Short hex such as a size 0x0 stays.
std::string scrubbed(std::string text, const std::string &from, const std::string &to) {
	text = std::regex_replace(text, std::regex("0x[0-9a-f]{5,}"), "0x");
	for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos; at += to.size()) {
		text.replace(at, from.size(), to);
	}
	return text;
}

// One golden file per text; a different text is left beside it for diff.
std::string runtimeGolden(const std::string &base) {
	return base + (SDL_Linked_Version()->patch == 15 ? "" : "_sdl12compat") + ".golden";
}

void expectGolden(const std::string &name, const std::string &text) {
	std::string path = repoRoot() + "/tests/golden/" + name;
	const char *regold = getenv("VORSKA_REGOLD");
	if (regold != nullptr && std::string(regold) == "1") {
		std::ofstream(path.c_str(), std::ios::binary) << text;
		return;
	}
	if (readFile(path) != text) {
		std::ofstream((path + ".actual").c_str(), std::ios::binary) << text;
		ADD_FAILURE() << name << " differs: diff " << path << " " << path << ".actual (VORSKA_REGOLD=1 accepts it)";
	}
}

// Text with the first `from` replaced by `to`; the case must find it.
std::string replaced(std::string text, const std::string &from, const std::string &to) {
	size_t at = text.find(from);
	EXPECT_NE(at, std::string::npos) << from;
	return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A file of tests/data.
std::string testData(const std::string &name) {
	return readFile(repoRoot() + "/tests/data/" + name);
}

// Removes every entity and template.
void clearWorld() {
	while (elist != nullptr) {
		remEn(&elist, elist);
	}
	reapEntities();
	freeEdListBitmaps(edlist);
	edlist.clear();
	num_entities = 0;
	player = nullptr;
	forgetReports();
}

// Builds the world in a temporary folder.
GameWorld::GameWorld(const std::string &entityDat, int fieldW, int fieldH) {
	char buf[PATH_MAX];
	oldcwd = getcwd(buf, sizeof(buf)) ? buf : ".";
	dir.write("data/entity.dat", entityDat);
	if (chdir(dir.path.c_str()) != 0) {
		return;
	}
	headlessVideo();
	clearWorld();
	vp = vp != nullptr ? vp : new Viewport();
	vp->set(screen, 175, 0, 450, 600);
	debug = debug != nullptr ? debug : new Viewport();
	debug->set(screen, 0, 0, 140, 160);
	env = env != nullptr ? env : new Env();
	env->free();
	env->init();
	env->set(vp);
	env->xlen = fieldW;
	env->ylen = fieldH;
	buildEFlags();
	buildEFuncs();
	gameover = 0;
	dbg = 4;
	for (int k = 0; k < NUM_KEYS; k++) {
		keyboard[k] = keys[k] = prev[k] = 0;
	}
	keyp = keyboard;
	mod = KMOD_NONE;
	cycles = 0;
}

// Leaves the folder and empties the world.
GameWorld::~GameWorld() {
	clearWorld();
	keyp = nullptr;
	SDL_SetModState(KMOD_NONE);
	if (chdir(oldcwd.c_str()) != 0) {
	}
}

// One pass of the main loop with one game cycle due.
int GameWorld::cycle() {
	cycles = 1;
	return loopPass(&font);
}

void awaitPoll(int k, int v) {
	while (__atomic_load_n(&keys[k], __ATOMIC_ACQUIRE) != v || __atomic_load_n(&prev[k], __ATOMIC_ACQUIRE) != v) {
		std::this_thread::yield();
	}
}

int pausedCycle(Font *font, Uint8 *keyboard, const std::function<void()> &inPause) {
	std::thread helper([keyboard, &inPause] {
		while (__atomic_load_n(&keys[SDLK_p], __ATOMIC_ACQUIRE) == 0) {
			std::this_thread::yield();
		}
		__atomic_store_n(&keyboard[SDLK_p], 0, __ATOMIC_RELEASE);
		awaitPoll(SDLK_p, 0);
		if (inPause) {
			inPause();
		}
		__atomic_store_n(&keyboard[SDLK_p], 1, __ATOMIC_RELEASE);
		awaitPoll(SDLK_p, 1);
		__atomic_store_n(&keyboard[SDLK_p], 0, __ATOMIC_RELEASE);
	});
	cycles = 1;
	int going = loopPass(font);
	helper.join();
	return going;
}

// Links every file the game reads into the folder (folders are made, files linked).
GameDir::GameDir() {
	std::string root = repoRoot();
	std::string cmd =
		"cp -rs '" + root + "/data' '" + root + "/gfx' '" + root + "/font_sm' '" + root + "/sfx' '" + dir.path + "'";
	EXPECT_EQ(system(cmd.c_str()), 0);
}

GameDir::~GameDir() {
	stop();
	if (chdir(repoRoot().c_str()) != 0) {
	}
}

void GameDir::drop(const std::string &name) {
	unlink(dir.at(name).c_str());
}

// The link goes first, so the game's own file is untouched.
void GameDir::put(const std::string &name, const std::string &content) {
	drop(name);
	dir.write(name, content);
}

std::string GameDir::start() {
	stop();
	if (chdir(dir.path.c_str()) != 0) {
		ADD_FAILURE() << "cannot enter " << dir.path;
		return "";
	}
	Capture err(2);
	font = startUp();
	keyp = keyboard;
	return err.finish();
}

int GameDir::play(int n, std::string *errText) {
	MessageCatcher err;
	int i = 0;
	for (bool going = true; going && i < n; i++) {
		keyboard[SDLK_SPACE] = (i % 7) != 0;
		keyboard[SDLK_LEFT] = (i / 40) % 2 == 0;
		keyboard[SDLK_RIGHT] = (i / 40) % 2 == 1;
		keyboard[SDLK_UP] = (i / 25) % 3 == 0;
		cycles = 1;
		going = loopPass(font) != 0;
	}
	if (errText != nullptr) {
		*errText = err.text;
	}
	return i;
}

// SDL keeps the video surface; the next start-up sets the mode again.
void GameDir::stop() {
	clearWorld();
	delete font;
	font = nullptr;
	delete env;
	env = nullptr;
	delete vp;
	vp = nullptr;
	delete debug;
	debug = nullptr;
	delete screen;
	screen = nullptr;
	gameover = 0;
	dbg = 4;
	keyp = nullptr;
}

int GameDir::count(const std::string &id) const {
	int n = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		n += e->id == id;
	}
	return n;
}
