// The catalogue of sprite files: which drawing makes which file, shared by
// the generator and by the check that the committed files are current.
#include "sprites.h"

#include <cstdio>

// one animation: base name, frame count, and how to draw a frame
struct ArtEntry {
	const char *base;
	int frames;  // 1 means a single file without a number
	void (*draw)(Image &out, int frame);
};

// adapters for the drawings that take no frame or extra arguments
static void drawShotFrame(Image &out, int) {
	drawShot(out);
}

static void drawWreckFrame(Image &out, int) {
	drawWreck(out);
}

static void drawLogoFrame(Image &out, int) {
	drawLogo(out, LOGO_SIZE);
}

static void drawSmallBoom(Image &out, int frame) {
	drawBoom(out, BOOM_S_SIZE, BOOM_S_FRAMES, frame, 11);
}

static void drawLargeBoom(Image &out, int frame) {
	drawBoom(out, BOOM_L_SIZE, BOOM_L_FRAMES, frame, 29);
}

static const ArtEntry ART[] = {
	{"player", PLAYER_FRAMES, drawPlayer},
	{"tank", TANK_FRAMES, drawTank},
	{"heli", HELI_FRAMES, drawHeli},
	{"shot", 1, drawShotFrame},
	{"bullet", BULLET_FRAMES, drawBullet},
	{"boom_s", BOOM_S_FRAMES, drawSmallBoom},
	{"boom_l", BOOM_L_FRAMES, drawLargeBoom},
	{"wreck", 1, drawWreckFrame},
	{"logo", 1, drawLogoFrame},
};
static const int ART_ENTRIES = (int)(sizeof(ART) / sizeof(ART[0]));

// number of files in the catalogue
int artCount(void) {
	int n = 0;
	for (int i = 0; i < ART_ENTRIES; i++) {
		n += ART[i].frames;
	}
	return n;
}

// draws file number index and gives its name (such as "tank3.png")
void artRender(int index, Image &out, std::string &name) {
	for (int i = 0; i < ART_ENTRIES; i++) {
		if (index >= ART[i].frames) {
			index -= ART[i].frames;
			continue;
		}
		char buf[64];
		if (ART[i].frames == 1) {
			snprintf(buf, sizeof(buf), "%s.png", ART[i].base);
		} else {
			snprintf(buf, sizeof(buf), "%s%d.png", ART[i].base, index + 1);
		}
		name = buf;
		ART[i].draw(out, index);
		return;
	}
	name.clear();
	imgInit(out, 0, 0, KEY_COLOR);
}

// draws desktop icon number index and gives its name (such as "vorska_64.png")
void iconRender(int index, Image &out, std::string &name) {
	name = "vorska_" + std::to_string(ICON_SIZES[index]) + ".png";
	drawLogo(out, ICON_SIZES[index]);
}
