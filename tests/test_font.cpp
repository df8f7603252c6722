// Bitmap font: loading and tinting, widths, failures, measuring and drawing text.
#include <gtest/gtest.h>
#include <string>
#include "display/font.h"
#include "game/vorska.h"
#include "tests/support/testsupport.h"

// A 128-pixel sheet: charSize 8.
static const int SHEET = 128;
static const int CELL = 8;

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
	for (size_t k = 0; k < codes.size(); k++) {
		int c = (unsigned char)codes[k];
		for (int y = 0; y < CELL; y++) {
			for (int x = 0; x < CELL; x++) {
				raw[((c / 16) * CELL + y) * SHEET + (c % 16) * CELL + x] = (char)255;
			}
		}
	}
	return raw;
}

// Widths of 4 for every code.
static std::string narrowWidths() {
	return std::string(256, '\4');
}

// Reads a pixel of a 32-bit surface as r, g, b, a.
static void pixelAt(SDL_Surface *s, int x, int y, Uint8 *r, Uint8 *g, Uint8 *b, Uint8 *a) {
	Uint32 *row = (Uint32 *)((Uint8 *)s->pixels + y * s->pitch);
	SDL_GetRGBA(row[x], s->format, r, g, b, a);
}

// The colour of a screen pixel packed as 0xRRGGBB.
static Uint32 screenRGB(int x, int y) {
	Uint8 r, g, b, a;
	pixelAt(screen->bitmap, x, y, &r, &g, &b, &a);
	return ((Uint32)r << 16) | ((Uint32)g << 8) | b;
}

// Blackens the whole screen and lifts any viewport clip.
static void clearScreen() {
	SDL_SetClipRect(screen->bitmap, nullptr);
	SDL_FillRect(screen->bitmap, nullptr, 0);
}

TEST(Font, LoadsAndTintsTheSheet) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string raw(SHEET * SHEET, '\0');
	for (int i = 0; i < SHEET * SHEET; i++) {
		raw[i] = (char)(i % 256);
	}
	std::string path = writeFont(dir, "f", "  128\nignored", raw, narrowWidths());

	Font white(path.c_str());
	ASSERT_NE(white.bitmap, nullptr);
	EXPECT_EQ(white.length, 128);
	EXPECT_EQ(white.charSize, 8);
	EXPECT_EQ(white.bitmap->w, 128);
	Uint8 r, g, b, a;
	pixelAt(white.bitmap, 200 % SHEET, 200 / SHEET, &r, &g, &b, &a);
	EXPECT_EQ(a, 200);
	EXPECT_EQ(r, 255);
	EXPECT_EQ(g, 255);
	EXPECT_EQ(b, 255);

	// Fractions are cut before scaling: 0.5 is no colour at all; alpha halves.
	Font tinted(path.c_str(), 1.0f, 0.0f, 0.5f, 0.5f, 1);
	ASSERT_NE(tinted.bitmap, nullptr);
	pixelAt(tinted.bitmap, 201 % SHEET, 201 / SHEET, &r, &g, &b, &a);
	EXPECT_EQ(r, 255);
	EXPECT_EQ(g, 0);
	EXPECT_EQ(b, 0);
	EXPECT_EQ(a, 100);

	// An alpha product above 255 wraps to 8 bits.
	Font loud(path.c_str(), 0.0f, 1.0f, 0.0f, 2.0f, 1);
	ASSERT_NE(loud.bitmap, nullptr);
	pixelAt(loud.bitmap, 200 % SHEET, 200 / SHEET, &r, &g, &b, &a);
	EXPECT_EQ(g, 255);
	EXPECT_EQ(a, (400 & 0xFF));

	// A second load replaces the first (the sanitizer build catches a leak here).
	EXPECT_EQ(white.loadFont(path.c_str(), 0.0f, 0.0f, 1.0f, 1.0f, 1), 1);
	pixelAt(white.bitmap, 200 % SHEET, 200 / SHEET, &r, &g, &b, &a);
	EXPECT_EQ(r, 0);
	EXPECT_EQ(b, 255);
}

