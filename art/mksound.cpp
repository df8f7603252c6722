// mksound: synthesizes every sound of the game into a folder as WAV files.
// usage: mksound [outdir]
#include "sfx.h"

#include <cstdio>
#include <string>

// Synthesizes sound number i into dir and says so; false when its file could not be written.
static bool soundSave(int i, const std::string &dir) {
	Track track;
	std::string name;
	renderSound(i, track, name);
	std::string path = dir + "/" + name;
	if (!wavWrite(track, path)) {
		fprintf(stderr, "mksound: cannot write %s\n", path.c_str());
		return false;
	}
	printf("mksound: %s %.2f s\n", path.c_str(), (double)track.samples.size() / SFX_RATE_HZ);
	return true;
}

int main(int argc, char **argv) {
	std::string dir = argc > 1 ? argv[1] : "sfx";
	bool ok = true;
	for (int i = 0; i < soundCount(); i++) {
		ok = soundSave(i, dir) && ok;
	}
	return ok ? 0 : 1;
}
