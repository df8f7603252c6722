// The repeat-counting writer of the messages of the game cycle.
#include "entity/report.h"

#include <unordered_map>
#include "platform/message.h"
#include "platform/timer.h"

// At most one count of the repeats of a message per this many game cycles (a second of play):
// counted in cycles, not in time, so that a run played back says the same at the same cycles.
#define REPEAT_REPORT_CYCLES 50
// Distinct messages kept track of; further ones are counted together.
#define MAX_TRACKED_LINES 65536

// A message written, its repeats since last told, and when they were last told.
struct Repeats {
	long count;
	long toldAt;  // playedCycles
};

typedef std::unordered_map<std::string, Repeats> SeenLines;

static SeenLines seen;
static Repeats untracked = {0, 0};  // messages past MAX_TRACKED_LINES
// The message written or counted last: a full world repeats one message in bulk, which then
// needs no lookup. Elements of the table stay where they are until it is cleared.
static SeenLines::value_type *last = nullptr;

// Counts one more repeat of what r stands for and tells the count when it is due.
static void repeated(Repeats &r, const std::string &what) {
	r.count++;
	long now = playedCycles;
	if (now - r.toldAt < REPEAT_REPORT_CYCLES) {
		return;
	}
	writeMessage(MESSAGE_ERR, what + " ... (repeated " + std::to_string(r.count) + " times)\n");
	r.count = 0;
	r.toldAt = now;
}

// Writes line with a line end to standard error the first time it comes; its repeats are counted.
void reportLine(const std::string &line) {
	if (last != nullptr && last->first == line) {
		repeated(last->second, line);
		return;
	}
	SeenLines::iterator known = seen.find(line);
	if (known != seen.end()) {
		last = &*known;
		repeated(known->second, line);
		return;
	}
	if (seen.size() >= MAX_TRACKED_LINES) {
		repeated(untracked, "(further messages)");
		return;
	}
	last = &*seen.emplace(line, Repeats{0, playedCycles}).first;
	writeMessage(MESSAGE_ERR, line + "\n");
}

// Joins the pieces and writes the line.
void reportLine(std::initializer_list<std::string_view> pieces) {
	static std::string line;
	line.clear();
	for (std::string_view piece : pieces) {
		line.append(piece.data(), piece.size());
	}
	reportLine(line);
}

// Forgets every message written and every count not yet told.
void forgetReports() {
	seen.clear();
	last = nullptr;
	untracked = Repeats{0, 0};
}
