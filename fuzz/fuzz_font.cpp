// libFuzzer target: any bytes as a font folder. The input is split into the three files:
//   byte 0     which files exist (1 font.ini, 2 font.raw, 4 font.dat), 8 proportional widths,
//              and in the high four bits the alpha scale in eighths (0 means 1.0);
//   byte 1     the length of font.ini;  bytes 2..4  the length of font.raw (little-endian);
//   then font.ini, font.raw, and whatever is left as font.dat.
// make_font_seed.sh packs the game's own font_sm this way. The files live in memory (/dev/shm);
// sheets larger than MAX_SHEET_SIDE are skipped, as tinting them takes most of a second and
// follows the same path as a small one.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "fuzz/fuzz_support.h"
#include "display/font.h"
#include "display/screen.h"

static std::string fontDir;  // the folder the input is unpacked into
static Screen *video;        // the dummy video surface, to draw the text on
static Viewport *view;

// Removes the font files and their folder at exit.
static void removeFontDir() {
	unlink((fontDir + "/font.ini").c_str());
	unlink((fontDir + "/font.raw").c_str());
	unlink((fontDir + "/font.dat").c_str());
	rmdir(fontDir.c_str());
}

// Starts the dummy video once (the sheet is converted to its format) and makes the folder.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	video = fuzzScreen();
	view = new Viewport(video, 175, 0, 450, 600);
	char tmpl[] = "/dev/shm/vorska_fuzz_font_XXXXXX";
	if (mkdtemp(tmpl) == nullptr) {
		abort();
	}
	fontDir = tmpl;
	atexit(removeFontDir);
	return 0;
}

// Writes one font file, or removes it when it should be missing.
static void putFile(const char *name, bool present, const uint8_t *data, size_t size) {
	std::string path = fontDir + "/" + name;
	unlink(path.c_str());
	if (!present) {
		return;
	}
	FILE *f = fopen(path.c_str(), "wb");
	if (f == nullptr) {
		abort();
	}
	if (size > 0 && fwrite(data, 1, size, f) != size) {
		abort();
	}
	fclose(f);
}

// Largest sheet side tried; the loader accepts up to 4096.
#define MAX_SHEET_SIDE 256

// 1 when font.ini states a sheet the loader would accept but that is too large to try.
static int sheetTooLarge(const uint8_t *ini, size_t len) {
	std::string text((const char *)ini, len);
	long n = strtol(text.c_str(), nullptr, 10);
	return n > MAX_SHEET_SIDE && n <= 4096;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	if (size < 5 || size > 70000) {
		return 0;
	}
	int flags = data[0];
	size_t iniLen = data[1];
	size_t rawLen = data[2] | (data[3] << 8) | (data[4] << 16);
	const uint8_t *p = data + 5;
	size_t left = size - 5;
	if (iniLen > left) {
		iniLen = left;
	}
	if ((flags & 1) && sheetTooLarge(p, iniLen)) {
		return 0;
	}
	putFile("font.ini", flags & 1, p, iniLen);
	p += iniLen;
	left -= iniLen;
	if (rawLen > left) {
		rawLen = left;
	}
	putFile("font.raw", flags & 2, p, rawLen);
	p += rawLen;
	left -= rawLen;
	putFile("font.dat", flags & 4, p, left);

	float a = (flags >> 4) == 0 ? 1.0f : (flags >> 4) / 8.0f;
	Font font;
	font.loadFont(fontDir.c_str(), 0.0f, 0.0f, 1.0f, a, flags & 8);

	// Every glyph, measured and drawn, plain and boxed, as the pause and the overlay do.
	char all[256];
	for (int c = 1; c < 256; c++) {
		all[c - 1] = (char)c;
	}
	all[255] = '\0';
	font.strWidth("%s", all);
	font.printv(view, 0, 0, "%s", all);
	font.printsr(video->bitmap, -5, 590, "%s", all);
	font.prints(video, 700, 10, "%s", "FPS: 77 (77c)");
	font.messagev(view, 0xffffff, 0x0000ff, -1, -1, "%s", "Paused");
	return 0;
}
