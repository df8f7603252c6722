// Bitmap font: loading and tinting, widths, failures, measuring and drawing text.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>
#include "display/font.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// A 128-pixel sheet: charSize 8.
static const int SHEET = 128;
static const int CELL = 8;
static const std::string NARROW(256, '\4');  // every glyph 4 wide

// Writes a font folder; an empty dat leaves "font.dat" out.
static std::string writeFont(const TempDir &dir, const std::string &sub, const std::string &ini,
                             const std::string &raw, const std::string &dat) {
	dir.write(sub + "/font.ini", ini);
	dir.write(sub + "/font.raw", raw);
	if (!dat.empty()) {
		dir.write(sub + "/font.dat", dat);
	}
	return dir.at(sub);
}

// A sheet whose cells for the given codes are fully covered and all others empty.
static std::string sheetWithCells(const std::string &codes) {
	std::string raw(SHEET * SHEET, '\0');
	for (unsigned char c : codes) {
		for (int y = 0; y < CELL; y++) {
			raw.replace(((c / 16) * CELL + y) * SHEET + (c % 16) * CELL, CELL, CELL, (char)255);
		}
	}
	return raw;
}

// A pixel of a 32-bit surface as 0xAARRGGBB.
static Uint32 argbAt(SDL_Surface *s, int x, int y) {
	Uint8 r, g, b, a;
	SDL_GetRGBA(((Uint32 *)((Uint8 *)s->pixels + y * s->pitch))[x], s->format, &r, &g, &b, &a);
	return ((Uint32)a << 24) | ((Uint32)r << 16) | ((Uint32)g << 8) | b;
}

// Checks screen pixels {x, y, 0xRRGGBB}.
static void expectScreen(const std::vector<std::vector<int>> &probes) {
	for (const std::vector<int> &p : probes) {
		EXPECT_EQ(argbAt(screen->bitmap, p[0], p[1]) & 0xFFFFFF, (Uint32)p[2]) << p[0] << "," << p[1];
	}
}

TEST(Font, LoadsTintsAndMeasures) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	// Short files: "font.raw" covers 0 to 255 in the first two rows, "font.dat" has 200 widths;
	// the missing coverage is full, the missing widths are 255.
	std::string raw(256, '\0');
	std::string dat(200, '\0');
	for (int i = 0; i < 256; i++) {
		raw[i] = (char)i;
	}
	for (int i = 0; i < 200; i++) {
		dat[i] = (char)(i % 7 + 1);
	}
	std::string path = writeFont(dir, "f", "  128\nignored", raw, dat);
	Font white(path.c_str());
	ASSERT_NE(white.bitmap, nullptr);
	EXPECT_EQ(argbAt(white.bitmap, 72, 1), 0xC8FFFFFFu);
	EXPECT_EQ(argbAt(white.bitmap, 0, 2), 0xFFFFFFFFu);
	EXPECT_EQ(white.strWidth("AB%d", 12), (65 % 7 + 1) + (66 % 7 + 1) + (49 % 7 + 1) + (50 % 7 + 1));
	EXPECT_EQ(white.strWidth("\xC8"), 255);
	// Fractions are cut before scaling: 0.5 is no colour at all; alpha 0.5 halves, 2 wraps to 8 bits.
	Font tinted(path.c_str(), 1.0f, 0.0f, 0.5f, 0.5f, 1);
	EXPECT_EQ(argbAt(tinted.bitmap, 73, 1), 0x64FF0000u);
	Font loud(path.c_str(), 0.0f, 1.0f, 0.0f, 2.0f, 0);
	EXPECT_EQ(argbAt(loud.bitmap, 72, 1), 0x9000FF00u);
	// Fixed pitch ignores the file; text longer than any fixed buffer is measured whole.
	EXPECT_EQ(loud.widths[7], CELL);
	EXPECT_EQ(loud.strWidth("%s", std::string(3000, 'x').c_str()), 3000 * CELL);
	// A second load replaces the first (the sanitizer build catches a leak here).
	EXPECT_EQ(white.loadFont(path.c_str(), 0.0f, 0.0f, 1.0f, 1.0f, 1), 1);
	EXPECT_EQ(argbAt(white.bitmap, 72, 1), 0xC80000FFu);

	// A missing "font.dat" is reported but the font loads with fixed pitch.
	std::string nodat = writeFont(dir, "nodat", "128", "", "");
	Capture err(2);
	Font f(nodat.c_str());
	EXPECT_EQ(err.finish(), "Cannot open " + nodat + "/font.dat\n");
	EXPECT_EQ(f.widths[200], CELL);
	// A directory name beyond any small path buffer still works.
	Font deep(writeFont(dir, std::string(150, 'd') + "/" + std::string(100, 'e'), "128", "", NARROW).c_str());
	EXPECT_NE(deep.bitmap, nullptr);
	EXPECT_EQ(deep.widths[7], 4);
}

