// The music loop under the level: eight bars in A minor at 120 beats a minute, with bass,
// arpeggio, a tune and drums, sixteen seconds that repeat without a seam.
#include "sfx.h"

const float BEAT_S = 0.5f;
const int BEATS_PER_BAR = 4;
const int BARS = 8;

// A bar's chord: the bass note and three notes to spread over it (MIDI numbers).
struct Chord {
	int bass;
	int tones[3];
};

// Am F C G, Am F G E: the last bar leads back to the first.
static const Chord CHORDS[BARS] = {
	{45, {57, 60, 64}}, {41, {53, 57, 60}}, {48, {55, 60, 64}}, {43, {55, 59, 62}},
	{45, {57, 60, 64}}, {41, {53, 57, 60}}, {43, {55, 59, 62}}, {40, {56, 59, 64}},
};

// One note of the tune: when (in beats from the start), which, and how many beats.
struct TuneNote {
	float beat;
	int midi;
	float beats;
};

static const TuneNote TUNE[] = {
	{0, 76, 2},  {2, 72, 1},  {3, 74, 1},  {4, 72, 2},  {6, 69, 2},  {8, 67, 1},  {9, 72, 1},
	{10, 76, 2}, {12, 74, 3}, {15, 71, 1}, {16, 76, 1}, {17, 79, 1}, {18, 81, 2}, {20, 77, 2},
	{22, 76, 1}, {23, 72, 1}, {24, 74, 2}, {26, 79, 2}, {28, 76, 2}, {30, 68, 1}, {31, 71, 1},
};

// the bass: eighth notes on the chord's root, jumping an octave now and then
static void addBass(Track &t, Rng &rng) {
	static const int steps[8] = {0, 0, 12, 0, 0, 12, 0, 7};
	for (int bar = 0; bar < BARS; bar++) {
		for (int i = 0; i < 8; i++) {
			float hz = noteHz(CHORDS[bar].bass + steps[i]);
			float at = (bar * BEATS_PER_BAR + i * 0.5f) * BEAT_S;
			addVoice(t, at, {WAVE_SAW, hz, hz, 0.005f, 0.22f, 0.45f}, rng);
		}
	}
}

// the arpeggio: sixteenth notes climbing through the chord an octave up
static void addArpeggio(Track &t, Rng &rng) {
	static const int order[4] = {0, 1, 2, 1};
	for (int bar = 0; bar < BARS; bar++) {
		for (int i = 0; i < 16; i++) {
			float hz = noteHz(CHORDS[bar].tones[order[i % 4]] + 12);
			float at = (bar * BEATS_PER_BAR + i * 0.25f) * BEAT_S;
			addVoice(t, at, {WAVE_SQUARE, hz, hz, 0.003f, 0.12f, 0.1f}, rng);
		}
	}
}

// the tune, on a softly wobbling triangle
static void addTune(Track &t, Rng &rng) {
	for (const TuneNote &n : TUNE) {
		float hz = noteHz(n.midi);
		addVoice(t, n.beat * BEAT_S, {WAVE_TRIANGLE, hz, hz, 0.02f, n.beats * BEAT_S * 1.2f, 0.35f, 5.0f, 0.008f}, rng);
	}
}

// the drums: kick on one and three, snare on two and four, a hi-hat on every eighth
static void addDrums(Track &t, Rng &rng) {
	for (int beat = 0; beat < BARS * BEATS_PER_BAR; beat++) {
		float at = beat * BEAT_S;
		if (beat % 2 == 0) {
			addVoice(t, at, {WAVE_SINE, 150.0f, 45.0f, 0.002f, 0.18f, 0.8f}, rng);
		} else {
			addVoice(t, at, {WAVE_NOISE, 6000.0f, 2500.0f, 0.002f, 0.15f, 0.35f}, rng);
			addVoice(t, at, {WAVE_SINE, 190.0f, 150.0f, 0.002f, 0.08f, 0.25f}, rng);
		}
		for (int half = 0; half < 2; half++) {
			addVoice(t, at + half * BEAT_S / 2, {WAVE_NOISE, 10000.0f, 9000.0f, 0.001f, 0.04f, 0.1f}, rng);
		}
	}
}

// composes the whole loop into t
void composeMusic(Track &t, Rng &rng) {
	trackInit(t, BARS * BEATS_PER_BAR * BEAT_S, true);
	addBass(t, rng);
	addArpeggio(t, rng);
	addTune(t, rng);
	addDrums(t, rng);
}
