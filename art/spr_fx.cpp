// Projectiles and explosions: glowing shapes drawn straight into pixels.
#include "sprites.h"
#include "noise.h"

#include <cmath>

// the player's bolt: a white core in a cyan sheath, pointed at both ends
void drawShot(Image &out) {
	imgInit(out, SHOT_W, SHOT_H, KEY_COLOR);
	for (int y = 0; y < SHOT_H; y++) {
		for (int x = 0; x < SHOT_W; x++) {
			float dx = (x + 0.5f - SHOT_W * 0.5f) / (SHOT_W * 0.5f);
			float dy = (y + 0.5f - SHOT_H * 0.5f) / (SHOT_H * 0.5f);
			float r = dx * dx + dy * dy * dy * dy;
			if (r > 1.0f) {
				continue;
			}
			Color c = colMake(30, 150, 255);
			if (r < 0.72f) {
				c = colMake(110, 230, 255);
			}
			if (r < 0.3f) {
				c = colMake(235, 255, 255);
			}
			imgSet(out, x, y, c);
		}
	}
}

// the enemy bullet: an orange orb whose hot core swells and shrinks
void drawBullet(Image &out, int frame) {
	float core = frame == 0 ? 0.30f : 0.50f;
	float outer = frame == 0 ? 0.92f : 1.05f;
	imgInit(out, BULLET_SIZE, BULLET_SIZE, KEY_COLOR);
	for (int y = 0; y < BULLET_SIZE; y++) {
		for (int x = 0; x < BULLET_SIZE; x++) {
			float dx = (x + 0.5f - BULLET_SIZE * 0.5f) / (BULLET_SIZE * 0.5f);
			float dy = (y + 0.5f - BULLET_SIZE * 0.5f) / (BULLET_SIZE * 0.5f);
			float r = sqrtf(dx * dx + dy * dy);
			if (r > outer) {
				continue;
			}
			Color c = colMake(150, 28, 20);
			if (r < outer - 0.28f) {
				c = colMake(250, 96, 24);
			}
			if (r < core + 0.22f) {
				c = colMake(255, 190, 60);
			}
			if (r < core) {
				c = colMake(255, 250, 200);
			}
			imgSet(out, x, y, c);
		}
	}
}

// fire palette from white heat down to dark red
static Color boomFire(float heat) {
	if (heat > 0.95f) {
		return colMake(255, 250, 215);
	}
	if (heat > 0.76f) {
		return colMake(255, 214, 90);
	}
	if (heat > 0.58f) {
		return colMake(248, 148, 40);
	}
	if (heat > 0.42f) {
		return colMake(214, 78, 30);
	}
	return colMake(136, 42, 28);
}

// smoke lit from the upper left, in three grey steps
static Color boomSmoke(float light) {
	if (light > 0.62f) {
		return colMake(122, 114, 104);
	}
	if (light > 0.38f) {
		return colMake(90, 84, 78);
	}
	return colMake(60, 56, 54);
}

// colour of one pixel of an explosion, or false when the pixel stays clear
static bool boomPixel(int x, int y, int size, float t, unsigned int seed, Color &out) {
	float maxR = size * 0.5f - 1.0f;
	float radius = maxR * 0.85f * (0.3f + 0.8f * sqrtf(t));
	float dx = (x + 0.5f - size * 0.5f) / radius;
	float dy = (y + 0.5f - size * 0.5f) / radius;
	float d = sqrtf(dx * dx + dy * dy);
	// the noise pattern is fixed to the ball, so it swells with it
	float n = noiseFbm(dx * 2.2f + 7.0f, dy * 2.2f + 7.0f, 3, seed);
	float density = 1.0f - d + (n - 0.5f) * 0.9f;
	// late frames thin out into tatters of smoke
	density -= t * t * 0.55f;
	// fade out toward the frame border so nothing is cut off straight
	int border = x < y ? x : y;
	border = border < size - 1 - x ? border : size - 1 - x;
	border = border < size - 1 - y ? border : size - 1 - y;
	if (border < 4) {
		density -= (4 - border) * 0.12f;
	}
	if (density <= 0.0f) {
		return false;
	}
	// the first frames are a white-hot flash
	float flash = (1.0f - t) * (1.0f - t);
	flash = flash * flash * flash * 0.6f;
	float heat = density * 1.7f * (1.15f - t * 1.25f) + (n - 0.5f) * 0.3f + flash;
	if (heat > 0.3f) {
		out = boomFire(heat);
		return true;
	}
	float light = 0.5f + (-dx - dy) * 0.25f + (n - 0.5f) * 0.6f;
	out = boomSmoke(light);
	return true;
}

// flying sparks, only while the fire is hot
static void boomSparks(Image &out, int size, float t, unsigned int seed) {
	if (t < 0.1f || t > 0.6f) {
		return;
	}
	Rng rng;
	rngSeed(rng, seed);
	int count = size / 8;
	for (int i = 0; i < count; i++) {
		float angle = rngRange(rng, 0.0f, 6.2831853f);
		float speed = rngRange(rng, 0.7f, 1.0f);
		float r = (size * 0.5f - 2.0f) * speed * (0.45f + t);
		int x = (int)(size * 0.5f + cosf(angle) * r);
		int y = (int)(size * 0.5f + sinf(angle) * r);
		if (x >= 1 && y >= 1 && x < size - 1 && y < size - 1) {
			imgSet(out, x, y, colMake(255, 236, 150));
		}
	}
}

// one explosion frame; frames go from a white flash through fire to smoke
void drawBoom(Image &out, int size, int frames, int frame, unsigned int seed) {
	float t = frames > 1 ? (float)frame / (frames - 1) : 0.0f;
	imgInit(out, size, size, KEY_COLOR);
	for (int y = 0; y < size; y++) {
		for (int x = 0; x < size; x++) {
			Color c;
			if (boomPixel(x, y, size, t, seed, c)) {
				imgSet(out, x, y, c);
			}
		}
	}
	boomSparks(out, size, t, seed);
}
