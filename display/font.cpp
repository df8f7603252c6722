// Bitmap font: loading and tinting the glyph sheet, measuring and drawing text.
#include "display/font.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "display/gamefile.h"
#include "platform/message.h"
#include "display/mySDL.h"

// Sheet sides outside this range are a broken "font.ini", not a font.
#define FONT_MIN_LENGTH 16
#define FONT_MAX_LENGTH 4096

// Builds "dir/name"; a std::string so that long directories are never cut.
static std::string fontPath(const char *dir, const char *name) {
	return std::string(dir) + "/" + name;
}

// Formats printf-style text into a string of its size; a short text, as the overlay's lines
// are, needs no allocation.
static std::string formatText(const char *fmt, va_list ap) {
	if (fmt == nullptr) {
		return std::string();
	}
	va_list copy;
	va_copy(copy, ap);
	int n = vsnprintf(nullptr, 0, fmt, copy);
	va_end(copy);
	if (n <= 0) {
		return std::string();
	}
	// the string has room for its terminator, which vsnprintf writes
	std::string text((size_t)n, '\0');
	vsnprintf(&text[0], (size_t)n + 1, fmt, ap);
	return text;
}

// The integer part of a float kept to 8 bits; values no int can hold count as 0.
static Uint8 lowByte(float v) {
	if (!(v > -2147483648.0f && v < 2147483647.0f)) {
		return 0;
	}
	return (Uint8)((int)v & 0xFF);
}

// An empty font; loadFont fills it.
Font::Font() {}

// The font of folder f in white, with its glyph widths.
Font::Font(const char *f) {
	loadFont(f, 1.0f, 1.0f, 1.0f, 1.0f, 1);
}

// The font of folder f tinted r, g, b, opaque, with its glyph widths.
Font::Font(const char *f, float r, float g, float b) {
	loadFont(f, r, g, b, 1.0f, 1);
}

// The font of folder f with every loadFont choice given.
Font::Font(const char *f, float r, float g, float b, float a, int w) {
	loadFont(f, r, g, b, a, w);
}

// Releases the glyph sheet and the widths.
Font::~Font() {
	freeFont();
}

// Opens one of the font's files when it is a regular file of bounded size; says why not.
static FILE *openFontFile(const std::string &path) {
	std::string why = fileProblem(path, MAX_GAME_FILE_BYTES);
	FILE *fp = why.empty() ? fopen(path.c_str(), "rb") : nullptr;
	if (fp == nullptr) {
		writeMessage(MESSAGE_ERR, "Cannot open " + path + reasonSuffix(why) + "\n");
	}
	return fp;
}

// Reads the side of the glyph sheet from "font.ini" as "%d" would: a sign and digits, 0 when
// none stand there. The digits as written go to text, so a size no int holds is told as it is.
// 0 when the file cannot be opened.
static int readFontLength(const std::string &path, int *length, std::string &text) {
	FILE *fp = openFontFile(path);
	if (fp == nullptr) {
		return 0;
	}
	char word[256] = "";
	if (fscanf(fp, "%255s", word) != 1) {
		word[0] = '\0';
	}
	fclose(fp);
	size_t digits = strspn(word + (word[0] == '+' || word[0] == '-'), "0123456789");
	text.assign(word, digits == 0 ? 0 : digits + (word[0] == '+' || word[0] == '-'));
	errno = 0;
	long n = text.empty() ? 0 : strtol(text.c_str(), nullptr, 10);
	if (errno == ERANGE || n > INT_MAX || n < INT_MIN) {
		*length = -1;
		return 1;
	}
	*length = (int)n;
	text = std::to_string(n);
	return 1;
}

