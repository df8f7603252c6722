// checkart: the committed art and sounds must be exactly what the generators make today, as the game
// will load it; and the building blocks that no committed file pins down hold their rules.
// usage: checkart repository-root
#include "img.h"
#include "noise.h"
#include "fontsheet.h"
#include "fontft.h"
#include "sprites.h"
#include "bg.h"
#include "sfx.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

static int failed = 0;

// reports a failed check with its line
#define CHECK(cond) ((cond) ? (void)0 : (failed++, (void)printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond)))

// every sprite file, the font and the background equal a fresh run of their generators
static void testFresh(const std::string &root) {
	for (int i = 0; i < artCount(); i++) {
		Image fresh, committed;
		std::string name;
		artRender(i, fresh, name);
		bool same = pngRead(committed, root + "/gfx/" + name) && committed.w == fresh.w && committed.px == fresh.px;
		if (!same) {
			printf("  gfx/%s differs from the generator\n", name.c_str());
		}
		CHECK(same);
	}
	// the desktop icons: as drawn, and square and opaque as desktops show them
	for (int i = 0; i < ICON_COUNT; i++) {
		Image fresh, committed;
		std::string name;
		iconRender(i, fresh, name);
		CHECK(pngRead(committed, root + "/icons/" + name) && committed.w == ICON_SIZES[i] &&
		      committed.h == ICON_SIZES[i] && committed.px == fresh.px);
		int keyed = 0;
		for (int p = 0; p < committed.w * committed.h; p++) {
			keyed += imgIsKey(committed, p % committed.w, p / committed.w);
		}
		CHECK(keyed == 0);
	}
	GlyphSheet fresh, committed;
	CHECK(fontBuildSheet(FONT_DEFAULT_PATH, FONT_DEFAULT_PIXELS, fresh) && sheetRead(committed, root + "/font_sm"));
	CHECK(fresh.coverage == committed.coverage &&
	      std::string((char *)fresh.widths, SHEET_GLYPHS) == std::string((char *)committed.widths, SHEET_GLYPHS));
	static Land land;
	landPaintAll(land);
	Image bg;
	CHECK(pngRead(bg, root + "/gfx/ulose.png") && bg.w == BG_W && bg.h == BG_H && bg.px == land.img.px);
}

// every sound file equals a fresh run of its recipe, and all of them together stay within what
// the browser build may download for them
static void testFreshSounds(const std::string &root) {
	const size_t maxSoundBytes = 1536 * 1024;
	size_t total = 0;
	for (int i = 0; i < soundCount(); i++) {
		Track fresh;
		std::string name;
		renderSound(i, fresh, name);
		std::ifstream in(root + "/sfx/" + name, std::ios::binary);
		std::string committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
		if (committed != wavBytes(fresh)) {
			printf("  sfx/%s differs from the generator\n", name.c_str());
		}
		CHECK(committed == wavBytes(fresh));
		total += committed.size();
	}
	CHECK(total <= maxSoundBytes);
}

// what the game relies on: sprite sizes with keyed corners, overlay text that fits
static void testAsTheGameLoadsThem(const std::string &root) {
	struct {
		const char *name;
		int w, h;
	} files[] = {{"player1", 32, 40}, {"tank1", 32, 32},   {"heli1", 64, 64},   {"shot", 4, 14},
	             {"bullet1", 8, 8},   {"boom_s1", 32, 32}, {"boom_l8", 64, 64}, {"wreck", 32, 32}};
	for (auto &f : files) {
		Image img;
		bool ok = pngRead(img, root + "/gfx/" + f.name + ".png") && img.w == f.w && img.h == f.h &&
		          imgIsKey(img, 0, 0) && imgIsKey(img, f.w - 1, f.h - 1) && !imgIsKey(img, f.w / 2, f.h / 2);
		if (!ok) {
			printf("  gfx/%s.png: %dx%d\n", f.name, img.w, img.h);
		}
		CHECK(ok);
	}
	GlyphSheet s;
	CHECK(sheetRead(s, root + "/font_sm") && s.widths[0] == EMPTY_GLYPH_WIDTH && s.widths['W'] > s.widths['i']);
	for (const char *line : {"FPS: 777 (777c)", "DBG_BIT: YES [YES]", "Fullscreen: No", "D.Buffer: Yes"}) {
		CHECK(sheetTextWidth(s, line) <= 136);  // the debug overlay is 140 pixels wide
	}
}

// PNG files keep their pixels; the generator's numbers are pinned; glyphs land inside the cut
static void testBuildingBlocks(void) {
	Image img, back;
	imgInit(img, 3, 2, colMake(0, 0, 0));
	imgSet(img, 0, 0, KEY_COLOR);
	imgSet(img, 2, 1, colMake(300, -5, 127.6f));
	char dir[] = "/tmp/checkart.XXXXXX";
	std::string scratch = mkdtemp(dir) ? dir : "/tmp";
	CHECK(pngWrite(img, scratch + "/t.png") && pngRead(back, scratch + "/t.png") && back.w == 3 && back.px == img.px);
	Color c = imgGet(back, 2, 1);
	CHECK(imgIsKey(back, 0, 0) && !imgIsKey(back, 1, 0) && c.r == 255 && c.g == 0 && c.b == 128);
	CHECK(!pngRead(back, "/nonexistent/x.png") && !pngWrite(img, "/nonexistent/x.png"));
	Rng rng;
	rngSeed(rng, 1);
	CHECK(rngNext(rng) == 1245324245u);
	bool inRange = true;
	for (int i = 0; i < 1000; i++) {
		int v = rngInt(rng, 3, 7);
		inRange = inRange && v >= 3 && v < 7;
	}
	CHECK(inRange && rngInt(rng, 9, 9) == 9);
	GlyphSheet sheet, read;
	sheetInit(sheet, 256);
	unsigned char full[5 * 20];
	for (unsigned char &p : full) {
		p = 200;
	}
	// 'A' (column 1, row 4) with width 7 is cut from 16 + 8 - 3; too wide an advance is narrowed
	sheetPutGlyph(sheet, 65, full, 3, 3, 3, 0, 3, 7, 12);
	sheetPutGlyph(sheet, 66, full, 2, 1, 2, -2, 8, 6, 12);
	sheetPutGlyph(sheet, 68, full, 1, 1, 1, 0, 1, 40, 12);
	int row = 4 * 16 * 256, cut = sheetCutLeft(sheet, 66);
	CHECK(sheetCutLeft(sheet, 65) == 21 && sheet.coverage[row + 9 * 256 + 21] == 200 &&
	      sheet.coverage[row + 9 * 256 + 20] == 0);
	CHECK(sheet.coverage[row + 4 * 256 + cut] == 200 && sheet.coverage[row + 4 * 256 + cut - 1] == 0);  // pulled right
	CHECK(sheet.widths[68] == 14 && sheetTextWidth(sheet, "AB") == 13);
	CHECK(sheetWrite(sheet, scratch) && sheetRead(read, scratch) && read.coverage == sheet.coverage &&
	      read.widths[66] == 6);
	std::string rm = "rm -rf '" + scratch + "'";
	CHECK(system(rm.c_str()) == 0);
}

int main(int argc, char **argv) {
	testBuildingBlocks();
	if (argc > 1) {
		testAsTheGameLoadsThem(argv[1]);
		testFresh(argv[1]);
		testFreshSounds(argv[1]);
	}
	printf("checkart: %d failed\n", failed);
	return failed ? 1 : 0;
}
