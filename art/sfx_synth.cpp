// The synthesizer: voices added into tracks, and tracks written as WAV files.
#include "sfx.h"

#include <cmath>
#include <cstdio>

// Below this the exponential decay counts as silent (-60 dB).
const float DECAY_FLOOR = 0.001f;

// makes an empty track of the given length
void trackInit(Track &track, float seconds, bool loops) {
	track.samples.assign((size_t)lroundf(seconds * SFX_RATE_HZ), 0.0f);
	track.loops = loops;
}

// the loudness of a voice at t seconds from its start: a straight rise, then the decay
static float envelope(const Voice &v, float t) {
	if (t < v.attackS) {
		return t / v.attackS;
	}
	return powf(DECAY_FLOOR, (t - v.attackS) / (v.lengthS - v.attackS));
}

// one sample of a periodic wave at phase p (in cycles)
static float waveAt(Wave wave, double p) {
	double f = p - floor(p);
	switch (wave) {
	case WAVE_SINE:
		return (float)sin(2.0 * M_PI * f);
	case WAVE_TRIANGLE:
		return (float)(f < 0.5 ? 4.0 * f - 1.0 : 3.0 - 4.0 * f);
	case WAVE_SQUARE:
		return f < 0.5 ? 1.0f : -1.0f;
	default:
		return (float)(2.0 * f - 1.0);
	}
}

// adds a voice that starts atS seconds into the track; past the end it is cut, or heard from the
// start of a looping track
void addVoice(Track &track, float atS, const Voice &voice, Rng &rng) {
	int n = (int)track.samples.size();
	int first = (int)lroundf(atS * SFX_RATE_HZ);
	int count = (int)lroundf(voice.lengthS * SFX_RATE_HZ);
	double phase = 0.0;
	float held = rngRange(rng, -1.0f, 1.0f);
	for (int i = 0; i < count; i++) {
		int at = first + i;
		if (at >= n && !track.loops) {
			break;
		}
		float t = (float)i / SFX_RATE_HZ;
		float hz = voice.startHz * powf(voice.endHz / voice.startHz, t / voice.lengthS);
		hz *= 1.0f + voice.vibratoDepth * sinf(2.0f * (float)M_PI * voice.vibratoHz * t);
		double next = phase + (double)hz / SFX_RATE_HZ;
		if (voice.wave == WAVE_NOISE && floor(next) != floor(phase)) {
			held = rngRange(rng, -1.0f, 1.0f);
		}
		phase = next;
		float s = voice.wave == WAVE_NOISE ? held : waveAt(voice.wave, phase);
		track.samples[at % n] += voice.level * envelope(voice, t) * s;
	}
}

// scales the track so that its loudest sample is peak (of full scale)
void normalizePeak(Track &track, float peak) {
	float most = 0.0f;
	for (float s : track.samples) {
		most = fmaxf(most, fabsf(s));
	}
	for (float &s : track.samples) {
		s = most > 0.0f ? s * peak / most : 0.0f;
	}
}

// the pitch of a MIDI note number (69 is the A at 440 Hz)
float noteHz(int midiNote) {
	return 440.0f * powf(2.0f, (midiNote - 69) / 12.0f);
}

// appends n as a little-endian number of the given bytes
static void putLittle(std::string &out, unsigned int n, int bytes) {
	for (int i = 0; i < bytes; i++) {
		out += (char)((n >> (8 * i)) & 0xFF);
	}
}

// the track as a 16-bit mono PCM WAV file
std::string wavBytes(const Track &track) {
	unsigned int dataBytes = (unsigned int)track.samples.size() * 2;
	std::string out = "RIFF";
	putLittle(out, 36 + dataBytes, 4);
	out += "WAVEfmt ";
	putLittle(out, 16, 4);
	putLittle(out, 1, 2);  // PCM
	putLittle(out, 1, 2);  // mono
	putLittle(out, SFX_RATE_HZ, 4);
	putLittle(out, SFX_RATE_HZ * 2, 4);
	putLittle(out, 2, 2);
	putLittle(out, 16, 2);
	out += "data";
	putLittle(out, dataBytes, 4);
	for (float s : track.samples) {
		long v = lroundf(fmaxf(-1.0f, fminf(1.0f, s)) * 32767.0f);
		putLittle(out, (unsigned int)(v & 0xFFFF), 2);
	}
	return out;
}

// writes the track as a WAV file; false when it could not be written
bool wavWrite(const Track &track, const std::string &path) {
	std::string bytes = wavBytes(track);
	FILE *f = fopen(path.c_str(), "wb");
	if (f == nullptr) {
		return false;
	}
	bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
	return fclose(f) == 0 && ok;
}