// Reads "font.raw" into tinted RGBA pixels; bytes missing from a short file count as 255.
static int readFontPixels(const std::string &path, int length, float r, float g, float b, float a,
                          std::vector<Uint8> &pixels) {
	FILE *fp = openFontFile(path);
	if (fp == nullptr) {
		return 0;
	}
	size_t count = (size_t)length * (size_t)length;
	std::vector<Uint8> coverage(count, 255);
	size_t got = fread(coverage.data(), 1, count, fp);
	(void)got;
	fclose(fp);

	Uint8 red = (Uint8)(lowByte(r) * 255);
	Uint8 green = (Uint8)(lowByte(g) * 255);
	Uint8 blue = (Uint8)(lowByte(b) * 255);
	pixels.assign(count * 4, 0);
	for (size_t i = 0; i < count; i++) {
		pixels[i * 4 + 0] = red;
		pixels[i * 4 + 1] = green;
		pixels[i * 4 + 2] = blue;
		pixels[i * 4 + 3] = lowByte(coverage[i] * a);
	}
	return 1;
}

// Wraps the RGBA pixels and converts them to the display format with per-pixel alpha.
static SDL_Surface *makeSheet(std::vector<Uint8> &pixels, int length) {
	SDL_Surface *wrap = SDL_CreateRGBSurfaceFrom(pixels.data(), length, length, 32, length * 4, 0x000000FF, 0x0000FF00,
	                                             0x00FF0000, 0xFF000000);
	if (wrap == nullptr) {
		return nullptr;
	}
	// SDL crashes converting before video was ever started, so ask for a mode first.
	SDL_Surface *sheet = nullptr;
	if (SDL_GetVideoSurface() != nullptr) {
		sheet = SDL_DisplayFormatAlpha(wrap);
	}
	SDL_FreeSurface(wrap);
	return sheet;
}

// Reads the 256 glyph widths from "font.dat"; a missing file gives fixed pitch, a short one 255s.
static void readFontWidths(const std::string &path, int useWidths, int charSize, int *widths) {
	FILE *fp = openFontFile(path);
	for (int i = 0; i < 256; i++) {
		int c = 255;
		if (fp != nullptr) {
			c = fgetc(fp);
			if (c == EOF) {
				c = 255;
			}
		}
		if (fp != nullptr && useWidths != 0) {
			widths[i] = c;
		} else {
			widths[i] = charSize;
		}
	}
	if (fp != nullptr) {
		fclose(fp);
	}
}

// Loads and tints the font in directory fontdir; 1 on success, 0 on failure.
int Font::loadFont(const char *fontdir, float r, float g, float b, float a, int useWidths) {
	if (fontdir == nullptr) {
		fontdir = "";
	}
	std::string ini = fontPath(fontdir, "font.ini");
	int n = 0;
	std::string sizeText;
	if (!readFontLength(ini, &n, sizeText)) {
		return 0;
	}
	// A bad size would ask for a huge or negative pixel buffer: refuse the font instead.
	if (n < FONT_MIN_LENGTH || n > FONT_MAX_LENGTH) {
		writeMessagef(MESSAGE_ERR, "Font::loadFont: Bad font size %s in %s\n",
		              sizeText.empty() ? "0" : sizeText.c_str(), ini.c_str());
		freeFont();
		return 0;
	}
	freeFont();
	length = n;
	charSize = n / 16;

	std::string raw = fontPath(fontdir, "font.raw");
	std::vector<Uint8> pixels;
	if (!readFontPixels(raw, length, r, g, b, a, pixels)) {
		freeFont();
		return 0;
	}
	bitmap = makeSheet(pixels, length);
	if (bitmap == nullptr) {
		writeMessagef(MESSAGE_ERR, "Font::loadFont: Could not convert %s\n", raw.c_str());
		freeFont();
		return 0;
	}

	widths = new int[256];
	readFontWidths(fontPath(fontdir, "font.dat"), useWidths, charSize, widths);
	return 1;
}

// Releases the glyph sheet and the widths.
void Font::freeFont() {
	if (widths != nullptr) {
		delete[] widths;
		widths = nullptr;
	}
	if (bitmap != nullptr) {
		SDL_FreeSurface(bitmap);
		bitmap = nullptr;
	}
}

// The source rectangle of a glyph: centred on its cell, two pixels wider than the glyph.
static SDL_Rect glyphRect(const Font *f, unsigned char c) {
	int w = f->widths[c];
	int left = (c % 16) * f->charSize + f->charSize / 2 - w / 2;
	int top = (c / 16) * f->charSize;
	return Rect(left, top, w + 2, f->charSize);
}