TEST(Font, WidthsFromTheDataFile) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string dat(256, '\0');
	for (int i = 0; i < 256; i++) {
		dat[i] = (char)(i % 7 + 1);
	}
	std::string path = writeFont(dir, "f", "128", sheetWithCells(""), dat);

	Font prop(path.c_str());
	ASSERT_NE(prop.widths, nullptr);
	for (int i = 0; i < 256; i++) {
		EXPECT_EQ(prop.widths[i], i % 7 + 1) << i;
	}
	EXPECT_EQ(prop.strWidth("AB"), (65 % 7 + 1) + (66 % 7 + 1));
	EXPECT_EQ(prop.strWidth("%d", 12), (49 % 7 + 1) + (50 % 7 + 1));
	EXPECT_EQ(prop.strWidth("%s", ""), 0);
	EXPECT_EQ(prop.strWidth("\xC8"), 200 % 7 + 1);

	// Fixed pitch ignores the file.
	Font fixed(path.c_str(), 1, 1, 1, 1, 0);
	for (int i = 0; i < 256; i++) {
		ASSERT_EQ(fixed.widths[i], CELL) << i;
	}
	EXPECT_EQ(fixed.strWidth("hello"), 5 * CELL);

	// Text longer than any fixed buffer is measured whole.
	std::string longText(3000, 'x');
	EXPECT_EQ(fixed.strWidth("%s", longText.c_str()), 3000 * CELL);
}

TEST(Font, ShortAndMissingFiles) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;

	// A missing "font.dat" is reported but the font loads with fixed pitch.
	std::string nodat = writeFont(dir, "nodat", "128", sheetWithCells(""), "");
	Capture err(2);
	Font f(nodat.c_str());
	EXPECT_EQ(err.finish(), "Cannot open " + nodat + "/font.dat\n");
	ASSERT_NE(f.bitmap, nullptr);
	EXPECT_EQ(f.widths[0], CELL);
	EXPECT_EQ(f.widths[255], CELL);

	// A short "font.dat": the missing widths are 255.
	std::string shortdat = writeFont(dir, "shortdat", "128", sheetWithCells(""), std::string(100, '\3'));
	Font s(shortdat.c_str());
	EXPECT_EQ(s.widths[99], 3);
	EXPECT_EQ(s.widths[100], 255);
	EXPECT_EQ(s.widths[255], 255);

	// A short "font.raw": the missing coverage is full.
	std::string shortraw = writeFont(dir, "shortraw", "128", std::string(1000, '\0'), narrowWidths());
	Font r(shortraw.c_str());
	ASSERT_NE(r.bitmap, nullptr);
	Uint8 cr, cg, cb, ca;
	pixelAt(r.bitmap, 999 % SHEET, 999 / SHEET, &cr, &cg, &cb, &ca);
	EXPECT_EQ(ca, 0);
	pixelAt(r.bitmap, 1000 % SHEET, 1000 / SHEET, &cr, &cg, &cb, &ca);
	EXPECT_EQ(ca, 255);
	pixelAt(r.bitmap, SHEET - 1, SHEET - 1, &cr, &cg, &cb, &ca);
	EXPECT_EQ(ca, 255);

	// A directory name beyond any small path buffer still works.
	std::string deep = writeFont(dir, std::string(150, 'd') + "/" + std::string(100, 'e'), "128",
	                             sheetWithCells(""), narrowWidths());
	Font d(deep.c_str());
	EXPECT_NE(d.bitmap, nullptr);
	EXPECT_EQ(d.widths[7], 4);
}

