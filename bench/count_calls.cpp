// Counts, from outside the game, what bench/play_cpu.sh reports: the flips (SDL_Flip), the
// keyboard polls (SDL_GetModState, which poll_input calls once per game cycle), the time
// spent inside SDL_Flip and the heap allocations (bench/count_heap.cpp, copied at each flip). Loaded with LD_PRELOAD
// into the unchanged game; the counts live in the file named by VORSKA_COUNT_FILE, mapped into memory, so that the
// script reads them while the game runs.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include "bench/count_heap.h"

namespace {

// The layout of the count file: four unsigned 64-bit numbers in this order.
struct Counts {
	std::atomic<uint64_t> flips;
	std::atomic<uint64_t> polls;
	std::atomic<uint64_t> flipNanoseconds;
	std::atomic<uint64_t> allocations;
};

// The mapped count file, or a private block when no file was named.
Counts *counts() {
	static Counts *mapped = nullptr;
	if (mapped != nullptr) {
		return mapped;
	}
	static Counts privateCounts;
	mapped = &privateCounts;
	const char *path = getenv("VORSKA_COUNT_FILE");
	int fd = path != nullptr ? open(path, O_RDWR | O_CREAT, 0644) : -1;
	if (fd >= 0 && ftruncate(fd, sizeof(Counts)) == 0) {
		void *p = mmap(nullptr, sizeof(Counts), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
		if (p != MAP_FAILED) {
			mapped = static_cast<Counts *>(p);
		}
	}
	if (fd >= 0) {
		close(fd);
	}
	return mapped;
}

// The next definition of name after this library: SDL's own.
void *sdlFunction(const char *name) {
	return dlsym(RTLD_NEXT, name);
}

}  // namespace

extern "C" {

// SDL's flip, counted and timed.
int SDL_Flip(void *surface) {
	typedef int (*FlipFunction)(void *);
	static FlipFunction flip = reinterpret_cast<FlipFunction>(sdlFunction("SDL_Flip"));
	std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
	int result = flip(surface);
	std::chrono::steady_clock::duration spent = std::chrono::steady_clock::now() - start;
	Counts *c = counts();
	c->flips++;
	c->flipNanoseconds += (uint64_t)std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count();
	c->allocations = (uint64_t)heapAllocations();
	return result;
}

// SDL's modifier state, counted: one call is one keyboard poll of the game.
int SDL_GetModState() {
	typedef int (*ModStateFunction)();
	static ModStateFunction modState = reinterpret_cast<ModStateFunction>(sdlFunction("SDL_GetModState"));
	counts()->polls++;
	return modState();
}
}
