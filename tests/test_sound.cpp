// The game's sound as heard: SDL's disk driver writes the mix to a file while a scripted game
// plays. The volley sounds after Space, M silences everything and a second M brings it back,
// and the busiest moment of the level (the helicopter's attacks, tanks firing and exploding,
// the volley and the music at once) never reaches the limits of the sample range.
#include <gtest/gtest.h>
#include <SDL_mixer.h>
#include <sys/stat.h>
#include <algorithm>
#include <cstring>
#include "tests/support/testsupport.h"

namespace {

// How far the mix may run ahead of what the file shows: the driver writes through a stdio
// buffer and each runtime mixes a buffer or two ahead.
const double SLACK_S = 0.5;

// A game started on the disk driver, writing its mix into the game's folder.
struct DiskSound : public ::testing::Test {
	GameDir game;
	std::string mix = game.dir.at("mix.raw");
	long bytesPerS = 0;

	void start() {
		setenv("SDL_AUDIODRIVER", "disk", 1);
		setenv("SDL_DISKAUDIOFILE", mix.c_str(), 1);
		setenv("SDL_DISKAUDIODELAY", "23", 1);  // about the time one buffer lasts
		game.start();
		int rate = 0, channels = 0;
		Uint16 format = 0;
		ASSERT_TRUE(Mix_QuerySpec(&rate, &format, &channels));
		ASSERT_EQ(format, AUDIO_S16SYS);
		bytesPerS = 2L * rate * channels;
	}
	// Bytes of the mix in the file so far.
	long written() const {
		struct stat st;
		return stat(mix.c_str(), &st) == 0 ? (long)st.st_size : 0;
	}
	// Waits until the mix has run on by seconds beyond the slack; returns where the file is then.
	long waitMix(double seconds) {
		long until = written() + (long)((seconds + SLACK_S) * bytesPerS);
		for (int ms = 0; ms < 20000 && written() < until; ms += 5) {
			SDL_Delay(5);
		}
		return written();
	}
	// One game cycle with the key held.
	void cycleWith(int key) {
		game.keyboard[key] = 1;
		cycles = 1;
		loopPass(game.font);
		game.keyboard[key] = 0;
	}
	// The mix as samples, once the device is closed and the file complete.
	std::vector<Sint16> samples() {
		closeSound();
		std::string raw = readFile(mix);
		std::vector<Sint16> s(raw.size() / 2);
		memcpy(s.data(), raw.data(), s.size() * 2);
		return s;
	}
};

TEST_F(DiskSound, VolleyAfterSpaceSilenceAfterMSoundAfterTheSecondM) {
	game.put("data/sound.dat", "volley sfx/volley.wav 100 1\n");  // nothing else, not even music
	start();
	long space = waitMix(0.2);
	cycleWith(SDLK_SPACE);
	long mute = waitMix(0.3);
	cycleWith(SDLK_m);
	for (int i = 0; i < 12; i++) {
		cycleWith(SDLK_SPACE);  // volleys asked while muted
	}
	long unmute = waitMix(0.5);
	cycleWith(SDLK_m);
	cycleWith(SDLK_SPACE);
	long end = waitMix(0.3);
	std::vector<Sint16> s = samples();
	const struct {
		long from, to;
		bool heard;
	} stretches[] = {
		{0, space, false},
		{space, mute, true},
		{mute + (long)(SLACK_S * bytesPerS), unmute, false},
		{unmute, end, true},
	};
	for (const auto &st : stretches) {
		ASSERT_LT(st.from, st.to);
		bool heard = std::any_of(s.begin() + st.from / 2, s.begin() + st.to / 2, [](Sint16 v) { return v != 0; });
		EXPECT_EQ(heard, st.heard) << "bytes " << st.from << " to " << st.to;
	}
}

TEST_F(DiskSound, TheBusiestMomentDoesNotClip) {
	start();
	// the helicopter and three tanks in the ship's line of fire: tanks and helicopter go down
	// within the stretch, and the ship may too
	int tanks = 0;
	for (Entity *e = elist; e != nullptr; e = e->next) {
		if (e->id == "Tank" && tanks < 3) {
			e->x = player->x - 14 + 30 * (tanks++ - 1);
			e->y = player->y - 120;
		} else if (e->id == "Helicopter") {
			e->x = player->x - 22;
			e->y = player->y - 260;
			e->life = 20;
		}
	}
	game.keyboard[SDLK_SPACE] = 1;
	for (int i = 0; i < 250; i++) {
		cycles = 1;
		loopPass(game.font);
		SDL_Delay(20);  // the game's own pace, so that the sounds fall as they would in play
	}
	std::vector<Sint16> s = samples();
	auto loudest = std::minmax_element(s.begin(), s.end());
	EXPECT_GT(std::max(-*loudest.first, (int)*loudest.second), 4000);  // it was loud, yet ...
	EXPECT_GT(*loudest.first, -32768);                                 // ... never clipped
	EXPECT_LT(*loudest.second, 32767);
}

}  // namespace
