// Sprite painter: parts are filled shapes with a material and a height
// profile; one shading pass then lights them from the upper left, darkens the
// seams between parts and rings the whole sprite with a dark outline.
#pragma once

#include "img.h"

#include <vector>

enum Material {
	MAT_NONE,   // empty, becomes the colour key
	MAT_MATTE,  // painted metal, canvas
	MAT_METAL,  // bare metal with a small highlight
	MAT_GLASS,  // canopy glass with a strong highlight
	MAT_GLOW    // flames and lights: not shaded, not outlined
};

enum Profile {
	PROFILE_FLAT,   // constant height
	PROFILE_BEVEL,  // straight ramp up from the edge
	PROFILE_ROUND   // quarter circle: domes and cylinders
};

struct Cel {
	Color color;
	float z;
	int part;
	int mat;
};

struct Sprite {
	int w = 0;
	int h = 0;
	std::vector<Cel> cels;
};

// which pixels a shape covers, tested at pixel centres
struct Mask {
	int w = 0;
	int h = 0;
	std::vector<unsigned char> in;
};

// how a shape is painted
struct Paint {
	Color color;
	int mat;
	int profile;
	float base;    // height at the shape's edge
	float height;  // extra height reached inside
	float width;   // distance from the edge over which it rises
};

Paint paintMake(Color c, int mat, int profile, float base, float height, float width);

void maskPolygon(Mask &m, int w, int h, const float *xy, int n);
void maskEllipse(Mask &m, int w, int h, float cx, float cy, float rx, float ry, float angle);
void maskBox(Mask &m, int w, int h, float x0, float y0, float x1, float y1);
int maskCount(const Mask &m);

void polyRotate(float *xy, int n, float cx, float cy, float angle);
int polyMirror(float *xy, int n, float axis);

void sprInit(Sprite &s, int w, int h);
int sprNewPart(void);
void sprFill(Sprite &s, const Mask &m, const Paint &p);
void sprFillPart(Sprite &s, const Mask &m, const Paint &p, int part);
void sprPlot(Sprite &s, int x, int y, Color c, int mat);
void sprTint(Sprite &s, int x, int y, float factor);
void sprRender(const Sprite &s, Image &out);
