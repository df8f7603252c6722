// Deterministic random numbers and smooth noise, identical on every platform.
#pragma once

// a small PCG generator; the tools never touch the C library's rand()
struct Rng {
	unsigned long long state;
};

void Rng_Seed(Rng &rng, unsigned int seed);
unsigned int Rng_Next(Rng &rng);
float Rng_Float(Rng &rng);
float Rng_Range(Rng &rng, float lo, float hi);
int Rng_Int(Rng &rng, int lo, int hi);

unsigned int Hash_2D(int x, int y, unsigned int seed);
float Hash_Float(int x, int y, unsigned int seed);
float Noise_Value(float x, float y, unsigned int seed);
float Noise_Fbm(float x, float y, int octaves, unsigned int seed);
float Smooth_Step(float e0, float e1, float x);
float Clamp01(float x);
