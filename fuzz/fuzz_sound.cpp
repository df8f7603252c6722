// libFuzzer target: any bytes as a sound map and a sound file. The input is the map's text, then
// a NUL byte, then the bytes of a WAV file (no NUL: the map alone). The game's map reader takes
// the text, and the WAV file goes through the guard and, when it passes, to SDL_mixer's decoder
// as the game loads it, into the format of a mixer opened as the game opens it (on SDL's dummy
// driver). The decoder carries no coverage, but whatever the guard lets through must decode
// within the memory limit, or be refused, without a fault.
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "platform/message.h"
#include "platform/sound.h"

static std::string workDir;

// Removes the files that opened the mixer, and their folder, at exit.
static void removeWorkDir() {
	unlink((workDir + "/sound.dat").c_str());
	unlink((workDir + "/quiet.wav").c_str());
	rmdir(workDir.c_str());
}

// Writes text to the file at path.
static void put(const std::string &path, const std::string &text) {
	FILE *f = fopen(path.c_str(), "wb");
	if (f == nullptr || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0) {
		abort();
	}
}

// Opens the mixer as the game does, through a map of one silent sound on the dummy driver.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	setenv("SDL_AUDIODRIVER", "dummy", 1);
	setMessageSink(discardMessage);
	char tmpl[] = "/dev/shm/vorska_fuzz_sound_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	workDir = tmpl;
	atexit(removeWorkDir);
	// a RIFF WAVE file of 8-bit mono samples: one format chunk and an empty data chunk
	put(workDir + "/quiet.wav", std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x22\x56\0\0\x22\x56\0\0\1\0\x08\0"
	                                        "data\0\0\0\0",
	                                        44));
	put(workDir + "/sound.dat", "volley " + workDir + "/quiet.wav 0 1\n");
	openSound((workDir + "/sound.dat").c_str());
	if (Mix_QuerySpec(nullptr, nullptr, nullptr) == 0) {
		abort();
	}
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	std::string input(reinterpret_cast<const char *>(data), size);
	size_t nul = input.find('\0');
	SoundLine lines[SOUND_EVENTS];
	std::string first;
	int firstNumber = 0;
	readSoundMapText(input.substr(0, nul), lines, &firstNumber, &first);
	if (nul != std::string::npos) {
		std::string why;
		Mix_Chunk *chunk = decodeSound(input.substr(nul + 1), why);
		if (chunk != nullptr) {
			Mix_FreeChunk(chunk);
		}
	}
	return 0;
}
