// vorska-replay [--headless] [--level FILE] RUN: plays a run back as it was played, in a window
// with its pictures, sounds and output, or headless as fast as it goes, with one line at the end.
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <unistd.h>
#include "entity/gamestate.h"
#include "game/run.h"
#include "game/vorska.h"
#include "platform/message.h"
#include "tools/tool_files.h"

// What the command line asks for.
struct ReplayOptions {
	bool headless = false;
	std::string level;  // entity file in place of the game's; the game's own when empty
	std::string run;
};

// Prints how to call the program and returns the status for a bad call.
static int usage() {
	fprintf(stderr, "usage: vorska-replay [--headless] [--level FILE] RUN\n"
	                "  plays RUN (a .vrun file) back; FILE stands in for the game's " ENTITY_FILE "\n"
	                "  keys while watching: Space pauses, Right doubles the speed (up to 8x), Left halves it,\n"
	                "  Escape stops\n");
	return RUN_REFUSED;
}

// The options, each known by a letter of its own (none has a short form).
static const struct option LONG_OPTIONS[] = {
	{"headless", no_argument, nullptr, 'h'},
	{"level", required_argument, nullptr, 'l'},
	{nullptr, 0, nullptr, 0},
};

// Reads the command line into opt; false when it makes no sense.
static bool parseOptions(int argc, char **argv, ReplayOptions &opt) {
	opterr = 0;  // a bad call is answered with the usage alone
	for (int code; (code = getopt_long(argc, argv, "", LONG_OPTIONS, nullptr)) != -1;) {
		if (code == 'h') {
			opt.headless = true;
		} else if (code == 'l' && optarg[0] != '\0') {
			opt.level = optarg;
		} else {
			return false;
		}
	}
	if (optind + 1 != argc || argv[optind][0] == '\0') {
		return false;
	}
	opt.run = argv[optind];
	return true;
}

// Plays the run inside gameDir; the exit status, and headless the line that tells how it went.
static int playIn(const std::string &gameDir, const Run &run, const ReplayOptions &opt) {
	if (chdir(gameDir.c_str()) != 0) {
		perror(("vorska-replay: " + gameDir).c_str());
		return RUN_REFUSED;
	}
	if (opt.headless) {
		setenv("SDL_VIDEODRIVER", "dummy", 1);
		setenv("SDL_AUDIODRIVER", "dummy", 1);
	}
	Progress p;
	int status = playRun(run, opt.run, opt.headless, &p);
	if (opt.headless && status != RUN_REFUSED) {
		printf("vorska-replay: %ld cycles played, %d lives lost, %.1f%% of the climb made, the top %s\n", p.cycles,
		       p.livesLost, 100.0 * p.climbed, p.top ? "reached" : "not reached");
	}
	fflush(stdout);
	return status;
}

int main(int argc, char **argv) {
	// the dumps of a run come out as they are played, as the game's own do, into a pipe too
	lineBufferStreams();
	ReplayOptions opt;
	if (!parseOptions(argc, argv, opt)) {
		return usage();
	}
	Run run;
	std::string why;
	if (!readRun(opt.run, run, why)) {
		fprintf(stderr, "%s: %s\n", opt.run.c_str(), why.c_str());
		return RUN_REFUSED;
	}
	std::string dataDir = findDataDir("vorska-replay", VORSKA_DATA_FROM_BIN, VORSKA_SOURCE_FROM_BIN);
	std::string text;
	if (dataDir.empty() || (!opt.level.empty() && !readEntityFile(opt.level, text))) {
		return RUN_REFUSED;
	}
	std::string gameDir = opt.level.empty() ? dataDir : makeGameDir("vorska-replay", dataDir, text);
	if (gameDir.empty()) {
		return RUN_REFUSED;
	}
	int status = playIn(gameDir, run, opt);
	if (gameDir != dataDir) {
		removeTree(gameDir);
	}
	return status;
}
