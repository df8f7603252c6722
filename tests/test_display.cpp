// The display and the platform below the game: the field's camera and drawing, the bitmap
// font (loading, tinting, measuring, refusing, drawing, message boxes), the viewports, the
// timers' callbacks and the keyboard poll.
#include <gtest/gtest.h>
#include <cstdlib>
#include "tests/support/testsupport.h"

namespace {

// Screen pixels {x, y, 0xRRGGBB}, or of another 32-bit surface.
void expectPixels(const std::vector<std::vector<int>> &probes, SDL_Surface *s = nullptr) {
	s = s != nullptr ? s : screen->bitmap;
	for (const std::vector<int> &p : probes) {
		Uint8 r, g, b;
		SDL_GetRGB(((Uint32 *)((Uint8 *)s->pixels + p[1] * s->pitch))[p[0]], s->format, &r, &g, &b);
		EXPECT_EQ(((Uint32)r << 16) | ((Uint32)g << 8) | b, (Uint32)p[2]) << p[0] << "," << p[1];
	}
}

// Blackens the whole screen and lifts any viewport clip.
void clearScreen() {
	SDL_SetClipRect(screen->bitmap, nullptr);
	SDL_FillRect(screen->bitmap, nullptr, 0);
}

TEST(Env, CameraClampsAndDrawsThroughTheViewport) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	Viewport v(screen, 175, 10, 450, 500);
	Env e(writeBmp(dir, "tall.bmp", 600, 1000, 0, 0, 255).c_str(), &v);
	ASSERT_NE(e.bg, nullptr);
	EXPECT_EQ(e.xlen * 10000 + e.ylen, 6001000);
	// {move x, move y, camera x, camera y}: the camera stays within 0..150 and 0..500
	const int moves[][4] = {{-50, -50, 0, 0}, {7, 9, 7, 9}, {100000, 100000, 150, 500}, {-10, -1, 140, 499}};
	for (const int *m : moves) {
		e.moveCamera(m[0], m[1]);
		EXPECT_EQ(std::vector<int>({e.cx, e.cy}), std::vector<int>({m[2], m[3]}));
	}
	SDL_Rect mark = {305, 507, 1, 1};  // world pixel (305, 507) shows where the camera is
	SDL_FillRect(e.bg, &mark, SDL_MapRGB(e.bg->format, 255, 0, 0));
	e.setCamera(300, 500);  // anything; the next move brings it back
	clearScreen();
	e.draw();
	// the background ends at world x 600, and nothing is drawn outside the viewport
	expectPixels({{180, 17, 0xFF0000},
	              {175, 10, 0xFF},
	              {474, 509, 0xFF},
	              {475, 10, 0},
	              {174, 10, 0},
	              {175, 9, 0},
	              {175, 510, 0}});
	// a background smaller than the viewport pins the camera at a negative offset
	Viewport full(screen, 0, 0, 800, 600);
	e.set(&full);
	e.moveCamera(-1000, -1000);
	EXPECT_EQ(std::vector<int>({e.cx, e.cy}), std::vector<int>({-200, 0}));
}

// Writes a font folder; an empty dat leaves "font.dat" out.
std::string writeFont(const TempDir &dir, const std::string &sub, const std::string &ini, const std::string &raw,
                      const std::string &dat) {
	dir.write(sub + "/font.ini", ini);
	dir.write(sub + "/font.raw", raw);
	if (!dat.empty()) {
		dir.write(sub + "/font.dat", dat);
	}
	return dir.at(sub);
}

// A pixel of a 32-bit surface as 0xAARRGGBB.
Uint32 argbAt(SDL_Surface *s, int x, int y) {
	Uint8 r, g, b, a;
	SDL_GetRGBA(((Uint32 *)((Uint8 *)s->pixels + y * s->pitch))[x], s->format, &r, &g, &b, &a);
	return ((Uint32)a << 24) | ((Uint32)r << 16) | ((Uint32)g << 8) | b;
}

const std::string NARROW(256, '\4');  // every glyph 4 wide

