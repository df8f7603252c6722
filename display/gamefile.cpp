// Checked decoding of the game's pictures.
#include "display/gamefile.h"

#include <SDL_image.h>
#include "platform/datafiles.h"

// 1, with why set, when a picture of w x h would exceed maxPixels or has no sensible size.
int pictureTooLarge(long w, long h, long maxPixels, std::string &why) {
	if (w < 0 || h < 0 || (h != 0 && w > maxPixels / h)) {
		why = "picture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is larger than " +
		      std::to_string(maxPixels) + " pixels";
		return 1;
	}
	return 0;
}

// An unsigned big-endian number of four bytes at p.
static unsigned long bigEndian32(const unsigned char *p) {
	return ((unsigned long)p[0] << 24) | ((unsigned long)p[1] << 16) | ((unsigned long)p[2] << 8) | p[3];
}

// Checks every chunk of a PNG to lie within the file up to IEND: a chunk length past the end
// makes the decoder seek and read for many seconds before it gives up. 1 when they do.
static int pngChunksFit(const std::string &data, std::string &why) {
	const unsigned char *p = (const unsigned char *)data.data();
	size_t at = 8;
	while (at + 8 <= data.size()) {
		unsigned long len = bigEndian32(p + at);
		if (len > data.size() - at - 8 || data.size() - at - 8 - len < 4) {
			why = "PNG chunk at byte " + std::to_string(at) + " claims " + std::to_string(len) +
			      " bytes past the end of the file";
			return 0;
		}
		if (data.compare(at + 4, 4, "IEND") == 0) {
			return 1;
		}
		at += 12 + len;
	}
	return 1;  // cut short between chunks: the decoder refuses that at once
}

// Checks what the header of a PNG, BMP or GIF says of the picture's size; other formats are
// checked once decoded. 1 when nothing speaks against decoding.
static int headerFits(const std::string &data, long maxPixels, std::string &why) {
	const unsigned char *p = (const unsigned char *)data.data();
	size_t n = data.size();
	if (n >= 24 && data.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 && data.compare(12, 4, "IHDR") == 0) {
		if (pictureTooLarge((long)bigEndian32(p + 16), (long)bigEndian32(p + 20), maxPixels, why)) {
			return 0;
		}
		return pngChunksFit(data, why);
	}
	if (n >= 26 && p[0] == 'B' && p[1] == 'M') {
		int core = littleEndian(p + 14, 4) == 12;
		long w = littleEndian(p + 18, core ? 2 : 4);
		long h = littleEndian(p + (core ? 20 : 22), core ? 2 : 4);
		return !pictureTooLarge(w, h < 0 ? -h : h, maxPixels, why);
	}
	if (n >= 10 && data.compare(0, 4, "GIF8") == 0) {
		return !pictureTooLarge(littleEndian(p + 6, 2), littleEndian(p + 8, 2), maxPixels, why);
	}
	return 1;
}

// What follows the last dot of path, as IMG_Load takes it: SDL_image needs it for the
// formats without a signature.
static std::string extensionOf(const std::string &path) {
	size_t dot = path.rfind('.');
	return dot == std::string::npos ? "" : path.substr(dot + 1);
}

// Decodes the picture in path when it is a regular file of bounded size and not larger than
// maxPixels; null when it cannot be had, with why set when the file or the picture is refused.
SDL_Surface *loadPicture(const std::string &path, long maxPixels, std::string &why) {
	std::string data;
	if (!readGameFile(path, MAX_GAME_FILE_BYTES, data, why)) {
		noteMissingDataFile(path);
		return nullptr;
	}
	noteDataFile(path, data);
	if (!headerFits(data, maxPixels, why)) {
		return nullptr;
	}
	SDL_RWops *rw = SDL_RWFromConstMem(data.data(), (int)data.size());
	std::string ext = extensionOf(path);
	SDL_Surface *s = IMG_LoadTyped_RW(rw, 1, path.rfind('.') == std::string::npos ? nullptr : &ext[0]);
	if (s != nullptr && pictureTooLarge(s->w, s->h, maxPixels, why)) {
		SDL_FreeSurface(s);
		return nullptr;
	}
	return s;
}
