// The game's sound through SDL_mixer: the map of events to files, each event's voices, mute and
// the pause. Every SDL_mixer call of the game is in this file, so that another platform's
// mixer needs only this file changed.
#include "platform/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <sstream>
#include <string>
#include "platform/message.h"
#include "platform/readfile.h"

// The mix: mono, 16 bits, a buffer of some 23 ms, so that a shot is heard with the key.
#define SOUND_RATE_HZ        22050
#define SOUND_BUFFER_SAMPLES 512

#define MAX_SOUND_MAP_BYTES  (64L << 10)
#define MAX_SOUND_FILE_BYTES (8L << 20)  // some 47 s of CD-quality stereo: far beyond any effect or loop
#define MAX_VOICES           8           // of one event: more would only add to the noise
#define WAV_MIN_RATE_HZ      4000        // the sample rates of the WAV files the game plays
#define WAV_MAX_RATE_HZ      96000

// The names of the events in the map, in the order of SoundEvent.
static const char *const EVENT_NAMES[SOUND_EVENTS] = {
	"volley",      "fire_aimed", "fire_lead", "fire_spread", "fire_line", "fire_wave", "death_small",
	"death_large", "death_ship", "life_lost", "return",      "pause",     "resume",    "music",
};

// One event's sound as loaded: its voices are the channels firstChannel onwards.
struct EventSound {
	Mix_Chunk *chunk = nullptr;
	int firstChannel = 0;
	int voices = 0;
	int nextVoice = 0;  // the least recently started voice: free, or the oldest, which gives way
	bool asked = false;
};

// The mixer's state. muted is the player's M; held is the game's pause.
struct SoundState {
	bool open = false;
	bool muted = false;
	bool held = false;
	EventSound events[SOUND_EVENTS];
};
static SoundState sound;

// The event the map calls name; -1 when there is none.
static int eventNamed(const std::string &name) {
	for (int e = 0; e < SOUND_EVENTS; e++) {
		if (name == EVENT_NAMES[e]) {
			return e;
		}
	}
	return -1;
}

// The whole number text spells, when it lies within [lo, hi].
static bool wholeNumber(const std::string &text, int lo, int hi, int *value) {
	char *end = nullptr;
	long v = strtol(text.c_str(), &end, 10);
	if (text.empty() || *end != '\0' || v < lo || v > hi) {
		return false;
	}
	*value = (int)v;
	return true;
}

// Reads one line of the map into lines; "" when it is good or holds nothing, else what is wrong.
static std::string readMapLine(const std::string &text, SoundLine lines[]) {
	std::istringstream in(text.substr(0, text.find('#')));
	std::string name, level, voices, more;
	SoundLine line;
	if (!(in >> name)) {
		return "";
	}
	if (!(in >> line.file >> level >> voices) || (in >> more)) {
		return "four words wanted: event, file, level and voices";
	}
	int e = eventNamed(name);
	if (e < 0) {
		return "unknown event \"" + name + "\"";
	}
	if (lines[e].voices != 0) {
		return "event \"" + name + "\" given twice";
	}
	if (!wholeNumber(level, 0, 100, &line.levelPercent)) {
		return "level \"" + level + "\" is not a whole number from 0 to 100";
	}
	int most = e == SOUND_MUSIC ? 1 : MAX_VOICES;  // the music loops on one voice
	if (!wholeNumber(voices, 1, most, &line.voices)) {
		return "voices \"" + voices + "\" is not a whole number from 1 to " + std::to_string(most);
	}
	lines[e] = line;
	return "";
}

// Reads every line of the map's text, keeping the first of those it ignores.
int readSoundMapText(const std::string &text, SoundLine lines[SOUND_EVENTS], int *firstNumber, std::string *first) {
	std::istringstream in(text);
	std::string line;
	int number = 0, ignored = 0;
	while (std::getline(in, line)) {
		number++;
		std::string why = readMapLine(line, lines);
		if (!why.empty() && ignored++ == 0) {
			*first = why;
			*firstNumber = number;
		}
	}
	return ignored;
}

// Reads the map in path into lines, saying once what is wrong with it; false when it cannot be read.
static bool readSoundMap(const char *path, SoundLine lines[]) {
	std::string content, why;
	if (!readGameFile(path, MAX_SOUND_MAP_BYTES, content, why)) {
		writeMessage(MESSAGE_ERR, "Sound is off: cannot read " + std::string(path) + reasonSuffix(why) + "\n");
		return false;
	}
	std::string first;
	int firstNumber = 0;
	int ignored = readSoundMapText(content, lines, &firstNumber, &first);
	if (ignored != 0) {
		writeMessagef(MESSAGE_ERR, "Sound map %s: %d line%s ignored, the first is line %d: %s\n", path, ignored,
		              ignored == 1 ? "" : "s", firstNumber, first.c_str());
	}
	return true;
}