TEST(Font, LoadsTintsMeasuresAndRefuses) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	// short files: the raw covers codes 0 to 255 in two rows, the dat has 200 widths;
	// missing coverage is full, missing widths are 255
	std::string raw(256, '\0'), dat(200, '\0');
	for (int i = 0; i < 256; i++) {
		raw[i] = (char)i;
		dat[i % 200] = (char)(i % 200 % 7 + 1);
	}
	std::string path = writeFont(dir, "f", "  128\nignored", raw, dat);
	Font white(path.c_str());
	ASSERT_NE(white.bitmap, nullptr);
	EXPECT_EQ(argbAt(white.bitmap, 72, 1), 0xC8FFFFFFu);
	EXPECT_EQ(argbAt(white.bitmap, 0, 2), 0xFFFFFFFFu);
	EXPECT_EQ(white.strWidth("AB%d", 12), (65 % 7 + 1) + (66 % 7 + 1) + (49 % 7 + 1) + (50 % 7 + 1));
	EXPECT_EQ(white.strWidth("\xC8"), 255);
	// fractions are cut before scaling: 0.5 is no colour; alpha 0.5 halves, 2 wraps to 8 bits
	Font tinted(path.c_str(), 1.0f, 0.0f, 0.5f, 0.5f, 1);
	EXPECT_EQ(argbAt(tinted.bitmap, 73, 1), 0x64FF0000u);
	Font loud(path.c_str(), 0.0f, 1.0f, 0.0f, 2.0f, 0);
	EXPECT_EQ(argbAt(loud.bitmap, 72, 1), 0x9000FF00u);
	// fixed pitch ignores the file; long text is measured whole
	EXPECT_EQ(loud.strWidth("%s", std::string(3000, 'x').c_str()), 3000 * 8);
	EXPECT_EQ(white.loadFont(path.c_str(), 0.0f, 0.0f, 1.0f, 1.0f, 1), 1);  // replaces the first
	EXPECT_EQ(argbAt(white.bitmap, 72, 1), 0xC80000FFu);
	Font deep(writeFont(dir, std::string(150, 'd') + "/" + std::string(100, 'e'), "128", "", NARROW).c_str());
	EXPECT_EQ(deep.widths[7], 4);

	std::string nodat = writeFont(dir, "nodat", "128", "", "");
	dir.write("noraw/font.ini", "128");
	// {folder, message}: a missing dat gives fixed pitch; sizes that would ask for no,
	// a negative or an absurd pixel buffer are refused
	std::vector<std::pair<std::string, std::string>> cases = {
		{nodat, "Cannot open " + nodat + "/font.dat\n"},
		{dir.at("nothing"), "Cannot open " + dir.at("nothing") + "/font.ini\n"},
		{dir.at("noraw"), "Cannot open " + dir.at("noraw") + "/font.raw\n"}};
	for (const char *bad : {"0", "-128", "15", "4097", "2000000000", "abc"}) {
		std::string p = writeFont(dir, std::string("bad") + bad, bad, std::string(64, '\1'), NARROW);
		cases.push_back({p, "Font::loadFont: Bad font size " + std::to_string(atoi(bad)) + " in " + p + "/font.ini\n"});
	}
	std::string good = writeFont(dir, "good", "16", "", NARROW);
	for (size_t i = 0; i < cases.size(); i++) {
		Font f(good.c_str());  // a failed reload drops the font rather than keep a mismatched sheet
		Capture err(2);
		EXPECT_EQ(f.loadFont(cases[i].first.c_str(), 1, 1, 1, 1, 1), i == 0);
		EXPECT_EQ(err.finish(), cases[i].second);
		EXPECT_EQ(f.bitmap == nullptr && f.widths == nullptr, i >= 2)
			<< cases[i].first;  // no font.ini: the old font stays
		EXPECT_EQ(i == 0 ? f.widths[200] : 8, 8);
	}
}

