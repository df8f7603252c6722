// What the runs say: the report for people, a line per pilot for scripts, and the plot's data.
#include "playtest/playtest.h"

#include "playtest/playtest_pilot.h"

// The heights of the report and the plot are shares of the climb in steps of this many percent.
static const int BIN_PERCENT = 5;
static const int NUM_BINS = 100 / BIN_PERCENT;
// The report counts lives lost in this many stretches of the climb.
static const int NUM_TENTHS = 10;
// The share of the climb the still pilot must not pass with a life left.
static const double STILL_LIMIT = 0.4;

// One pilot's runs summed up.
struct Tally {
	int top = 0;       // runs that reached the top
	int lost = 0;      // lives lost in all runs
	int earlyEnd = 0;  // runs whose last life was gone before STILL_LIMIT
	double sum = 0;    // shares of the climb at each loss, added up
	int tenths[NUM_TENTHS] = {};
};

// The bin of the climb a height falls in.
static int binOf(double h) {
	int b = (int)(h * NUM_BINS);
	return b < 0 ? 0 : (b >= NUM_BINS ? NUM_BINS - 1 : b);
}

// The height at which a run lost its last life, or above the top for a run that did not.
static double endOf(const RunResult &r) {
	return r.over && !r.losses.empty() ? r.losses.back() : 2.0;
}

// Sums up one pilot's runs.
static Tally tally(const std::vector<RunResult> &runs) {
	Tally t;
	for (const RunResult &r : runs) {
		t.top += r.top;
		t.lost += (int)r.losses.size();
		for (double h : r.losses) {
			t.sum += h;
			t.tenths[binOf(h) * NUM_TENTHS / NUM_BINS]++;
		}
		if (endOf(r) < STILL_LIMIT) {
			t.earlyEnd++;
		}
	}
	return t;
}

// One pilot's line of the report.
static void reportPilot(FILE *f, const PilotKind &kind, const std::vector<RunResult> &runs) {
	Tally t = tally(runs);
	int n = (int)runs.size();
	fprintf(f, "%-8s %5d %4d %3d%% %5d %5.2f %5.0f%% %9d%% ", kind.name, n, t.top, 100 * t.top / n, t.lost,
	        (double)t.lost / n, t.lost ? 100 * t.sum / t.lost : 0.0, 100 * t.earlyEnd / n);
	for (int b = 0; b < NUM_TENTHS; b++) {
		fprintf(f, " %3d", t.tenths[b]);
	}
	fprintf(f, "\n");
}

// Writes the report of every pilot.
void writeReport(FILE *f, const AllRuns &all) {
	fprintf(f, "%-8s %5s %4s %4s %5s %5s %6s %10s  lives lost in each tenth of the climb\n", "pilot", "runs", "top", "",
	        "lost", "/run", "mean", "over<40%");
	for (int p = 0; p < NUM_PILOTS; p++) {
		reportPilot(f, PILOTS[p], all[p]);
	}
	fprintf(f, "top: runs that reached the top; lost: lives lost in all runs; mean: their mean height\n"
	           "in %% of the climb; over<40%%: runs whose last life was gone before 40%% of the climb\n");
}

// Writes a tab-separated line per pilot: name, runs, runs that reached the top, lives lost and
// their mean share of the climb ("-" when no life was lost).
void writeTsv(FILE *f, const AllRuns &all) {
	for (int p = 0; p < NUM_PILOTS; p++) {
		Tally t = tally(all[p]);
		std::string mean = t.lost ? std::to_string(t.sum / t.lost) : "-";
		fprintf(f, "%s\t%d\t%d\t%d\t%s\n", PILOTS[p].name, (int)all[p].size(), t.top, t.lost, mean.c_str());
	}
}

// Writes the plot's data into dir: runs still going at each percent of the climb, and lives
// lost per bin. False, with a message, when a file cannot be written.
bool writePlotData(const std::string &dir, const AllRuns &all) {
	FILE *s = fopen((dir + "/survival.dat").c_str(), "w");
	FILE *d = fopen((dir + "/deaths.dat").c_str(), "w");
	if (s == nullptr || d == nullptr) {
		perror(("vorska-playtest: " + dir).c_str());
		if (s != nullptr) {
			fclose(s);
		}
		if (d != nullptr) {
			fclose(d);
		}
		return false;
	}
	for (int pc = 0; pc <= 100; pc++) {
		fprintf(s, "%d", pc);
		for (const std::vector<RunResult> &runs : all) {
			int going = 0;
			for (const RunResult &r : runs) {
				going += endOf(r) > pc / 100.0;
			}
			fprintf(s, " %.1f", 100.0 * going / runs.size());
		}
		fprintf(s, "\n");
	}
	for (int b = 0; b < NUM_BINS; b++) {
		fprintf(d, "%.1f", (b + 0.5) * BIN_PERCENT);
		for (const std::vector<RunResult> &runs : all) {
			int n = 0;
			for (const RunResult &r : runs) {
				for (double h : r.losses) {
					n += binOf(h) == b;
				}
			}
			fprintf(d, " %d", n);
		}
		fprintf(d, "\n");
	}
	bool written = fclose(s) == 0;
	written = fclose(d) == 0 && written;
	if (!written) {
		fprintf(stderr, "vorska-playtest: %s: cannot write the plot's data\n", dir.c_str());
	}
	return written;
}