TEST(Font, FailedLoadsLeaveNoFont) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;

	Capture e1(2);
	Font missing(dir.at("nothing").c_str());
	EXPECT_EQ(e1.finish(), "Cannot open " + dir.at("nothing") + "/font.ini\n");
	EXPECT_EQ(missing.bitmap, nullptr);
	EXPECT_EQ(missing.widths, nullptr);

	dir.write("noraw/font.ini", "128");
	Capture e2(2);
	Font noraw(dir.at("noraw").c_str());
	EXPECT_EQ(e2.finish(), "Cannot open " + dir.at("noraw") + "/font.raw\n");
	EXPECT_EQ(noraw.bitmap, nullptr);
	EXPECT_EQ(noraw.widths, nullptr);

	// Sizes that would ask for no, a negative or an absurd pixel buffer are refused.
	const char *bad[] = {"0", "-128", "15", "4097", "2000000000", "abc", ""};
	const int shown[] = {0, -128, 15, 4097, 2000000000, 0, 0};
	for (int i = 0; i < 7; i++) {
		std::string sub = "bad" + std::to_string(i);
		std::string path = writeFont(dir, sub, bad[i], std::string(64, '\1'), narrowWidths());
		Capture err(2);
		Font f;
		EXPECT_EQ(f.loadFont(path.c_str(), 1, 1, 1, 1, 1), 0) << bad[i];
		EXPECT_EQ(err.finish(), "Font::loadFont: Bad font size " + std::to_string(shown[i]) + " in " + path +
		                            "/font.ini\n");
		EXPECT_EQ(f.bitmap, nullptr);
		EXPECT_EQ(f.widths, nullptr);
	}

	// A failed reload drops the old sheet rather than keep a mismatched one.
	std::string good = writeFont(dir, "good", "128", sheetWithCells(""), narrowWidths());
	Font f(good.c_str());
	ASSERT_NE(f.bitmap, nullptr);
	Capture err(2);
	EXPECT_EQ(f.loadFont(dir.at("bad0").c_str(), 1, 1, 1, 1, 1), 0);
	err.finish();
	EXPECT_EQ(f.bitmap, nullptr);
	EXPECT_EQ(f.widths, nullptr);

	// A font that did not load measures nothing and draws nothing.
	Viewport v(screen, 0, 0, 800, 600);
	clearScreen();
	Capture quiet(2);
	EXPECT_EQ(missing.strWidth("abc"), 0);
	missing.printv(&v, 0, 0, "abc");
	missing.prints(screen, 0, 0, "abc");
	missing.printsr(screen->bitmap, 0, 0, "abc");
	missing.messagev(&v, 0xFFFFFF, 0xFFFFFF, -1, -1, "abc");
	EXPECT_EQ(quiet.finish(), "");
	for (int y = 0; y < 600; y += 7) {
		for (int x = 0; x < 800; x += 7) {
			ASSERT_EQ(screenRGB(x, y), 0u) << x << "," << y;
		}
	}
}

TEST(Font, DrawsGlyphsFromTheirCells) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	// 'A' and code 200 are solid; width 4 cuts columns 2..7 of each cell (width + 2).
	std::string path = writeFont(dir, "f", "128", sheetWithCells("A\xC8"), narrowWidths());
	Font f(path.c_str());
	ASSERT_NE(f.bitmap, nullptr);
	Viewport v(screen, 100, 50, 200, 100);

	clearScreen();
	f.printv(&v, 10, 5, "AA");
	// Two glyphs four apart, each six wide: one run from 110 to 119.
	EXPECT_EQ(screenRGB(109, 55), 0u);
	EXPECT_EQ(screenRGB(110, 55), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(119, 55), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(120, 55), 0u);
	EXPECT_EQ(screenRGB(110, 55 + CELL - 1), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(110, 55 + CELL), 0u);

	// Empty cells blend to nothing; an upper code takes its own cell in the lower half.
	clearScreen();
	f.printv(&v, 0, 0, "B\xC8");
	EXPECT_EQ(screenRGB(100, 50), 0u);
	EXPECT_EQ(screenRGB(103, 50), 0u);
	EXPECT_EQ(screenRGB(104, 50), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(109, 50), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(110, 50), 0u);

	// Text is clipped to the viewport.
	clearScreen();
	f.printv(&v, 197, 0, "A");
	EXPECT_EQ(screenRGB(299, 50), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(300, 50), 0u);

	// The screen and raw-surface forms draw at their own origin.
	clearScreen();
	f.prints(screen, 400, 300, "A");
	EXPECT_EQ(screenRGB(400, 300), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(405, 300), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(406, 300), 0u);
	SDL_Surface *raw = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0xFF0000, 0xFF00, 0xFF, 0);
	f.printsr(raw, 3, 4, "A");
	Uint8 r, g, b, a;
	pixelAt(raw, 3, 4, &r, &g, &b, &a);
	EXPECT_EQ(r, 255);
	pixelAt(raw, 2, 4, &r, &g, &b, &a);
	EXPECT_EQ(r, 0);
	SDL_FreeSurface(raw);

	// Empty text draws nothing; very long text neither overflows nor stops early.
	clearScreen();
	f.printv(&v, 0, 0, "%s", "");
	EXPECT_EQ(screenRGB(100, 50), 0u);
	std::string longText(3000, 'A');
	f.printv(&v, 0, 0, "%s", longText.c_str());
	EXPECT_EQ(screenRGB(299, 50), 0xFFFFFFu);
}

