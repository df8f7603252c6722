// The platform under the game where it meets the world: a gamepad reaching the keys through the
// poll, the wait that paces a real window, and the bounded reading of the game's files.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <thread>
#include <unistd.h>
#include "platform/gamepad.h"
#include "platform/readfile.h"
#include "tests/support/testsupport.h"

// A pad in place of SDL's joysticks, below the game's own reading of it: what it holds now, and
// what SDL took at its last update (with the pad's events ignored, nothing changes in between).
struct FakePad {
	bool plugged = false;
	PadState now, read;
};
static FakePad fakePad;

int SDL_NumJoysticks() {
	return fakePad.plugged ? 1 : 0;
}
SDL_Joystick *SDL_JoystickOpen(int index) {
	return fakePad.plugged && index == 0 ? (SDL_Joystick *)&fakePad : nullptr;
}
void SDL_JoystickUpdate() {
	fakePad.read = fakePad.now;
}
Sint16 SDL_JoystickGetAxis(SDL_Joystick *, int axis) {
	return (Sint16)(axis == 0 ? fakePad.read.x : axis == 1 ? fakePad.read.y : 0);
}
int SDL_JoystickNumHats(SDL_Joystick *) {
	return 1;
}
Uint8 SDL_JoystickGetHat(SDL_Joystick *, int hat) {
	return hat == 0 ? fakePad.read.hat : 0;
}
int SDL_JoystickNumButtons(SDL_Joystick *) {
	return PAD_BUTTONS;
}
Uint8 SDL_JoystickGetButton(SDL_Joystick *, int button) {
	return (fakePad.read.buttons >> button) & 1;
}

namespace {

// Each reading of a pad, poll after poll, and the keys held then; E is held on the keyboard
// throughout and stays held.
TEST(Platform, GamepadHoldsItsKeysThroughThePoll) {
	ASSERT_NE(headlessVideo(), nullptr);
	init_pad();
	static Uint8 board[NUM_KEYS];
	keyp = board;
	board[SDLK_e] = 1;
	const struct {
		bool plugged;
		PadState pad;
		std::vector<int> held;
	} polls[] = {
		{false, {0, 0, 0, 1u << PAD_BUTTON_FIRE}, {SDLK_e}},             // no pad yet
		{true, {0, 0, 0, 1u << PAD_BUTTON_FIRE}, {SDLK_SPACE, SDLK_e}},  // it appears, and is opened
		{true, {0, 0, 0, 0}, {SDLK_e}},
		{true, {-PAD_STICK_DEAD_ZONE, PAD_STICK_DEAD_ZONE, 0, 0}, {SDLK_e}},  // inside the dead zone
		{true, {-32768, 0, 0, 0}, {SDLK_e, SDLK_LEFT}},
		{true, {20000, 32767, 0, 0}, {SDLK_e, SDLK_DOWN, SDLK_RIGHT}},
		{true, {0, -20000, SDL_HAT_LEFTDOWN, 0}, {SDLK_e, SDLK_UP, SDLK_DOWN, SDLK_LEFT}},
		{true, {0, 0, 0, 1u << PAD_BUTTON_START}, {SDLK_e, SDLK_p}},
		{true, {0, 0, 0, (1u << PAD_BUTTON_BACK) | 2u}, {SDLK_ESCAPE, SDLK_e}},  // button 1 stands for nothing
	};
	for (const auto &p : polls) {
		fakePad.plugged = p.plugged;
		fakePad.now = p.pad;
		poll_input();
		std::vector<int> held;
		for (int k = 0; k < NUM_KEYS; k++) {
			if (keys[k] != 0) {
				held.push_back(k);
			}
		}
		EXPECT_EQ(held, p.held) << p.pad.x << "," << p.pad.y << " hat " << (int)p.pad.hat << " buttons "
								<< p.pad.buttons;
	}
	keyp = nullptr;
}

// How long f takes, in microseconds.
template <typename F> long long microseconds(F f) {
	std::chrono::steady_clock::time_point from = std::chrono::steady_clock::now();
	f();
	return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - from).count();
}

