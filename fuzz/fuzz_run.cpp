// libFuzzer target: any bytes as a run file. The reader refuses them with a reason or reads
// them; what it reads, the playback's cursor walks to the end without finding a step the
// reader should have refused, and the writer writes it back to bytes the reader takes again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "game/run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
	Run run;
	std::string why;
	if (!decodeRun(std::string((const char *)data, size), run, why)) {
		if (why.empty()) {
			abort();
		}
		return 0;
	}
	RunCursor c;
	startCursor(c, run);
	// a step at a time: a run may hold a hundred million polls in a few bytes
	while (nextPoll(c)) {
		c.left -= c.repeat;
		c.repeat = 0;
	}
	Run again;
	if (c.left != 0 || !decodeRun(encodeRun(run), again, why) || again.polls != run.polls || again.steps != run.steps) {
		abort();
	}
	return 0;
}