// Opens the sound device through the mixer; false, said once, when there is none.
static bool openMixer() {
	if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0 ||
	    Mix_OpenAudio(SOUND_RATE_HZ, AUDIO_S16SYS, 1, SOUND_BUFFER_SAMPLES) < 0) {
		writeMessagef(MESSAGE_ERR, "Sound is off: %s\n", SDL_GetError());
		SDL_QuitSubSystem(SDL_INIT_AUDIO);
		return false;
	}
	return true;
}

// Why the WAV format chunk fmt of len bytes describes samples that the game does not play; ""
// when it does: PCM of the depths and layouts SDL 1.2 converts, at rates near enough the mix's
// for its converter, whose table of steps has room for a few halvings or doublings only (a rate
// far off overruns it, and the game crashes).
static std::string wavFormatProblem(const unsigned char *fmt, unsigned long len) {
	if (len < 16) {
		return "WAV format chunk of " + std::to_string(len) + " bytes";
	}
	long tag = littleEndian(fmt, 2), channels = littleEndian(fmt + 2, 2), bits = littleEndian(fmt + 14, 2);
	long rate = littleEndian(fmt + 4, 4);
	if (tag != 1 || (bits != 8 && bits != 16) || channels < 1 || channels > 2 || rate < WAV_MIN_RATE_HZ ||
	    rate > WAV_MAX_RATE_HZ) {
		return "WAV of format " + std::to_string(tag) + ", " + std::to_string(bits) + " bits, " +
		       std::to_string(channels) + " channel(s), " + std::to_string(rate) +
		       " Hz: the game plays format 1 (PCM) of 8 or 16 bits, 1 or 2 channels, " +
		       std::to_string(WAV_MIN_RATE_HZ) + " to " + std::to_string(WAV_MAX_RATE_HZ) + " Hz";
	}
	return "";
}

// Checks that data is a RIFF WAVE file that SDL 1.2's reader takes without reading beyond it or
// asking for more memory than it holds: the reader asks for as much as a chunk claims before it
// reads a byte, skips no padding, and reads on past the end for a format chunk and the samples
// after it, taking whatever it finds there for lengths. So the chunks up to the samples must lie
// within the file, be of even lengths, and hold a format the game plays before the samples.
// 1 when so, else 0 with why set.
static int wavChunksFit(const std::string &data, std::string &why) {
	if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) {
		why = "not a WAV file";
		return 0;
	}
	const unsigned char *p = (const unsigned char *)data.data();
	bool format = false;
	for (size_t at = 12; at + 8 <= data.size(); at += 8 + (size_t)littleEndian(p + at + 4, 4)) {
		unsigned long len = (unsigned long)(uint32_t)littleEndian(p + at + 4, 4);
		std::string chunk = "WAV chunk at byte " + std::to_string(at);
		if (len > data.size() - at - 8) {
			why = chunk + " claims " + std::to_string(len) + " bytes, more than the file holds";
			return 0;
		}
		if (format && data.compare(at, 4, "data") == 0) {
			return 1;
		}
		if (len & 1) {
			why = chunk + " is of odd length " + std::to_string(len) + ", before the samples";
			return 0;
		}
		if (data.compare(at, 4, "fmt ") == 0) {
			why = wavFormatProblem(p + at + 8, len);
			if (!why.empty()) {
				return 0;
			}
			format = true;
		}
	}
	why = "no format chunk with the samples after it";
	return 0;
}

// Decodes data once the guard has let it pass.
Mix_Chunk *decodeSound(const std::string &data, std::string &why) {
	if (!wavChunksFit(data, why)) {
		return nullptr;
	}
	Mix_Chunk *chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(data.data(), (int)data.size()), 1);
	if (chunk == nullptr) {
		why = Mix_GetError();
	}
	return chunk;
}