// Half of n rounded down, also for negative n, so an oversized box starts before the edge.
static int floorHalf(int n) {
	if (n < 0) {
		return -((1 - n) / 2);
	}
	return n / 2;
}

// Sum of the glyph widths of the formatted text; 0 for a font that did not load.
int Font::strWidth(const char *str, ...) {
	if (widths == nullptr) {
		return 0;
	}
	va_list ap;
	va_start(ap, str);
	std::string text = formatText(str, ap);
	va_end(ap);
	int w = 0;
	for (size_t i = 0; i < text.size(); i++) {
		w += widths[(unsigned char)text[i]];
	}
	return w;
}

// Where formatted text goes: exactly one of the three targets is set.
struct TextTarget {
	SDL_Surface *raw;
	Screen *screen;
	Viewport *view;
};

// Draws already formatted text glyph by glyph, each advancing by its width.
static void drawText(Font *f, const TextTarget &t, int x, int y, const std::string &text) {
	int xpos = 0;
	for (size_t i = 0; i < text.size(); i++) {
		unsigned char c = (unsigned char)text[i];
		SDL_Rect src = glyphRect(f, c);
		if (t.raw != nullptr) {
			blit(f->bitmap, src.x, src.y, src.w, src.h, t.raw, x + xpos, y);
		} else if (t.screen != nullptr) {
			t.screen->blits(f->bitmap, src.x, src.y, src.w, src.h, x + xpos, y);
		} else {
			t.view->blits(f->bitmap, src.x, src.y, src.w, src.h, x + xpos, y);
		}
		xpos += f->widths[c];
	}
}

// Formats the text and draws it at (x, y) on the target, when the font loaded and the target exists.
static void drawFormatted(Font *f, const TextTarget &t, int x, int y, const char *str, va_list ap) {
	if (f->bitmap == nullptr || f->widths == nullptr ||
	    (t.raw == nullptr && t.screen == nullptr && t.view == nullptr)) {
		return;
	}
	drawText(f, t, x, y, formatText(str, ap));
}

// Draws formatted text onto a raw surface.
void Font::printsr(SDL_Surface *target, int x, int y, const char *str, ...) {
	va_list ap;
	va_start(ap, str);
	drawFormatted(this, TextTarget{target, nullptr, nullptr}, x, y, str, ap);
	va_end(ap);
}

// Draws formatted text onto the screen.
void Font::prints(Screen *target, int x, int y, const char *str, ...) {
	va_list ap;
	va_start(ap, str);
	drawFormatted(this, TextTarget{nullptr, target, nullptr}, x, y, str, ap);
	va_end(ap);
}

// Draws formatted text into a viewport; x and y are relative to it.
void Font::printv(Viewport *v, int x, int y, const char *str, ...) {
	va_list ap;
	va_start(ap, str);
	drawFormatted(this, TextTarget{nullptr, nullptr, v}, x, y, str, ap);
	va_end(ap);
}

// Draws the text in a box framed in colour bc on colour bgc; a negative x or y centres the box.
void Font::messagev(Viewport *v, int bc, int bgc, int x, int y, const char *str, ...) {
	if (bitmap == nullptr || widths == nullptr || v == nullptr) {
		return;
	}
	va_list ap;
	va_start(ap, str);
	std::string text = formatText(str, ap);
	va_end(ap);
	int bw = 2 * charSize;
	for (size_t i = 0; i < text.size(); i++) {
		bw += widths[(unsigned char)text[i]];
	}
	int bh = 3 * charSize;
	if (x < 0) {
		x = floorHalf(v->xlen - bw);
	}
	if (y < 0) {
		y = floorHalf(v->ylen - bh);
	}
	v->fill(x, y, bw, bh, (Uint32)bc);
	v->fill(x + 1, y + 1, bw - 2, bh - 2, (Uint32)bgc);
	drawText(this, TextTarget{nullptr, nullptr, v}, x + charSize, y + charSize, text);
}