TEST(Font, FailedLoadsLeaveNoFont) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	dir.write("noraw/font.ini", "128");
	std::vector<std::string> paths = {dir.at("nothing"), dir.at("noraw")};
	std::vector<std::string> errors = {"Cannot open " + paths[0] + "/font.ini\n", "Cannot open " + paths[1] + "/font.raw\n"};
	// Sizes that would ask for no, a negative or an absurd pixel buffer are refused.
	for (const char *bad : {"0", "-128", "15", "4097", "2000000000", "abc"}) {
		paths.push_back(writeFont(dir, std::string("bad") + bad, bad, std::string(64, '\1'), NARROW));
		errors.push_back("Font::loadFont: Bad font size " + std::to_string(atoi(bad)) + " in " + paths.back() + "/font.ini\n");
	}
	std::string good = writeFont(dir, "good", "128", "", NARROW);
	for (size_t i = 0; i < paths.size(); i++) {
		Font f;
		if (i > 0) {
			f.loadFont(good.c_str(), 1, 1, 1, 1, 1);  // a failed reload drops it rather than keep a mismatched sheet
		}
		Capture err(2);
		EXPECT_EQ(f.loadFont(paths[i].c_str(), 1, 1, 1, 1, 1), 0);
		EXPECT_EQ(err.finish(), errors[i]);
		EXPECT_EQ(f.bitmap, nullptr) << paths[i];
		EXPECT_EQ(f.widths, nullptr) << paths[i];
	}
}

TEST(Font, DrawsTextAndMessageBoxes) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	// 'A' and code 200 are solid; width 4 cuts columns 2..7 of each cell (width + 2).
	Font f(writeFont(dir, "f", "128", sheetWithCells("A\xC8"), NARROW).c_str());
	ASSERT_NE(f.bitmap, nullptr);
	const int R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;
	int red = (int)SDL_MapRGB(screen->bitmap->format, 255, 0, 0);
	int green = (int)SDL_MapRGB(screen->bitmap->format, 0, 255, 0);
	Viewport v(screen, 100, 50, 200, 100);
	Viewport big(screen, 100, 50, 400, 300);
	Viewport narrow(screen, 100, 400, 21, 40);
	SDL_SetClipRect(screen->bitmap, nullptr);
	SDL_FillRect(screen->bitmap, nullptr, 0);
	f.prints(screen, 400, 300, "A");  // first: a viewport leaves its clip on the screen
	f.printv(&v, 10, 5, "AA");                                    // two glyphs four apart, six wide: 110 to 119
	f.printv(&v, 0, 80, "B\xC8");                                 // an empty cell blends to nothing
	f.printv(&v, 197, 30, "A");                                   // clipped to the viewport
	f.printv(&v, 0, 60, "%s", std::string(3000, 'A').c_str());   // long text is drawn to its end
	expectScreen({{109, 55, 0}, {110, 55, W}, {119, 55, W}, {120, 55, 0}, {110, 62, W}, {110, 63, 0},
	              {100, 130, 0}, {103, 130, 0}, {104, 130, W}, {109, 130, W}, {110, 130, 0},
	              {299, 80, W}, {300, 80, 0}, {299, 110, W}, {300, 110, 0},
	              {400, 300, W}, {405, 300, W}, {406, 300, 0}});
	// "AA": box 2 * 8 + 8 = 24 wide, 24 high, centred at (188, 138) of the viewport
	f.messagev(&big, red, green, -1, -1, "AA");
	// a given position puts the box's edge there and the text one cell in
	f.messagev(&big, red, green, 10, 120, "A");
	// a box wider than the viewport starts before its edge, rounded down: (21 - 24) / 2 -> -2
	f.messagev(&narrow, red, green, -1, 0, "AA");
	expectScreen({{287, 188, 0}, {288, 188, R}, {311, 211, R}, {312, 212, 0}, {289, 189, G}, {295, 196, G},
	              {296, 196, W}, {305, 196, W}, {306, 196, G}, {310, 210, G},
	              {109, 170, 0}, {110, 170, R}, {117, 178, G}, {118, 178, W},
	              {99, 408, 0}, {105, 408, G}, {106, 408, W}});

	SDL_Surface *raw = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0xFF0000, 0xFF00, 0xFF, 0);
	f.printsr(raw, 3, 4, "A");
	EXPECT_EQ(argbAt(raw, 3, 4) & 0xFFFFFF, 0xFFFFFFu);
	EXPECT_EQ(argbAt(raw, 2, 4) & 0xFFFFFF, 0u);
	SDL_FreeSurface(raw);
}
