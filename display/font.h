// Proportional bitmap font: a 16 x 16 glyph sheet of 8-bit coverage, tinted once at load time.
#ifndef DISPLAY_FONT_H
#define DISPLAY_FONT_H

#include <SDL.h>
#include "display/screen.h"

#define FONT_PRINTF(f, a) __attribute__((format(printf, f, a)))

class Font {
public:
	SDL_Surface *bitmap = nullptr;  // tinted glyph sheet with per-pixel alpha; owned
	int length = 0;                 // side of the glyph sheet in pixels
	int charSize = 0;               // side of one glyph cell
	int *widths = nullptr;          // 256 glyph widths; owned

	Font();
	Font(const char *f);
	Font(const char *f, float r, float g, float b);
	Font(const char *f, float r, float g, float b, float a, int w);
	~Font();

	int loadFont(const char *fontdir, float r, float g, float b, float a, int useWidths);
	void freeFont();
	int strWidth(const char *str, ...) FONT_PRINTF(2, 3);
	void printsr(SDL_Surface *screen, int x, int y, const char *str, ...) FONT_PRINTF(5, 6);
	void prints(Screen *screen, int x, int y, const char *str, ...) FONT_PRINTF(5, 6);
	void printv(Viewport *v, int x, int y, const char *str, ...) FONT_PRINTF(5, 6);
	void messagev(Viewport *v, int bc, int bgc, int x, int y, const char *str, ...) FONT_PRINTF(7, 8);

private:
	Font(const Font &);  // owns a surface and an array: not copyable
	Font &operator=(const Font &);
};

#endif
