// The game's sounds: a small synthesizer, the recipes of the effects and the music loop, and
// the 16-bit mono WAV files they are written as.
#pragma once

#include "noise.h"

#include <string>
#include <vector>

// The rate of every sound file: the rate the game mixes at, so that nothing is converted.
const int SFX_RATE_HZ = 22050;

// Samples of one sound, full scale at -1 and 1.
struct Track {
	std::vector<float> samples;
	bool loops = false;  // what rings past the end is heard at the start, so that the loop is seamless
};

enum Wave { WAVE_SINE, WAVE_TRIANGLE, WAVE_SQUARE, WAVE_SAW, WAVE_NOISE };

// One sounding thing: a tone or a noise whose pitch glides from startHz to endHz (a noise takes
// a new random value at its pitch), rising over attackS and dying away exponentially, to a
// thousandth, by lengthS.
struct Voice {
	Wave wave;
	float startHz;
	float endHz;
	float attackS;
	float lengthS;
	float level;
	float vibratoHz = 0.0f;     // pitch wobble ...
	float vibratoDepth = 0.0f;  // ... as a fraction of the pitch
};

void trackInit(Track &track, float seconds, bool loops);
void addVoice(Track &track, float atS, const Voice &voice, Rng &rng);
void normalizePeak(Track &track, float peak);
float noteHz(int midiNote);
std::string wavBytes(const Track &track);
bool wavWrite(const Track &track, const std::string &path);

void composeMusic(Track &track, Rng &rng);

int soundCount();
void renderSound(int index, Track &out, std::string &name);
