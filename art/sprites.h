// Every sprite the game shows; each function paints one frame into an RGB
// picture whose magenta pixels are transparent.
#pragma once

#include "img.h"

#include <string>

const int PLAYER_W = 32, PLAYER_H = 40, PLAYER_FRAMES = 2;
const int TANK_SIZE = 32, TANK_FRAMES = 4;
const int HELI_SIZE = 64, HELI_FRAMES = 3;
const int SHOT_W = 4, SHOT_H = 14;
const int BULLET_SIZE = 8, BULLET_FRAMES = 2;
const int BOOM_S_SIZE = 32, BOOM_S_FRAMES = 6;
const int BOOM_L_SIZE = 64, BOOM_L_FRAMES = 8;
const int LOGO_SIZE = 32;
// the desktop icons beside the 32 pixel window icon, each drawn at its size
const int ICON_SIZES[] = {64, 128, 256};
const int ICON_COUNT = (int)(sizeof(ICON_SIZES) / sizeof(ICON_SIZES[0]));

void drawPlayer(Image &out, int frame);
void drawLogo(Image &out, int size);
void drawTank(Image &out, int frame);
void drawWreck(Image &out);
void drawHeli(Image &out, int frame);
void drawShot(Image &out);
void drawBullet(Image &out, int frame);
void drawBoom(Image &out, int size, int frames, int frame, unsigned int seed);

int artCount(void);
void artRender(int index, Image &out, std::string &name);
void iconRender(int index, Image &out, std::string &name);
