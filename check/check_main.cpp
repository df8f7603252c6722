// vorska-check [--sheet OUT.png] [--werror] [FILE]: what the game will make of an entity file.
#include "check/check.h"

#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <unistd.h>
#include "tools/tool_files.h"
#include "entity/ef_def.h"
#include "entity/gamestate.h"
#include "platform/message.h"

// Exit statuses.
#define EXIT_CLEAN    0  // no errors
#define EXIT_ERRORS   1  // errors (or warnings, with --werror)
#define EXIT_UNUSABLE 2  // the file (or the sheet) could not be read (or written) at all

// What the command line asks for.
struct Options {
	std::string file;  // the game's own entity file when empty
	std::string sheet;
	int werror;
};

// Prints how to call the checker and returns the status for a bad call.
static int usage() {
	fprintf(stderr,
	        "usage: vorska-check [--sheet OUT.png] [--werror] [FILE]\n"
	        "  FILE defaults to the game's " ENTITY_FILE "; image paths are read from the game's data folder\n");
	return EXIT_UNUSABLE;
}

// The options, each known to parseArgs by a letter of its own (none has a short form).
static const struct option LONG_OPTIONS[] = {
	{"sheet", required_argument, nullptr, 's'},
	{"werror", no_argument, nullptr, 'w'},
	{nullptr, 0, nullptr, 0},
};

// Reads the command line into opt; 0 when it makes no sense.
static int parseArgs(int argc, char **argv, Options *opt) {
	opt->werror = 0;
	opterr = 0;  // a bad call is answered with the usage alone
	for (int code; (code = getopt_long(argc, argv, "", LONG_OPTIONS, nullptr)) != -1;) {
		if (code == 's') {
			opt->sheet = optarg;
		} else if (code == 'w') {
			opt->werror = 1;
		} else {
			return 0;  // an unknown option, or one without its value
		}
	}
	if (optind == argc) {
		return 1;
	}
	// one FILE at most; one starting with '-' is a slip (standard input is not read)
	opt->file = argv[optind];
	return optind + 1 == argc && argv[optind][0] != '-';
}

// Starts SDL's video without a window, so that frames are converted as the game converts them.
static int startVideo() {
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	if (SDL_Init(SDL_INIT_VIDEO) != 0) {
		return 0;
	}
	return SDL_SetVideoMode(16, 16, 32, SDL_SWSURFACE) != nullptr;
}

// Reads every template with the game's reader, whose own messages are kept off the report: the
// watcher tells the checker everything.
static void readTemplates(CheckRun *run) {
	MessageSink saved = setMessageSink(discardMessage);
	watchRun(run);
	loadAll(run);
	unwatchRun();
	setMessageSink(saved);
}

// Checks the file, prints the report and draws the sheet when asked; the status says how it went.
int main(int argc, char **argv) {
	Options opt;
	if (!parseArgs(argc, argv, &opt)) {
		return usage();
	}
	std::string dataDir = findDataDir("vorska-check", VORSKA_DATA_FROM_BIN, VORSKA_SOURCE_FROM_BIN);
	if (dataDir.empty()) {
		return EXIT_UNUSABLE;
	}
	CheckRun run;
	run.path = opt.file.empty() ? dataDir + "/" ENTITY_FILE : opt.file;
	run.openPath = absolutePath(run.path);
	if (!readEntityFile(run.path, run.text)) {
		return EXIT_UNUSABLE;
	}
	indexLines(&run);
	// image paths in the file are relative to the data folder, as they are for the game
	std::string sheet = opt.sheet.empty() ? "" : absolutePath(opt.sheet);
	if (chdir(dataDir.c_str()) != 0) {
		perror(("vorska-check: " + dataDir).c_str());
		return EXIT_UNUSABLE;
	}
	if (!startVideo()) {
		fprintf(stderr, "vorska-check: cannot start SDL: %s\n", SDL_GetError());
		return EXIT_UNUSABLE;
	}
	buildEFlags();
	buildEFuncs();
	readTemplates(&run);
	checkTemplates(&run);
	int errors = 0;
	int warnings = 0;
	printReport(&run, &errors, &warnings);
	int status = errors > 0 || (opt.werror && warnings > 0) ? EXIT_ERRORS : EXIT_CLEAN;
	if (!sheet.empty() && !writeSheet(edlist, sheet)) {
		status = EXIT_UNUSABLE;
	}
	freeEdListBitmaps(edlist);
	SDL_Quit();
	return status;
}
