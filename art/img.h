// Pixel buffers, colours and PNG files shared by the art generators.
#pragma once

#include <string>
#include <vector>

// A colour with float channels, 0..255 nominal; painting code mixes freely
// and only clamps when a pixel is stored.
struct Color {
	float r, g, b;
};

// An 8-bit RGB picture, rows top to bottom.
struct Image {
	int w = 0;
	int h = 0;
	std::vector<unsigned char> px;
};

// the colour key every sprite uses for its transparent background
const Color KEY_COLOR = {255, 0, 255};

Color colMake(float r, float g, float b);
Color colScale(Color c, float s);
Color colMix(Color a, Color b, float t);
Color colAdd(Color a, Color b);
float colLuma(Color c);

void imgInit(Image &img, int w, int h, Color fill);
Color imgGet(const Image &img, int x, int y);
void imgSet(Image &img, int x, int y, Color c);
void imgBlend(Image &img, int x, int y, Color c, float alpha);
bool imgIsKey(const Image &img, int x, int y);

bool pngWrite(const Image &img, const std::string &path);
bool pngRead(Image &img, const std::string &path);
