// Pixel buffers, colour arithmetic and PNG reading and writing.
#include "img.h"

#include <png.h>
#include <cstdio>
#include <cstring>

// builds a colour from three channels
Color colMake(float r, float g, float b) {
	Color c = {r, g, b};
	return c;
}

// brightens or darkens a colour by a factor
Color colScale(Color c, float s) {
	return colMake(c.r * s, c.g * s, c.b * s);
}

// linear mix: t = 0 gives a, t = 1 gives b
Color colMix(Color a, Color b, float t) {
	return colMake(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

// channel-wise sum
Color colAdd(Color a, Color b) {
	return colMake(a.r + b.r, a.g + b.g, a.b + b.b);
}

// perceived brightness, same weights as video luma
float colLuma(Color c) {
	return c.r * 0.299f + c.g * 0.587f + c.b * 0.114f;
}

// rounds and clamps one channel into a byte
static unsigned char clampByte(float v) {
	if (v <= 0.0f) {
		return 0;
	}
	if (v >= 255.0f) {
		return 255;
	}
	// v is positive here, where adding a half rounds as lround does; the committed pictures
	// depend on this very arithmetic
	return (unsigned char)(v + 0.5f);  // NOLINT(bugprone-incorrect-roundings)
}

// sizes the picture and fills every pixel with one colour
void imgInit(Image &img, int w, int h, Color fill) {
	img.w = w;
	img.h = h;
	img.px.assign((size_t)w * h * 3, 0);
	for (int y = 0; y < h; y++) {
		for (int x = 0; x < w; x++) {
			imgSet(img, x, y, fill);
		}
	}
}

// reads one pixel; outside the picture gives black
Color imgGet(const Image &img, int x, int y) {
	if (x < 0 || y < 0 || x >= img.w || y >= img.h) {
		return colMake(0, 0, 0);
	}
	const unsigned char *p = &img.px[((size_t)y * img.w + x) * 3];
	return colMake(p[0], p[1], p[2]);
}

// writes one pixel; outside the picture is ignored
void imgSet(Image &img, int x, int y, Color c) {
	if (x < 0 || y < 0 || x >= img.w || y >= img.h) {
		return;
	}
	unsigned char *p = &img.px[((size_t)y * img.w + x) * 3];
	p[0] = clampByte(c.r);
	p[1] = clampByte(c.g);
	p[2] = clampByte(c.b);
}

// lays a colour over a pixel with the given opacity
void imgBlend(Image &img, int x, int y, Color c, float alpha) {
	if (alpha <= 0.0f) {
		return;
	}
	if (alpha > 1.0f) {
		alpha = 1.0f;
	}
	imgSet(img, x, y, colMix(imgGet(img, x, y), c, alpha));
}

// true when the pixel is exactly the transparent colour key
bool imgIsKey(const Image &img, int x, int y) {
	const unsigned char *p = &img.px[((size_t)y * img.w + x) * 3];
	return p[0] == 255 && p[1] == 0 && p[2] == 255;
}

// saves as an 8-bit RGB PNG at the strongest compression
bool pngWrite(const Image &img, const std::string &path) {
	FILE *f = fopen(path.c_str(), "wb");
	if (!f) {
		fprintf(stderr, "pngWrite: cannot create %s\n", path.c_str());
		return false;
	}
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png ? png_create_info_struct(png) : nullptr;
	if (!png || !info || setjmp(png_jmpbuf(png))) {
		png_destroy_write_struct(&png, &info);
		fclose(f);
		fprintf(stderr, "pngWrite: libpng failed on %s\n", path.c_str());
		return false;
	}
	png_init_io(png, f);
	png_set_compression_level(png, 9);
	png_set_IHDR(png, info, img.w, img.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
	             PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int y = 0; y < img.h; y++) {
		png_write_row(png, (png_const_bytep)&img.px[(size_t)y * img.w * 3]);
	}
	png_write_end(png, nullptr);
	png_destroy_write_struct(&png, &info);
	fclose(f);
	return true;
}

// loads any PNG as 8-bit RGB, dropping alpha
bool pngRead(Image &img, const std::string &path) {
	png_image pi;
	memset(&pi, 0, sizeof(pi));
	pi.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&pi, path.c_str())) {
		return false;
	}
	pi.format = PNG_FORMAT_RGB;
	img.w = (int)pi.width;
	img.h = (int)pi.height;
	img.px.assign(PNG_IMAGE_SIZE(pi), 0);
	if (!png_image_finish_read(&pi, nullptr, img.px.data(), 0, nullptr)) {
		png_image_free(&pi);
		return false;
	}
	return true;
}
