// The recipes of the effects, and the list of every sound file with its recipe.
#include "sfx.h"

// The loudest sample of each effect: half of full scale, so that several at once stay below
// it in the game's mix.
const float EFFECT_PEAK = 0.5f;

// the player's volley: a short bright zap falling in pitch, short enough to end before the next
static void volley(Track &t, Rng &rng) {
	trackInit(t, 0.08f, false);
	addVoice(t, 0.0f, {WAVE_SQUARE, 1500.0f, 450.0f, 0.002f, 0.075f, 0.6f}, rng);
	addVoice(t, 0.0f, {WAVE_NOISE, 8000.0f, 3000.0f, 0.001f, 0.03f, 0.3f}, rng);
}

// an aimed shot: one hard falling zap
static void fireAimed(Track &t, Rng &rng) {
	trackInit(t, 0.14f, false);
	addVoice(t, 0.0f, {WAVE_SAW, 900.0f, 250.0f, 0.003f, 0.14f, 0.7f}, rng);
	addVoice(t, 0.0f, {WAVE_NOISE, 5000.0f, 2000.0f, 0.001f, 0.02f, 0.4f}, rng);
}

// a lead shot: two quick rising blips, the second higher, as if the shot were homing
static void fireLead(Track &t, Rng &rng) {
	trackInit(t, 0.14f, false);
	addVoice(t, 0.0f, {WAVE_SQUARE, 1000.0f, 1300.0f, 0.002f, 0.05f, 0.5f}, rng);
	addVoice(t, 0.06f, {WAVE_SQUARE, 1400.0f, 1800.0f, 0.002f, 0.07f, 0.5f}, rng);
}

// a spread: a soft falling whoosh with four pitches fanned around it
static void fireSpread(Track &t, Rng &rng) {
	trackInit(t, 0.3f, false);
	addVoice(t, 0.0f, {WAVE_NOISE, 3000.0f, 700.0f, 0.02f, 0.28f, 0.4f}, rng);
	for (int i = 0; i < 4; i++) {
		float hz = 500.0f + 90.0f * i;
		addVoice(t, 0.0f, {WAVE_TRIANGLE, hz, hz * 0.6f, 0.01f, 0.25f, 0.2f}, rng);
	}
}

// a line: four buzzing pulses in a row, like the row of bullets
static void fireLine(Track &t, Rng &rng) {
	trackInit(t, 0.2f, false);
	for (int i = 0; i < 4; i++) {
		addVoice(t, 0.04f * i, {WAVE_SAW, 330.0f, 260.0f, 0.002f, 0.04f, 0.6f}, rng);
	}
}

// a wave: a rising, wobbling siren for the half second the wave takes to come out
static void fireWave(Track &t, Rng &rng) {
	trackInit(t, 0.6f, false);
	addVoice(t, 0.0f, {WAVE_TRIANGLE, 280.0f, 1100.0f, 0.08f, 0.6f, 0.6f, 14.0f, 0.06f}, rng);
	addVoice(t, 0.0f, {WAVE_SQUARE, 140.0f, 550.0f, 0.08f, 0.6f, 0.15f, 14.0f, 0.06f}, rng);
}

// a tank going up: a short crackling burst with a thump
static void deathSmall(Track &t, Rng &rng) {
	trackInit(t, 0.5f, false);
	addVoice(t, 0.0f, {WAVE_NOISE, 4000.0f, 400.0f, 0.003f, 0.5f, 0.7f}, rng);
	addVoice(t, 0.0f, {WAVE_SINE, 140.0f, 45.0f, 0.002f, 0.3f, 0.6f}, rng);
}

