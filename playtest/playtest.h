// vorska-playtest: bot pilots play a level through the real game, many runs each, and the
// report says how far they get. Every run is a child process that starts the game from
// scratch, so all runs meet the same level and differ only by the pilot's seed.
#ifndef PLAYTEST_PLAYTEST_H
#define PLAYTEST_PLAYTEST_H

#include <cstdio>
#include <string>
#include <vector>

// How one run went: whether it reached the top or the game ended, and the share of the climb
// at each life lost.
struct RunResult {
	int top = 0;
	int over = 0;
	std::vector<double> losses;
};

// The runs of every pilot, in the order of PILOTS.
typedef std::vector<std::vector<RunResult>> AllRuns;

// What the command line asks for.
struct Options {
	int runs = 50;
	int jobs = 1;        // main starts from the number of processors
	long cycles = 0;     // 0 plays until the top or the end of the game
	bool tsv = false;    // a tab-separated line per pilot in place of the report
	std::string out;     // folder for report.txt, the plot's data and game.log; none when empty
	std::string plot;    // PNG of the survival plot; none when empty
	std::string file;    // entity file in place of the game's; the game's own when empty
	std::string runsTo;  // folder for every run, named by pilot and seed; none when empty
};

// playtest_play.cpp
std::string startFailure(const std::string &gameDir);
bool playPilots(const Options &opt, const std::string &gameDir, AllRuns &all);

// playtest_report.cpp
void writeReport(FILE *f, const AllRuns &all);
void writeTsv(FILE *f, const AllRuns &all);
bool writePlotData(const std::string &dir, const AllRuns &all);

#endif