TEST(Font, MessageBoxPlacement) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	std::string path = writeFont(dir, "f", "128", sheetWithCells("A"), narrowWidths());
	Font f(path.c_str());
	ASSERT_NE(f.bitmap, nullptr);
	Uint32 red = SDL_MapRGB(screen->bitmap->format, 255, 0, 0);
	Uint32 green = SDL_MapRGB(screen->bitmap->format, 0, 255, 0);
	Viewport v(screen, 100, 50, 400, 300);

	// "AA": box 2 * 8 + 8 = 24 wide, 24 high, centred at (188, 138) of the viewport.
	clearScreen();
	f.messagev(&v, (int)red, (int)green, -1, -1, "AA");
	EXPECT_EQ(screenRGB(287, 188), 0u);
	EXPECT_EQ(screenRGB(288, 188), 0xFF0000u);
	EXPECT_EQ(screenRGB(311, 211), 0xFF0000u);
	EXPECT_EQ(screenRGB(312, 212), 0u);
	EXPECT_EQ(screenRGB(289, 189), 0x00FF00u);
	EXPECT_EQ(screenRGB(295, 196), 0x00FF00u);
	EXPECT_EQ(screenRGB(296, 196), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(305, 196), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(306, 196), 0x00FF00u);
	EXPECT_EQ(screenRGB(310, 210), 0x00FF00u);

	// A given position puts the box's edge there and the text one cell in.
	clearScreen();
	f.messagev(&v, (int)red, (int)green, 10, 20, "A");
	EXPECT_EQ(screenRGB(110, 70), 0xFF0000u);
	EXPECT_EQ(screenRGB(109, 70), 0u);
	EXPECT_EQ(screenRGB(117, 78), 0x00FF00u);
	EXPECT_EQ(screenRGB(118, 78), 0xFFFFFFu);

	// A box wider than the viewport starts before its edge, rounded down: (21 - 24) / 2 -> -2.
	Viewport narrow(screen, 100, 400, 21, 40);
	clearScreen();
	f.messagev(&narrow, (int)red, (int)green, -1, 0, "AA");
	EXPECT_EQ(screenRGB(105, 408), 0x00FF00u);
	EXPECT_EQ(screenRGB(106, 408), 0xFFFFFFu);
	EXPECT_EQ(screenRGB(99, 408), 0u);
}

TEST(Font, TheGameFontLoads) {
	ASSERT_NE(headlessVideo(), nullptr);
	Font f("font_sm", 0.0f, 0.0f, 1.0f);
	ASSERT_NE(f.bitmap, nullptr);
	EXPECT_EQ(f.charSize, f.length / 16);
	EXPECT_GT(f.strWidth("Paused"), 0);
}
