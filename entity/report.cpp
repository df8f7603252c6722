// The repeat-counting writer of the messages of the game cycle.
#include "entity/report.h"

#include <chrono>
#include <unordered_map>
#include "platform/message.h"

// At most one count of the repeats of a message per this many milliseconds.
#define REPEAT_REPORT_MS 1000
// Distinct messages kept track of; further ones are counted together.
#define MAX_TRACKED_LINES 65536

typedef std::chrono::steady_clock Clock;

// A message written, its repeats since last told, and when they were last told.
struct Repeats {
	long count;
	Clock::time_point told;
};

static std::unordered_map<std::string, Repeats> seen;
static Repeats untracked = {0, Clock::time_point()};  // messages past MAX_TRACKED_LINES

// Counts one more repeat of what r stands for and tells the count when it is due.
static void repeated(Repeats &r, const std::string &what) {
	r.count++;
	Clock::time_point now = Clock::now();
	if (now - r.told < std::chrono::milliseconds(REPEAT_REPORT_MS)) {
		return;
	}
	writeMessage(MESSAGE_ERR, what + " ... (repeated " + std::to_string(r.count) + " times)\n");
	r.count = 0;
	r.told = now;
}

// Writes line with a line end to standard error the first time it comes; its repeats are counted.
void reportLine(const std::string &line) {
	std::unordered_map<std::string, Repeats>::iterator known = seen.find(line);
	if (known != seen.end()) {
		repeated(known->second, line);
		return;
	}
	if (seen.size() >= MAX_TRACKED_LINES) {
		repeated(untracked, "(further messages)");
		return;
	}
	seen.emplace(line, Repeats{0, Clock::now()});
	writeMessage(MESSAGE_ERR, line + "\n");
}

// Forgets every message written and every count not yet told.
void forgetReports() {
	seen.clear();
	untracked = Repeats{0, Clock::time_point()};
}