// the helicopter coming down: a long deep boom, a second blast and a rumble
static void deathLarge(Track &t, Rng &rng) {
	trackInit(t, 1.4f, false);
	addVoice(t, 0.0f, {WAVE_NOISE, 1800.0f, 90.0f, 0.005f, 1.4f, 0.7f}, rng);
	addVoice(t, 0.0f, {WAVE_SINE, 100.0f, 30.0f, 0.003f, 0.9f, 0.7f}, rng);
	addVoice(t, 0.18f, {WAVE_NOISE, 5000.0f, 900.0f, 0.003f, 0.6f, 0.5f}, rng);
}

// the player's ship: a blast under a whine falling out of the sky
static void deathShip(Track &t, Rng &rng) {
	trackInit(t, 1.1f, false);
	addVoice(t, 0.0f, {WAVE_NOISE, 2500.0f, 120.0f, 0.004f, 1.1f, 0.6f}, rng);
	addVoice(t, 0.0f, {WAVE_SQUARE, 880.0f, 110.0f, 0.01f, 1.0f, 0.3f}, rng);
	addVoice(t, 0.0f, {WAVE_SINE, 120.0f, 40.0f, 0.002f, 0.4f, 0.5f}, rng);
}

// plays the notes one after another, each step seconds long, the last ringing for lastS
static void notes(Track &t, Rng &rng, const int *midi, int count, float stepS, float lastS, Wave wave) {
	for (int i = 0; i < count; i++) {
		float length = i == count - 1 ? lastS : stepS * 1.5f;
		addVoice(t, stepS * i, {wave, noteHz(midi[i]), noteHz(midi[i]), 0.005f, length, 0.5f}, rng);
	}
}

// a life lost: three notes falling in a minor key
static void lifeLost(Track &t, Rng &rng) {
	static const int falling[] = {69, 65, 62};
	trackInit(t, 0.8f, false);
	notes(t, rng, falling, 3, 0.16f, 0.48f, WAVE_TRIANGLE);
}

// the ship's return: a bright arpeggio up
static void shipReturn(Track &t, Rng &rng) {
	static const int rising[] = {72, 76, 79, 84};
	trackInit(t, 0.5f, false);
	notes(t, rng, rising, 4, 0.07f, 0.29f, WAVE_SQUARE);
}

// the pause: two soft notes down
static void pauseOn(Track &t, Rng &rng) {
	static const int down[] = {76, 69};
	trackInit(t, 0.35f, false);
	notes(t, rng, down, 2, 0.1f, 0.25f, WAVE_SINE);
}

// the end of the pause: the same two notes up
static void pauseOff(Track &t, Rng &rng) {
	static const int up[] = {69, 76};
	trackInit(t, 0.35f, false);
	notes(t, rng, up, 2, 0.1f, 0.25f, WAVE_SINE);
}

// Every sound file, its recipe and the seed of its noise.
struct SoundRecipe {
	const char *name;
	void (*render)(Track &, Rng &);
	unsigned int seed;
};

static const SoundRecipe RECIPES[] = {
	{"volley.wav", volley, 1},          {"fire_aimed.wav", fireAimed, 2},   {"fire_lead.wav", fireLead, 3},
	{"fire_spread.wav", fireSpread, 4}, {"fire_line.wav", fireLine, 5},     {"fire_wave.wav", fireWave, 6},
	{"death_small.wav", deathSmall, 7}, {"death_large.wav", deathLarge, 8}, {"death_ship.wav", deathShip, 9},
	{"life_lost.wav", lifeLost, 10},    {"return.wav", shipReturn, 11},     {"pause.wav", pauseOn, 12},
	{"resume.wav", pauseOff, 13},       {"music.wav", composeMusic, 14},
};

// how many sound files there are
int soundCount() {
	return (int)(sizeof(RECIPES) / sizeof(RECIPES[0]));
}

// renders sound file number index and gives its name
void renderSound(int index, Track &out, std::string &name) {
	const SoundRecipe &r = RECIPES[index];
	Rng rng;
	rngSeed(rng, r.seed);
	r.render(out, rng);
	normalizePeak(out, EFFECT_PEAK);
	name = r.name;
}
