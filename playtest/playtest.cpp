// vorska-playtest [--runs N] [--jobs J] [--tsv] [--plot PNG] [--cycles C] [--out DIR]
// [--runs-to DIR] [FILE]:
// how hard a level is, measured by bot pilots that play it through the real game.
#include "playtest/playtest.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <getopt.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include "tools/tool_files.h"
#include "entity/gamestate.h"

namespace fs = std::filesystem;

// Exit statuses.
#define EXIT_DONE     0  // the report came (and the plot, when asked for and gnuplot is there)
#define EXIT_NO_GAME  1  // the game cannot start from the file, or a run failed
#define EXIT_UNUSABLE 2  // the command line, the file or an output folder is unusable

// Bounds of the command line's numbers: past them the runs would outlast any designer.
#define MAX_RUNS 100000
#define MAX_JOBS 256

// The plot script, at the same place in the data folder as in the source tree.
#define PLOT_SCRIPT "playtest/playtest.gp"

// Prints how to call the playtest and returns the status for a bad call.
static int usage() {
	fprintf(stderr,
	        "usage: vorska-playtest [--runs N] [--jobs J] [--tsv] [--plot PNG] [--cycles C] [--out DIR]\n"
	        "                       [--runs-to DIR] [FILE]\n"
	        "  FILE stands in for the game's " ENTITY_FILE "; image paths are read from the game's data folder\n");
	return EXIT_UNUSABLE;
}

// The whole number text holds when it lies from 1 to max; 0 when not.
static long inRange(const char *text, long max) {
	char *end;
	errno = 0;
	long n = strtol(text, &end, 10);
	return end != text && *end == '\0' && errno == 0 && n >= 1 && n <= max ? n : 0;
}

// The options, each known to readOption by a letter of its own (none has a short form).
static const struct option LONG_OPTIONS[] = {
	{"runs", required_argument, nullptr, 'r'},    {"jobs", required_argument, nullptr, 'j'},
	{"tsv", no_argument, nullptr, 't'},           {"plot", required_argument, nullptr, 'p'},
	{"cycles", required_argument, nullptr, 'c'},  {"out", required_argument, nullptr, 'o'},
	{"runs-to", required_argument, nullptr, 'w'}, {nullptr, 0, nullptr, 0},
};

// Reads the value of one option into opt; false when it makes no sense.
static bool readOption(int code, const char *val, Options &opt) {
	switch (code) {
	case 't':
		opt.tsv = true;
		return true;
	case 'r':
		opt.runs = (int)inRange(val, MAX_RUNS);
		return opt.runs != 0;
	case 'j':
		opt.jobs = (int)inRange(val, MAX_JOBS);
		return opt.jobs != 0;
	case 'c':
		opt.cycles = inRange(val, LONG_MAX);
		return opt.cycles != 0;
	case 'o':
		opt.out = val;
		return !opt.out.empty();
	case 'p':
		opt.plot = val;
		return !opt.plot.empty();
	case 'w':
		opt.runsTo = val;
		return !opt.runsTo.empty();
	}
	return false;  // an unknown option, or one without its value
}

// Reads the command line into opt; false when it makes no sense.
static bool parseOptions(int argc, char **argv, Options &opt) {
	opterr = 0;  // a bad call is answered with the usage alone
	for (int code; (code = getopt_long(argc, argv, "", LONG_OPTIONS, nullptr)) != -1;) {
		if (!readOption(code, optarg, opt)) {
			return false;
		}
	}
	if (optind == argc) {
		return true;
	}
	// one FILE at most; an empty name, or one starting with '-', is a slip (standard input is not read)
	opt.file = argv[optind];
	return optind + 1 == argc && !opt.file.empty() && opt.file[0] != '-';
}

// Runs gnuplot on script with the data folder and the PNG as its arguments; true when it drew
// the plot, and also when gnuplot is not installed, which it says.
static bool runGnuplot(const std::string &script, const std::string &dir, const std::string &png) {
	const char *args[] = {"gnuplot", "-c", script.c_str(), dir.c_str(), png.c_str(), nullptr};
	pid_t pid;
	int failed = posix_spawnp(&pid, "gnuplot", nullptr, nullptr, const_cast<char *const *>(args), environ);
	if (failed == ENOENT) {
		fprintf(stderr, "vorska-playtest: no plot: gnuplot is not installed (the report above is complete)\n");
		return true;
	}
	if (failed != 0) {
		fprintf(stderr, "vorska-playtest: gnuplot: %s\n", strerror(failed));
		return false;
	}
	int status = 0;
	waitpid(pid, &status, 0);
	if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
		return true;
	}
	fprintf(stderr, "vorska-playtest: gnuplot did not draw %s\n", png.c_str());
	return false;
}