TEST(Font, DrawsTextAndMessageBoxes) {
	ASSERT_NE(headlessVideo(), nullptr);
	TempDir dir;
	// 'A' and code 200 are solid cells; width 4 cuts columns 2..7 of each cell (width + 2)
	std::string raw(128 * 128, '\0');
	for (unsigned char c : std::string("A\xC8")) {
		for (int y = 0; y < 8; y++) {
			raw.replace(((c / 16) * 8 + y) * 128 + (c % 16) * 8, 8, 8, (char)255);
		}
	}
	Font f(writeFont(dir, "f", "128", raw, NARROW).c_str());
	const int R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;
	int red = (int)SDL_MapRGB(screen->bitmap->format, 255, 0, 0),
		green = (int)SDL_MapRGB(screen->bitmap->format, 0, 255, 0);
	Viewport v(screen, 100, 50, 200, 100), big(screen, 100, 50, 400, 300), narrow(screen, 100, 400, 21, 40);
	clearScreen();
	f.prints(screen, 400, 300, "A");                            // first: a viewport leaves its clip on the screen
	f.printv(&v, 10, 5, "AA");                                  // two glyphs four apart, six wide: 110 to 119
	f.printv(&v, 0, 80, "B\xC8");                               // an empty cell blends to nothing
	f.printv(&v, 197, 30, "A");                                 // clipped to the viewport
	f.printv(&v, 0, 60, "%s", std::string(3000, 'A').c_str());  // long text is drawn to its end
	expectPixels({{109, 55, 0},
	              {110, 55, W},
	              {119, 55, W},
	              {120, 55, 0},
	              {110, 62, W},
	              {110, 63, 0},
	              {100, 130, 0},
	              {103, 130, 0},
	              {104, 130, W},
	              {109, 130, W},
	              {110, 130, 0},
	              {299, 80, W},
	              {300, 80, 0},
	              {299, 110, W},
	              {300, 110, 0},
	              {400, 300, W},
	              {405, 300, W},
	              {406, 300, 0}});
	// "AA": a box 24 x 24 centred at (188, 138) of the viewport; a given position puts the
	// box's edge there and the text one cell in; a box wider than the viewport starts before
	// its edge, rounded down: (21 - 24) / 2 -> -2
	f.messagev(&big, red, green, -1, -1, "AA");
	f.messagev(&big, red, green, 10, 120, "A");
	f.messagev(&narrow, red, green, -1, 0, "AA");
	expectPixels({{287, 188, 0},
	              {288, 188, R},
	              {311, 211, R},
	              {312, 212, 0},
	              {289, 189, G},
	              {295, 196, G},
	              {296, 196, W},
	              {305, 196, W},
	              {306, 196, G},
	              {310, 210, G},
	              {109, 170, 0},
	              {110, 170, R},
	              {117, 178, G},
	              {118, 178, W},
	              {99, 408, 0},
	              {105, 408, G},
	              {106, 408, W}});
	SDL_Surface *surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0xFF0000, 0xFF00, 0xFF, 0);
	f.printsr(surface, 3, 4, "A");
	expectPixels({{3, 4, W}, {2, 4, 0}}, surface);
	SDL_FreeSurface(surface);
}

TEST(Platform, TimersCountAndPollsTakeKeysAndEvents) {
	ASSERT_NE(headlessVideo(), nullptr);  // events need SDL started
	fpsc = 5;
	cpsc = 7;
	cycles = 0;
	frames = 0;
	EXPECT_EQ(FPSCheck(1000, nullptr) + gameTimer(13, nullptr) + frameTimer(15, nullptr), 1028u);
	EXPECT_EQ(std::vector<int>({fps, fpsc, cps, cpsc, cycles, frames}), std::vector<int>({5, 0, 7, 0, 1, 1}));
	static Uint8 board[NUM_KEYS];
	keyp = board;
	board[SDLK_SPACE] = 1;
	poll_input();
	board[SDLK_SPACE] = 0;
	board[SDLK_UP] = 1;
	SDL_Event quit;
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
	poll_input();
	EXPECT_TRUE(keyReleased(SDLK_SPACE) && keyPressed(SDLK_UP) && events[SDL_QUIT] && !events[SDL_KEYDOWN]);
	keyp = nullptr;
}

}  // namespace
