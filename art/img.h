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

Color Col_Make(float r, float g, float b);
Color Col_Scale(Color c, float s);
Color Col_Mix(Color a, Color b, float t);
Color Col_Add(Color a, Color b);
float Col_Luma(Color c);

void Img_Init(Image &img, int w, int h, Color fill);
Color Img_Get(const Image &img, int x, int y);
void Img_Set(Image &img, int x, int y, Color c);
void Img_Blend(Image &img, int x, int y, Color c, float alpha);
bool Img_IsKey(const Image &img, int x, int y);

bool Png_Write(const Image &img, const std::string &path);
bool Png_Read(Image &img, const std::string &path);
