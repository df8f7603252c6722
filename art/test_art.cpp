// checkart: the committed art must be exactly what the generators make today, as the game
// will load it; and the building blocks that no committed file pins down hold their rules.
// usage: checkart repository-root
#include "img.h"
#include "noise.h"
#include "fontsheet.h"
#include "fontft.h"
#include "sprites.h"
#include "bg.h"

#include <cstdio>
#include <string>
#include <unistd.h>

static int failed = 0;

// reports a failed check with its line
#define CHECK(cond) ((cond) ? (void)0 : (failed++, (void)printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond)))

// every sprite file, the font and the background equal a fresh run of their generators
static void Test_Fresh(const std::string &root) {
	for (int i = 0; i < Art_Count(); i++) {
		Image fresh, committed;
		std::string name;
		Art_Render(i, fresh, name);
		bool same = Png_Read(committed, root + "/gfx/" + name) && committed.w == fresh.w && committed.px == fresh.px;
		if (!same) {
			printf("  gfx/%s differs from the generator\n", name.c_str());
		}
		CHECK(same);
	}
	// the desktop icons: as drawn, and square and opaque as desktops show them
	for (int i = 0; i < ICON_COUNT; i++) {
		Image fresh, committed;
		std::string name;
		Icon_Render(i, fresh, name);
		CHECK(Png_Read(committed, root + "/icons/" + name) && committed.w == ICON_SIZES[i] &&
		      committed.h == ICON_SIZES[i] && committed.px == fresh.px);
		int keyed = 0;
		for (int p = 0; p < committed.w * committed.h; p++) {
			keyed += Img_IsKey(committed, p % committed.w, p / committed.w);
		}
		CHECK(keyed == 0);
	}
	GlyphSheet fresh, committed;
	CHECK(Font_BuildSheet(FONT_DEFAULT_PATH, FONT_DEFAULT_PIXELS, fresh) && Sheet_Read(committed, root + "/font_sm"));
	CHECK(fresh.coverage == committed.coverage &&
	      std::string((char *)fresh.widths, SHEET_GLYPHS) == std::string((char *)committed.widths, SHEET_GLYPHS));
	static Land land;
	Land_PaintAll(land);
	Image bg;
	CHECK(Png_Read(bg, root + "/gfx/ulose.png") && bg.w == BG_W && bg.h == BG_H && bg.px == land.img.px);
}

// what the game relies on: sprite sizes with keyed corners, overlay text that fits
static void Test_AsTheGameLoadsThem(const std::string &root) {
	struct {
		const char *name;
		int w, h;
	} files[] = {{"player1", 32, 40}, {"tank1", 32, 32},   {"heli1", 64, 64},   {"shot", 4, 14},
	             {"bullet1", 8, 8},   {"boom_s1", 32, 32}, {"boom_l8", 64, 64}, {"wreck", 32, 32}};
	for (auto &f : files) {
		Image img;
		bool ok = Png_Read(img, root + "/gfx/" + f.name + ".png") && img.w == f.w && img.h == f.h &&
		          Img_IsKey(img, 0, 0) && Img_IsKey(img, f.w - 1, f.h - 1) && !Img_IsKey(img, f.w / 2, f.h / 2);
		if (!ok) {
			printf("  gfx/%s.png: %dx%d\n", f.name, img.w, img.h);
		}
		CHECK(ok);
	}
	GlyphSheet s;
	CHECK(Sheet_Read(s, root + "/font_sm") && s.widths[0] == EMPTY_GLYPH_WIDTH && s.widths['W'] > s.widths['i']);
	for (const char *line : {"FPS: 777 (777c)", "DBG_BIT: YES [YES]", "Fullscreen: No", "D.Buffer: Yes"}) {
		CHECK(Sheet_TextWidth(s, line) <= 136);  // the debug overlay is 140 pixels wide
	}
}

// PNG files keep their pixels; the generator's numbers are pinned; glyphs land inside the cut
static void Test_BuildingBlocks(void) {
	Image img, back;
	Img_Init(img, 3, 2, Col_Make(0, 0, 0));
	Img_Set(img, 0, 0, KEY_COLOR);
	Img_Set(img, 2, 1, Col_Make(300, -5, 127.6f));
	char dir[] = "/tmp/checkart.XXXXXX";
	std::string scratch = mkdtemp(dir) ? dir : "/tmp";
	CHECK(Png_Write(img, scratch + "/t.png") && Png_Read(back, scratch + "/t.png") && back.w == 3 && back.px == img.px);
	Color c = Img_Get(back, 2, 1);
	CHECK(Img_IsKey(back, 0, 0) && !Img_IsKey(back, 1, 0) && c.r == 255 && c.g == 0 && c.b == 128);
	CHECK(!Png_Read(back, "/nonexistent/x.png") && !Png_Write(img, "/nonexistent/x.png"));
	Rng rng;
	Rng_Seed(rng, 1);
	CHECK(Rng_Next(rng) == 1245324245u);
	bool inRange = true;
	for (int i = 0; i < 1000; i++) {
		int v = Rng_Int(rng, 3, 7);
		inRange = inRange && v >= 3 && v < 7;
	}
	CHECK(inRange && Rng_Int(rng, 9, 9) == 9);
	GlyphSheet sheet, read;
	Sheet_Init(sheet, 256);
	unsigned char full[5 * 20];
	for (unsigned char &p : full) {
		p = 200;
	}
	// 'A' (column 1, row 4) with width 7 is cut from 16 + 8 - 3; too wide an advance is narrowed
	Sheet_PutGlyph(sheet, 65, full, 3, 3, 3, 0, 3, 7, 12);
	Sheet_PutGlyph(sheet, 66, full, 2, 1, 2, -2, 8, 6, 12);
	Sheet_PutGlyph(sheet, 68, full, 1, 1, 1, 0, 1, 40, 12);
	int row = 4 * 16 * 256, cut = Sheet_CutLeft(sheet, 66);
	CHECK(Sheet_CutLeft(sheet, 65) == 21 && sheet.coverage[row + 9 * 256 + 21] == 200 &&
	      sheet.coverage[row + 9 * 256 + 20] == 0);
	CHECK(sheet.coverage[row + 4 * 256 + cut] == 200 && sheet.coverage[row + 4 * 256 + cut - 1] == 0);  // pulled right
	CHECK(sheet.widths[68] == 14 && Sheet_TextWidth(sheet, "AB") == 13);
	CHECK(Sheet_Write(sheet, scratch) && Sheet_Read(read, scratch) && read.coverage == sheet.coverage &&
	      read.widths[66] == 6);
	std::string rm = "rm -rf '" + scratch + "'";
	CHECK(system(rm.c_str()) == 0);
}

int main(int argc, char **argv) {
	Test_BuildingBlocks();
	if (argc > 1) {
		Test_AsTheGameLoadsThem(argv[1]);
		Test_Fresh(argv[1]);
	}
	printf("checkart: %d failed\n", failed);
	return failed ? 1 : 0;
}
