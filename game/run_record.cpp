// Recording a game: the draws of its level's layout, every poll the rules read, and, once the
// game is over, the data it was played on; the run is then kept where the platform keeps runs.
#include <cstdlib>
#include <cstring>
#include "game/run.h"
#include "platform/message.h"
#include "platform/runstore.h"
#include "platform/timer.h"

// Room kept below MAX_RUN_BYTES for the rest of the file around the steps.
#define RUN_HEADER_ROOM (1L << 20)

// The recording under way.
struct Recording {
	bool on = false;
	Run run;
	Uint8 last[POLL_BYTES] = {};  // the poll recorded last
	long repeat = 0;              // polls of the step begun last
	long firstCycle = 0;          // playedCycles when the recording began
	bool storeReady = false;      // where runs are kept could be had at the start
};
static Recording rec;

// The draws a run played back lays its level out with, and the next one to take.
static const std::vector<int> *playedDraws = nullptr;
static size_t nextDraw = 0;

// A draw of the C library's rand() for the level's layout. A recording keeps it; a run played
// back draws its own again, so that it meets the same level on any C library.
int levelRandom() {
	int r = playedDraws != nullptr && nextDraw < playedDraws->size() ? (*playedDraws)[nextDraw++] : rand();
	if (rec.on && rec.run.draws.size() < MAX_RUN_DRAWS) {
		rec.run.draws.push_back(r);
	}
	return r;
}

// Lays out the levels from now on with draws (the first draw first), or with rand() when null.
void playDraws(const std::vector<int> *draws) {
	playedDraws = draws;
	nextDraw = 0;
}

// Ends the recording at a bound: the run keeps what it has, marked as cut.
static void cutRecording() {
	rec.run.cut = 1;
	rec.run.cycles = playedCycles - rec.firstCycle;
	pollHooks.tap = nullptr;
}

// Keeps one poll: one more of the step begun last when nothing changed, else a new step.
static void recordPoll() {
	Uint8 poll[POLL_BYTES];
	takePoll(poll);
	if (rec.repeat > 0 && memcmp(poll, rec.last, POLL_BYTES) == 0) {
		rec.repeat++;
	} else {
		if (rec.repeat > 0) {
			appendRepeat(rec.run.steps, rec.repeat);
		}
		appendChanges(rec.run.steps, rec.last, poll);
		memcpy(rec.last, poll, POLL_BYTES);
		rec.repeat = 1;
	}
	rec.run.polls++;
	if (rec.run.polls >= MAX_RUN_POLLS || (long)rec.run.steps.size() >= MAX_RUN_BYTES - RUN_HEADER_ROOM) {
		cutRecording();
	}
}

// Records from now on: the level's draws at the next start-up and every poll.
void beginRecording() {
	bool ready = rec.storeReady;
	rec = Recording();
	rec.storeReady = ready;
	rec.on = true;
	rec.firstCycle = playedCycles;
	pollHooks.tap = recordPoll;
}

// Stops recording; the run recorded, with the data files the game has read.
Run endRecording() {
	if (rec.repeat > 0) {
		appendRepeat(rec.run.steps, rec.repeat);
	}
	if (!rec.run.cut) {
		rec.run.cycles = playedCycles - rec.firstCycle;
	}
	rec.run.files = dataFilesRead();
	pollHooks.tap = nullptr;
	rec.on = false;
	rec.repeat = 0;
	return std::move(rec.run);
}

// Records the game about to start; where runs are kept is made ready now, and when it cannot
// be had that is said now, once, and the game plays on.
void recordGame() {
	std::string why = prepareRunStore();
	rec.storeReady = why.empty();
	if (!rec.storeReady) {
		writeMessage(MESSAGE_ERR, "Runs are not saved: " + why + "\n");
	}
	beginRecording();
}

// Keeps the run of the game that has ended and says where it went.
void keepGameRun() {
	Run run = endRecording();
	if (!rec.storeReady) {
		return;
	}
	std::string why;
	std::string where = keepRun(encodeRun(run), why);
	writeMessage(MESSAGE_ERR, where.empty() ? "Run not saved: " + why + "\n" : "Run saved: " + where + "\n");
}
