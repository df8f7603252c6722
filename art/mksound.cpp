// mksound: synthesizes every sound of the game into a folder as WAV files.
// usage: mksound [outdir]
#include "sfx.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
	std::string dir = argc > 1 ? argv[1] : "sfx";
	bool ok = true;
	for (int i = 0; i < soundCount(); i++) {
		Track track;
		std::string name;
		renderSound(i, track, name);
		std::string path = dir + "/" + name;
		if (wavWrite(track, path)) {
			printf("mksound: %s %.2f s\n", path.c_str(), (double)track.samples.size() / SFX_RATE_HZ);
		} else {
			fprintf(stderr, "mksound: cannot write %s\n", path.c_str());
			ok = false;
		}
	}
	return ok ? 0 : 1;
}
