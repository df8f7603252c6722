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
static void Draw_ShotFrame(Image &out, int) {
	Draw_Shot(out);
}

static void Draw_WreckFrame(Image &out, int) {
	Draw_Wreck(out);
}

static void Draw_LogoFrame(Image &out, int) {
	Draw_Logo(out, LOGO_SIZE);
}

static void Draw_SmallBoom(Image &out, int frame) {
	Draw_Boom(out, BOOM_S_SIZE, BOOM_S_FRAMES, frame, 11);
}

static void Draw_LargeBoom(Image &out, int frame) {
	Draw_Boom(out, BOOM_L_SIZE, BOOM_L_FRAMES, frame, 29);
}

static const ArtEntry ART[] = {
	{"player", PLAYER_FRAMES, Draw_Player},
	{"tank", TANK_FRAMES, Draw_Tank},
	{"heli", HELI_FRAMES, Draw_Heli},
	{"shot", 1, Draw_ShotFrame},
	{"bullet", BULLET_FRAMES, Draw_Bullet},
	{"boom_s", BOOM_S_FRAMES, Draw_SmallBoom},
	{"boom_l", BOOM_L_FRAMES, Draw_LargeBoom},
	{"wreck", 1, Draw_WreckFrame},
	{"logo", 1, Draw_LogoFrame},
};
static const int ART_ENTRIES = (int)(sizeof(ART) / sizeof(ART[0]));

// number of files in the catalogue
int Art_Count(void) {
	int n = 0;
	for (int i = 0; i < ART_ENTRIES; i++) {
		n += ART[i].frames;
	}
	return n;
}

// draws file number index and gives its name (such as "tank3.png")
void Art_Render(int index, Image &out, std::string &name) {
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
	Img_Init(out, 0, 0, KEY_COLOR);
}

// draws desktop icon number index and gives its name (such as "vorska_64.png")
void Icon_Render(int index, Image &out, std::string &name) {
	name = "vorska_" + std::to_string(ICON_SIZES[index]) + ".png";
	Draw_Logo(out, ICON_SIZES[index]);
}
