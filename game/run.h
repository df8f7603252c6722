// Runs: a game recorded as what the rules read at every poll, with the data it was played on
// and the draws its level was laid out with, and played back through the real main loop.
#ifndef GAME_RUN_H
#define GAME_RUN_H

#include <string>
#include <vector>
#include "platform/datafiles.h"
#include "platform/keyboard.h"

// A run file begins with RUN_MAGIC, then its version.
#define RUN_MAGIC   "VRUN"
#define RUN_VERSION 1

// Bounds of a run: a file beyond them is refused, and a recording stops growing at them.
#define MAX_RUN_BYTES  (16L << 20)  // the file; a whole climb takes a few kilobytes
#define MAX_RUN_POLLS  (1L << 27)   // polls, a millisecond apart in the pause: 37 hours of it
#define MAX_RUN_CYCLES (1L << 23)   // game cycles: 46 hours of play at 50 a second
#define MAX_RUN_FILES  4096         // data files named
#define MAX_RUN_PATH   4096         // bytes of one data file's path
#define MAX_RUN_DRAWS  65536        // draws of the level's layout; the level takes 540

// What the rules read at one poll, as bytes: the keys, the modifiers (four bytes, the lowest
// first) and the event flags.
#define POLL_MOD    NUM_KEYS
#define POLL_EVENTS (NUM_KEYS + 4)
#define POLL_BYTES  (NUM_KEYS + 4 + NUM_EVENTS)

// A run as it is kept.
struct Run {
	long polls = 0;          // polls of the game, the pause's too
	long cycles = 0;         // game cycles it ran
	int cut = 0;             // 1 when the recording met a bound before the game ended
	DataFiles files;         // the data it was played on
	std::vector<int> draws;  // the level's draws of rand(), in order
	std::string steps;       // the polls, coded as run_file.cpp says
};

// A run's polls being played, in order.
struct RunCursor {
	const Run *run = nullptr;
	size_t at = 0;                // where the next step begins in run->steps
	long left = 0;                // polls not yet played
	long repeat = 0;              // polls of the current step still to come
	long stretch = 0;             // polls of the current step played
	Uint8 poll[POLL_BYTES] = {};  // the poll played last
};

// How far a game has come, looked at after each cycle: the lives lost, the share of the climb
// made, and whether the ship has flown at the top.
struct Progress {
	long cycles = 0;   // cycles looked at
	double start = 0;  // the camera's height above the top at the start
	int down = 0;      // the ship was down at the last look
	int livesLost = 0;
	double climbed = 0;  // the most of the climb made, 0 to 1
	int top = 0;
};

// How a run played back ended (the exit statuses of vorska-replay).
#define RUN_PLAYED      0  // to its end, or until the watcher stopped it
#define RUN_OUT_OF_STEP 1  // the game did not end where its run did
#define RUN_REFUSED     2  // the file is not a run that can be played, or the data differ

// run_file.cpp: the file's format
std::string encodeRun(const Run &run);
bool decodeRun(const std::string &bytes, Run &run, std::string &why);
bool readRun(const std::string &path, Run &run, std::string &why);
void takePoll(Uint8 *poll);
void givePoll(const Uint8 *poll);
void appendChanges(std::string &steps, const Uint8 *from, const Uint8 *to);
void appendRepeat(std::string &steps, long repeat);
void startCursor(RunCursor &c, const Run &run);
bool nextPoll(RunCursor &c);

// run_record.cpp: recording
int levelRandom();
void playDraws(const std::vector<int> *draws);
void beginRecording();
Run endRecording();
void recordGame();
void keepGameRun();

// run_play.cpp: playing back
bool shipDown();
void startProgress(Progress &p);
int noteProgress(Progress &p);
double climbShare(const Progress &p);
int playRun(const Run &run, const std::string &name, bool headless, Progress *progress);
int playRunFile(const std::string &path, bool headless);

#endif