// The wait of a paced window ends at once when a cycle is due, at the game timer's tick, and
// else at its limit. Only bounds that a loaded machine cannot break are held: a wait that
// fails to end early takes the whole limit every time, so the quickest of a few tries tells.
TEST(Pace, TheWaitEndsWhenACycleIsDueAndNoLaterThanItsLimit) {
	const struct {
		const char *what;
		int due;     // cycles counted when the wait begins
		bool tick;   // the game timer ticks a few milliseconds into the wait
		bool early;  // it ends well inside its limit, or not before it
	} rows[] = {
		{"a cycle due already", 1, false, true},
		{"the game timer's tick", 0, true, true},
		{"no tick", 0, false, false},
	};
	for (const auto &r : rows) {
		long long quickest = LLONG_MAX, slowest = 0;
		for (int i = 0; i < 4; i++) {
			cycles = r.due;
			std::thread clock([&r] {
				if (r.tick) {
					std::this_thread::sleep_for(std::chrono::milliseconds(3));
					gameTimer(13, nullptr);
				}
			});
			long long us = microseconds(waitForNextCycle);
			clock.join();
			quickest = std::min(quickest, us);
			slowest = std::max(slowest, us);
		}
		if (r.early) {
			EXPECT_LT(quickest, PACE_MAX_WAIT_US / 2) << r.what;
		} else {
			EXPECT_GE(slowest, PACE_MAX_WAIT_US) << r.what;
		}
	}
	cycles = 0;
}

// A paced window runs a game cycle for every tick of the game timer, 50 a second as SDL 1.2
// fires it, and sleeps in between: a clock ticks every 20 ms while the real loop runs paced.
TEST(Pace, APacedLoopRunsACycleForEveryTick) {
	GameWorld w(testData("small.dat"), 450, 2000);
	setupLevel();
	screen->paced = 1;
	const int ticks = 50;
	std::atomic<bool> ticking(true);
	std::thread clock([&ticking] {
		std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();
		for (int i = 0; i < ticks; i++) {
			std::this_thread::sleep_until(at += std::chrono::milliseconds(20));
			gameTimer(20, nullptr);
		}
		ticking = false;
	});
	cpsc = 0;
	int passes = 0;
	for (; ticking; passes++) {
		loopPass(&w.font);
	}
	clock.join();
	screen->paced = 0;
	// a lost tick now and then on a loaded machine, but not every second or fifth one
	EXPECT_GE(cpsc.load(), ticks * 3 / 5);
	EXPECT_LE(passes, cpsc.load() + ticks / 5) << "passes that waited for nothing";
}

// Bytes this process has read from files so far.
long long bytesRead() {
	std::string io = readFile("/proc/self/io");
	return atoll(io.c_str() + io.find("rchar:") + 6);
}

// A file is refused by its size before a byte of it is read, its bound included; one that
// says it is smaller than it is is refused by what it holds.
TEST(ReadGameFile, SizeIsRefusedBeforeReadingAndHeldWhileReading) {
	TempDir dir;
	std::string sparse = dir.write("sparse", "");
	ASSERT_EQ(truncate(sparse.c_str(), 1LL << 40), 0);
	const struct {
		std::string path;
		long most;
		const char *why;   // "" when it is read
		bool readsLittle;  // refused before reading
	} rows[] = {
		{dir.write("fits", std::string(1000, 'x')), 1000, "", false},
		{dir.write("over", std::string(1001, 'x')), 1000, "larger than 1000 bytes", true},
		{sparse, MAX_GAME_FILE_BYTES, "larger than 67108864 bytes", true},
		{"/proc/self/status", 16, "larger than 16 bytes", false},  // its size says 0
	};
	for (const auto &r : rows) {
		std::string content, why;
		long long from = bytesRead();
		int ok = readGameFile(r.path, r.most, content, why);
		long long read = bytesRead() - from;
		EXPECT_EQ(ok, why.empty()) << r.path;
		EXPECT_EQ(why, r.why) << r.path;
		EXPECT_TRUE(!ok || (long)content.size() == r.most) << r.path;
		EXPECT_TRUE(!r.readsLittle || read < r.most / 2) << r.path << ": " << read << " bytes read";
	}
}

}  // namespace
