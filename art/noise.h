// Deterministic random numbers and smooth noise, identical on every platform.
#pragma once

// a small PCG generator; the tools never touch the C library's rand()
struct Rng {
	unsigned long long state;
};

void rngSeed(Rng &rng, unsigned int seed);
unsigned int rngNext(Rng &rng);
float rngFloat(Rng &rng);
float rngRange(Rng &rng, float lo, float hi);
int rngInt(Rng &rng, int lo, int hi);

unsigned int hash2D(int x, int y, unsigned int seed);
float hashFloat(int x, int y, unsigned int seed);
float noiseValue(float x, float y, unsigned int seed);
float noiseFbm(float x, float y, int octaves, unsigned int seed);
float smoothStep(float e0, float e1, float x);
float clamp01(float x);
