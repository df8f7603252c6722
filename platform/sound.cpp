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

// The names of the events in the map, in the order of SoundEvent.
static const char *const EVENT_NAMES[SOUND_EVENTS] = {
	"volley",      "fire_aimed", "fire_lead", "fire_spread", "fire_line", "fire_wave", "death_small",
	"death_large", "death_ship", "life_lost", "return",      "pause",     "resume",    "music",
};

// One event's line of the map.
struct SoundLine {
	std::string file;
	int levelPercent = 0;
	int voices = 0;  // 0 while the event is not in the map
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

// Reads the map in path into lines, saying once what is wrong with it; false when it cannot be read.
static bool readSoundMap(const char *path, SoundLine lines[]) {
	std::string content, why;
	if (!readGameFile(path, MAX_SOUND_MAP_BYTES, content, why)) {
		writeMessage(MESSAGE_ERR, "Sound is off: cannot read " + std::string(path) + reasonSuffix(why) + "\n");
		return false;
	}
	std::istringstream in(content);
	std::string text, first;
	int number = 0, firstNumber = 0, ignored = 0;
	while (std::getline(in, text)) {
		number++;
		why = readMapLine(text, lines);
		if (!why.empty() && ignored++ == 0) {
			first = why;
			firstNumber = number;
		}
	}
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

// Checks that data is a RIFF WAVE file whose every chunk lies within it: the decoder asks for as
// much memory as a chunk's length claims before it reads a byte. 1 when so, else 0 with why set.
static int wavChunksFit(const std::string &data, std::string &why) {
	if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) {
		why = "not a WAV file";
		return 0;
	}
	const unsigned char *p = (const unsigned char *)data.data();
	size_t at = 12;
	while (at + 8 <= data.size()) {
		unsigned long len = (unsigned long)(uint32_t)littleEndian(p + at + 4, 4);
		if (len > data.size() - at - 8) {
			why = "WAV chunk at byte " + std::to_string(at) + " claims " + std::to_string(len) +
			      " bytes, more than the file holds";
			return 0;
		}
		at += 8 + len + (len & 1);  // chunks are padded to even lengths
	}
	return 1;
}

// Decodes the WAV file at path when it is a regular file of bounded size whose chunks lie
// within it; null, said once, when it cannot be had.
static Mix_Chunk *loadSound(const std::string &path) {
	std::string data, why;
	Mix_Chunk *chunk = nullptr;
	if (readGameFile(path, MAX_SOUND_FILE_BYTES, data, why) && wavChunksFit(data, why)) {
		chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(data.data(), (int)data.size()), 1);
		if (chunk == nullptr) {
			why = Mix_GetError();
		}
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
