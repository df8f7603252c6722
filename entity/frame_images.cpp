// The pictures of the animation frames: each file is decoded, keyed and converted once, and
// every frame that names it shares the one bitmap, which is released once with the registry.
#include <map>
#include "display/gamefile.h"
#include "entity/entitydata.h"

// All frame pictures together may hold this many pixels (128 MB in 32-bit colour).
#define MAX_FRAME_PIXELS_TOTAL (1L << 25)

// What became of one file: decoded or not, and the bitmap when it was converted.
struct FrameImage {
	int decoded;
	SDL_Surface *bitmap;
	std::string why;  // why the file was refused, when it was
};

static std::map<std::string, FrameImage> frameImages;
static long framePixels;  // pixels held by the bitmaps in frameImages

// Keys magenta out of a decoded picture, converts it to the display format and files the
// result under path; takes decoded. The bitmap, or null when conversion failed (not filed).
SDL_Surface *adoptFrameImage(const std::string &path, SDL_Surface *decoded) {
	// run-length encoded: a blit copies the opaque runs instead of testing every pixel for the key
	SDL_SetColorKey(decoded, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(decoded->format, 255, 0, 255));
	SDL_Surface *bitmap = nullptr;
	// SDL_DisplayFormat crashes when no video mode has been set; that is a failed conversion too
	if (SDL_GetVideoSurface() != nullptr) {
		bitmap = SDL_DisplayFormat(decoded);
	}
	SDL_FreeSurface(decoded);
	if (bitmap != nullptr) {
		FrameImage &slot = frameImages[path];
		if (slot.bitmap != nullptr) {
			framePixels -= (long)slot.bitmap->w * slot.bitmap->h;
			SDL_FreeSurface(slot.bitmap);
		}
		slot = FrameImage{1, bitmap, ""};
		framePixels += (long)bitmap->w * bitmap->h;
	}
	return bitmap;
}

// Decodes the picture of path, within the limits of one picture and of all of them; null when
// it cannot be had, with why set when it was refused.
static SDL_Surface *decodeFrameImage(const std::string &path, std::string &why) {
	SDL_Surface *s = loadPicture(path, MAX_FRAME_PIXELS, why);
	if (s != nullptr && framePixels + (long)s->w * s->h > MAX_FRAME_PIXELS_TOTAL) {
		why = "frame pictures would hold more than " + std::to_string(MAX_FRAME_PIXELS_TOTAL) + " pixels";
		SDL_FreeSurface(s);
		return nullptr;
	}
	return s;
}

// The picture of path for a frame. Returns 0 when the file gave no picture (why tells why when
// it was refused), else 1 with bitmap set, null when the conversion failed.
int frameImage(const std::string &path, SDL_Surface **bitmap, std::string &why) {
	std::map<std::string, FrameImage>::iterator known = frameImages.find(path);
	if (known != frameImages.end()) {
		why = known->second.why;
		*bitmap = known->second.bitmap;
		return known->second.decoded;
	}
	SDL_Surface *decoded = decodeFrameImage(path, why);
	if (decoded == nullptr) {
		frameImages[path] = FrameImage{0, nullptr, why};
		return 0;
	}
	*bitmap = adoptFrameImage(path, decoded);
	return 1;
}

// Releases every frame picture; the frames that held them must be gone or forgotten.
void releaseFrameImages() {
	for (std::map<std::string, FrameImage>::iterator i = frameImages.begin(); i != frameImages.end(); ++i) {
		if (i->second.bitmap != nullptr) {
			SDL_FreeSurface(i->second.bitmap);
		}
	}
	frameImages.clear();
	framePixels = 0;
}
