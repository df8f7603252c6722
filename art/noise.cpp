// Seeded random numbers, integer hashing and value noise for the generators.
#include "noise.h"

#include <cmath>

// starts the generator in a state derived from the seed
void rngSeed(Rng &rng, unsigned int seed) {
	rng.state = 0x853c49e6748fea9bULL ^ ((unsigned long long)seed * 0x9E3779B97F4A7C15ULL);
	rngNext(rng);
}

// next 32 random bits (PCG-XSH-RR)
unsigned int rngNext(Rng &rng) {
	unsigned long long old = rng.state;
	rng.state = old * 6364136223846793005ULL + 1442695040888963407ULL;
	unsigned int xorshifted = (unsigned int)(((old >> 18u) ^ old) >> 27u);
	unsigned int rot = (unsigned int)(old >> 59u);
	return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

// uniform float in [0, 1)
float rngFloat(Rng &rng) {
	return (rngNext(rng) >> 8) * (1.0f / 16777216.0f);
}

// uniform float in [lo, hi)
float rngRange(Rng &rng, float lo, float hi) {
	return lo + (hi - lo) * rngFloat(rng);
}

// uniform integer in [lo, hi)
int rngInt(Rng &rng, int lo, int hi) {
	if (hi <= lo) {
		return lo;
	}
	return lo + (int)(rngNext(rng) % (unsigned int)(hi - lo));
}

// mixes a lattice point and a seed into 32 well-scattered bits
unsigned int hash2D(int x, int y, unsigned int seed) {
	unsigned int h = seed * 0x27d4eb2du;
	h ^= (unsigned int)x * 0x85ebca6bu;
	h = (h << 13) | (h >> 19);
	h ^= (unsigned int)y * 0xc2b2ae35u;
	h ^= h >> 16;
	h *= 0x7feb352du;
	h ^= h >> 15;
	h *= 0x846ca68bu;
	h ^= h >> 16;
	return h;
}

// hash of a lattice point as a float in [0, 1)
float hashFloat(int x, int y, unsigned int seed) {
	return (hash2D(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// smoothly interpolated lattice noise in [0, 1), one unit per lattice cell
float noiseValue(float x, float y, unsigned int seed) {
	float fx = floorf(x);
	float fy = floorf(y);
	int ix = (int)fx;
	int iy = (int)fy;
	float tx = x - fx;
	float ty = y - fy;
	tx = tx * tx * (3.0f - 2.0f * tx);
	ty = ty * ty * (3.0f - 2.0f * ty);
	float a = hashFloat(ix, iy, seed);
	float b = hashFloat(ix + 1, iy, seed);
	float c = hashFloat(ix, iy + 1, seed);
	float d = hashFloat(ix + 1, iy + 1, seed);
	float top = a + (b - a) * tx;
	float bottom = c + (d - c) * tx;
	return top + (bottom - top) * ty;
}

// several octaves of value noise, normalised back into [0, 1)
float noiseFbm(float x, float y, int octaves, unsigned int seed) {
	float sum = 0.0f;
	float amp = 1.0f;
	float total = 0.0f;
	for (int i = 0; i < octaves; i++) {
		sum += noiseValue(x, y, seed + (unsigned int)i * 1013u) * amp;
		total += amp;
		amp *= 0.5f;
		x *= 2.03f;
		y *= 2.03f;
	}
	return sum / total;
}

// Hermite ramp from 0 at e0 to 1 at e1
float smoothStep(float e0, float e1, float x) {
	float t = clamp01((x - e0) / (e1 - e0));
	return t * t * (3.0f - 2.0f * t);
}

// clamps into [0, 1]
float clamp01(float x) {
	if (x < 0.0f) {
		return 0.0f;
	}
	if (x > 1.0f) {
		return 1.0f;
	}
	return x;
}