// Decodes the WAV file at path when it is a regular file of bounded size whose chunks lie
// within it; null, said once, when it cannot be had.
static Mix_Chunk *loadSound(const std::string &path) {
	std::string data, why;
	Mix_Chunk *chunk = nullptr;
	if (readGameFile(path, MAX_SOUND_FILE_BYTES, data, why)) {
		chunk = decodeSound(data, why);
	} else if (why.empty()) {
		why = "cannot be opened";
	}
	if (chunk == nullptr) {
		writeMessage(MESSAGE_ERR, "Could not load sound " + path + reasonSuffix(why) + "\n");
	}
	return chunk;
}

// Starts an event's sound on its least recently started voice, unless muted.
static void startSound(int event) {
	EventSound &s = sound.events[event];
	if (sound.muted || s.chunk == nullptr) {
		return;
	}
	Mix_PlayChannel(s.firstChannel + s.nextVoice, s.chunk, event == SOUND_MUSIC ? -1 : 0);
	s.nextVoice = (s.nextVoice + 1) % s.voices;
}

// Starts the music loop unless it is already going (or held in the pause).
static void startMusic() {
	const EventSound &m = sound.events[SOUND_MUSIC];
	if (m.chunk != nullptr && !Mix_Playing(m.firstChannel)) {
		startSound(SOUND_MUSIC);
	}
}

// Opens the device, reads the map in mapFile, loads its sounds and starts the music; what
// fails is said once and the rest plays on, or the game is silent.
void openSound(const char *mapFile) {
	closeSound();
	SoundLine lines[SOUND_EVENTS];
	if (!readSoundMap(mapFile, lines)) {
		return;
	}
	int channels = 0;
	for (int e = 0; e < SOUND_EVENTS; e++) {
		sound.events[e].firstChannel = channels;
		sound.events[e].voices = lines[e].voices;
		channels += lines[e].voices;
	}
	// an empty map is a silent game, without a device to open
	if (channels == 0 || !openMixer()) {
		sound = SoundState();
		return;
	}
	sound.open = true;
	Mix_AllocateChannels(channels);
	for (int e = 0; e < SOUND_EVENTS; e++) {
		EventSound &s = sound.events[e];
		if (s.voices != 0) {
			s.chunk = loadSound(lines[e].file);
		}
		for (int v = 0; v < s.voices; v++) {
			Mix_Volume(s.firstChannel + v, lines[e].levelPercent * MIX_MAX_VOLUME / 100);
		}
	}
	startMusic();
}

// Stops every sound, frees them and closes the device.
void closeSound() {
	if (sound.open) {
		Mix_HaltChannel(-1);
		for (EventSound &s : sound.events) {
			if (s.chunk != nullptr) {
				Mix_FreeChunk(s.chunk);
			}
		}
		Mix_CloseAudio();
		SDL_QuitSubSystem(SDL_INIT_AUDIO);
	}
	sound = SoundState();
}

// Asks for an event's sound; it starts at the next flush, once however often it was asked.
void playSound(SoundEvent event) {
	if (event >= 0 && event < SOUND_EVENTS) {
		sound.events[event].asked = true;
	}
}

// Whether the event's sound was asked for since the last flush: asking again changes nothing.
bool soundAsked(SoundEvent event) {
	return event >= 0 && event < SOUND_EVENTS && sound.events[event].asked;
}

// Starts the sounds asked for since the last flush: called once a game cycle, so that a wave
// of bullets fired together is one sound, not eleven.
void flushSounds() {
	for (int e = 0; e < SOUND_EVENTS; e++) {
		if (sound.events[e].asked && sound.open && !sound.held) {
			startSound(e);
		}
		sound.events[e].asked = false;
	}
}

// The player's M: silence at once, or the music again (after the pause, when paused).
void toggleMute() {
	if (!sound.open) {
		return;
	}
	sound.muted = !sound.muted;
	if (sound.muted) {
		Mix_HaltChannel(-1);
	} else if (!sound.held) {
		startMusic();
	}
}

// The game's pause: every sound stops where it is and the pause is heard; after it, the resume
// is heard and everything goes on.
void holdSounds(bool held) {
	if (!sound.open) {
		return;
	}
	sound.held = held;
	if (held) {
		Mix_Pause(-1);
		startSound(SOUND_PAUSE);
	} else {
		Mix_Resume(-1);
		startSound(SOUND_RESUME);
		startMusic();
	}
}

// Counts the event's channels that play and are not paused.
int voicesHeard(SoundEvent event) {
	const EventSound &s = sound.events[event];
	int heard = 0;
	for (int v = 0; sound.open && v < s.voices; v++) {
		heard += Mix_Playing(s.firstChannel + v) && !Mix_Paused(s.firstChannel + v);
	}
	return heard;
}