// Draws the survival plot into opt.plot, from data written to opt.out or to a folder of its
// own; true when drawn, and also when gnuplot is missing, which it says.
static bool drawPlot(const Options &opt, const std::string &dataDir, const AllRuns &all) {
	std::string dir = opt.out.empty() ? makeTempDir("vorska-playtest") : opt.out;
	if (dir.empty()) {
		return false;
	}
	bool drawn = writePlotData(dir, all) && runGnuplot(dataDir + "/" PLOT_SCRIPT, dir, opt.plot);
	if (opt.out.empty()) {
		removeTree(dir);
	}
	return drawn;
}

// Writes report.txt and the plot's data into opt.out; false, with a message, when it cannot.
static bool writeOut(const Options &opt, const AllRuns &all) {
	FILE *f = fopen((opt.out + "/report.txt").c_str(), "w");
	if (f == nullptr) {
		perror(("vorska-playtest: " + opt.out).c_str());
		return false;
	}
	writeReport(f, all);
	bool written = fclose(f) == 0;
	return writePlotData(opt.out, all) && written;
}

// Plays every pilot in gameDir, then reports, saves and draws as asked; the exit status.
static int playAndReport(const Options &opt, const std::string &dataDir, const std::string &gameDir) {
	std::string why = startFailure(gameDir);
	if (!why.empty()) {
		std::string name = opt.file.empty() ? dataDir + "/" ENTITY_FILE : opt.file;
		fprintf(stderr, "%s: error: the game cannot start from this file: %s", name.c_str(), why.c_str());
		fprintf(stderr, "vorska-playtest: vorska-check %s tells what the game makes of it\n", name.c_str());
		return EXIT_NO_GAME;
	}
	AllRuns all;
	if (!playPilots(opt, gameDir, all)) {
		return EXIT_NO_GAME;
	}
	if (opt.tsv) {
		writeTsv(stdout, all);
	} else {
		writeReport(stdout, all);
	}
	fflush(stdout);
	bool saved = opt.out.empty() || writeOut(opt, all);
	bool drawn = opt.plot.empty() || drawPlot(opt, dataDir, all);
	return saved && drawn ? EXIT_DONE : EXIT_UNUSABLE;
}

// Makes an output folder named on the command line, unless it is there; none when the name is
// empty. False, with a message, when it cannot be had.
static bool makeOutFolder(const std::string &dir) {
	std::error_code ec;
	if (!dir.empty()) {
		fs::create_directory(dir, ec);  // an error when a file holds the name
	}
	if (ec) {
		fprintf(stderr, "vorska-playtest: %s: %s\n", dir.c_str(), ec.message().c_str());
		return false;
	}
	return true;
}

int main(int argc, char **argv) {
	Options opt;
	opt.jobs = (int)std::max(1L, std::min((long)MAX_JOBS, sysconf(_SC_NPROCESSORS_ONLN)));
	if (!parseOptions(argc, argv, opt)) {
		return usage();
	}
	std::string dataDir = findDataDir("vorska-playtest", VORSKA_DATA_FROM_BIN, VORSKA_SOURCE_FROM_BIN);
	if (dataDir.empty()) {
		return EXIT_UNUSABLE;
	}
	if (!makeOutFolder(opt.out) || !makeOutFolder(opt.runsTo)) {
		return EXIT_UNUSABLE;
	}
	// the runs are written from inside the game folder
	if (!opt.runsTo.empty()) {
		opt.runsTo = absolutePath(opt.runsTo);
	}
	std::string text;
	if (!opt.file.empty() && !readEntityFile(opt.file, text)) {
		return EXIT_UNUSABLE;
	}
	std::string gameDir = opt.file.empty() ? dataDir : makeGameDir("vorska-playtest", dataDir, text);
	if (gameDir.empty()) {
		return EXIT_UNUSABLE;
	}
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	setenv("SDL_AUDIODRIVER", "dummy", 1);
	int status = playAndReport(opt, dataDir, gameDir);
	if (gameDir != dataDir) {
		removeTree(gameDir);
	}
	return status;
}
