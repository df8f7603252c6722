// The game's sound: which events' voices are heard through the game's own loop and keys (M
// silences everything at once and keeps it silent, the pause holds everything but its own
// sound, one event's voices ring together), what the sound map and the WAV guard refuse, and
// the mix as heard: SDL's disk driver writes it to a file while a scripted game plays, where the
// map's level scales a sound and the busiest moment of the level never reaches the limits of
// the sample range.
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

// The voices heard of the volley, the music, the pause and the resume.
std::vector<int> heard() {
	return {voicesHeard(SOUND_VOLLEY), voicesHeard(SOUND_MUSIC), voicesHeard(SOUND_PAUSE), voicesHeard(SOUND_RESUME)};
}

// Presses and lets go of key k while the pause polls, each once its polls have seen it.
void tapInPause(Uint8 *keyboard, int k) {
	for (int v : {1, 0}) {
		__atomic_store_n(&keyboard[k], v, __ATOMIC_RELEASE);
		awaitPoll(k, v);
	}
}

TEST(Sound, MuteAndPauseHoldEverySoundAndAnEventsVoicesRingTogether) {
	GameDir game;
	// every sound is the long music file: one started is still going when it is looked at
	game.put("data/sound.dat", "volley sfx/music.wav 50 2\nmusic sfx/music.wav 50 1\npause sfx/music.wav 50 1\n"
	                           "resume sfx/music.wav 50 1\n");
	game.start();
	const struct {
		const char *keys;                       // down in the cycle: S Space, M, P a pause
		const char *tapsInPause;                // tapped one after another in the pause
		std::vector<std::vector<int>> inPause;  // heard when the pause has begun and after each tap
		std::vector<int> after;                 // heard after the cycle
	} steps[] = {
		{"", "", {}, {0, 1, 0, 0}},   // the music from the start
		{"S", "", {}, {1, 1, 0, 0}},  // a volley on the press of Space
		{"", "", {}, {2, 1, 0, 0}},   // another on its release, beside the first
		{"S", "", {}, {2, 1, 0, 0}},  // a third takes the oldest one's voice
		{"M", "", {}, {0, 0, 0, 0}},  // M silences everything at once
		{"S", "", {}, {0, 0, 0, 0}},  // and every volley asked while muted, pressed, released or held
		{"", "", {}, {0, 0, 0, 0}},
		{"S", "", {}, {0, 0, 0, 0}},
		{"S", "", {}, {0, 0, 0, 0}},
		{"S", "", {}, {0, 0, 0, 0}},
		{"S", "", {}, {0, 0, 0, 0}},
		{"S", "", {}, {0, 0, 0, 0}},
		{"", "", {}, {0, 0, 0, 0}},
		{"M", "", {}, {0, 1, 0, 0}},  // the second M brings back the music, not the volleys
		{"S", "", {}, {1, 1, 0, 0}},
		{"", "", {}, {2, 1, 0, 0}},
		{"P", "", {{0, 0, 1, 0}}, {2, 1, 1, 1}},  // the pause holds all but its own sound, and lets all go on
		// M in the pause silences it too, and the second M leaves the music for after the pause
		{"P", "MM", {{0, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}, {0, 1, 0, 1}},
	};
	int n = 0;
	for (const auto &s : steps) {
		game.keyboard[SDLK_SPACE] = strchr(s.keys, 'S') != nullptr;
		game.keyboard[SDLK_m] = strchr(s.keys, 'M') != nullptr;
		game.keyboard[SDLK_p] = strchr(s.keys, 'P') != nullptr;
		std::vector<std::vector<int>> inPause;
		cycles = 1;
		if (game.keyboard[SDLK_p]) {
			pausedCycle(game.font, game.keyboard, [&] {
				inPause.push_back(heard());
				for (const char *t = s.tapsInPause; *t; t++) {
					tapInPause(game.keyboard, *t == 'M' ? SDLK_m : SDLK_p);
					inPause.push_back(heard());
				}
			});
		} else {
			loopPass(game.font);
		}
		EXPECT_EQ(inPause, s.inPause) << "step " << n;
		EXPECT_EQ(heard(), s.after) << "step " << n;
		n++;
	}
}

// A chunk of a RIFF file: its name, the length it claims (its own unless given) and its bytes.
std::string chunk(const std::string &name, const std::string &body, long claimed = -1) {
	unsigned n = (unsigned)(claimed < 0 ? (long)body.size() : claimed);
	return name + std::string{(char)n, (char)(n >> 8), (char)(n >> 16), (char)(n >> 24)} + body;
}

// A WAV file of these chunks.
std::string riff(const std::string &chunks) {
	return chunk("RIFF", "WAVE" + chunks);
}

// A format chunk of 8-bit mono PCM at rate.
std::string fmt(unsigned rate = 22050) {
	std::string r = chunk("", "", rate).substr(0, 4);
	return chunk("fmt ", std::string("\1\0\1\0", 4) + r + r + std::string("\1\0\x08\0", 4));
}

// What the map and the WAV guard refuse, said once, and whether the volley is then heard.
TEST(Sound, TheMapAndTheWavGuardRefuseWhatTheyCannotPlay) {
	TempDir dir;
	const std::string second(22050, '\x90'), odd(22051, '\x90');
	const std::string good = riff(fmt() + chunk("data", second));
	const std::string ignored = "Sound map $DIR/sound.dat: 1 line ignored, the first is line ";
	const std::string refused = "Could not load sound $W (";
	const struct {
		const char *map;  // $W is the file w.wav, which holds `file`
		std::string file, said;
		int heard;
	} rows[] = {
		{"volly $W 50 1", good, ignored + "1: unknown event \"volly\"", 0},
		{"volley $W 50 1\nvolley $W 50 2", good, ignored + "2: event \"volley\" given twice", 1},
		{"volley $W 101 1", good, ignored + "1: level \"101\" is not a whole number from 0 to 100", 0},
		{"volley $W 50 9", good, ignored + "1: voices \"9\" is not a whole number from 1 to 8", 0},
		{"volley $W 50 0", good, ignored + "1: voices \"0\" is not a whole number from 1 to 8", 0},
		{"volley $W 50 1\nmusic $W 50 2", good, ignored + "2: voices \"2\" is not a whole number from 1 to 1", 1},
		{"volley $W 50 1 loud", good, ignored + "1: four words wanted: event, file, level and voices", 0},
		{"volley $W 50", good, ignored + "1: four words wanted: event, file, level and voices", 0},
		{"# a comment\n\nvolley $W 0 8 # silent, on eight voices\nmusic $W 100 1", good, "", 1},
		{"volley $W 50 1", riff(fmt() + chunk("data", second, 22051)),
	     refused + "WAV chunk at byte 36 claims 22051 bytes, more than the file holds)", 0},
		{"volley $W 50 1", riff(fmt() + chunk("data", odd) + "\x90" + chunk("LIST", "INFO")), "", 1},  // padded
		{"volley $W 50 1", riff(fmt() + chunk("data", odd)), "", 1},  // last, without its pad
		{"volley $W 50 1", riff(chunk("LIST", "abc") + "\x90" + fmt() + chunk("data", second)),
	     refused + "WAV chunk at byte 12 is of odd length 3, before the samples)", 0},
		{"volley $W 50 1", riff(chunk("data", second) + fmt()), refused + "no format chunk with the samples after it)",
	     0},
		{"volley $W 50 1", riff(fmt(1) + chunk("data", second)),
	     refused + "WAV of format 1, 8 bits, 1 channel(s), 1 Hz: the game plays format 1 (PCM) of 8 or 16 bits, 1 or "
	               "2 channels, 4000 to 96000 Hz)",
	     0},
		{"volley $W 50 1", "RIFF", refused + "not a WAV file)", 0},
		{"volley $DIR/none.wav 50 1", good, "Could not load sound $DIR/none.wav (cannot be opened)", 0},
		{"volley $DIR 50 1", good, "Could not load sound $DIR (not a regular file)", 0},
	};
	for (const auto &r : rows) {
		dir.write("w.wav", r.file);
		std::string map = scrubbed(scrubbed(r.map, "$W", "$DIR/w.wav"), "$DIR", dir.path);
		MessageCatcher err;
		openSound(dir.write("sound.dat", map).c_str());
		playSound(SOUND_VOLLEY);
		flushSounds();
		EXPECT_EQ(scrubbed(err.text, dir.path, "$DIR"),
		          r.said.empty() ? "" : scrubbed(r.said, "$W", "$DIR/w.wav") + "\n")
			<< r.map;
		EXPECT_EQ(voicesHeard(SOUND_VOLLEY), r.heard) << r.map;
		closeSound();
	}
}

// The map's level scales a sound as heard: at a quarter, a quarter as loud.
TEST_F(DiskSound, TheLevelScalesTheSound) {
	int loudest[2];
	for (int i = 0; i < 2; i++) {
		game.put("data/sound.dat", i == 0 ? "volley sfx/volley.wav 100 1\n" : "volley sfx/volley.wav 25 1\n");
		start();
		cycleWith(SDLK_SPACE);
		waitMix(0.2);
		std::vector<Sint16> s = samples();
		auto range = std::minmax_element(s.begin(), s.end());
		loudest[i] = std::max(-*range.first, (int)*range.second);
	}
	EXPECT_GT(loudest[0], 4000);
	EXPECT_NEAR(loudest[1] * 4, loudest[0], loudest[0] * 0.05);
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
