// playtest: plays the real game headless with the bot pilots, many runs each, and reports how
// far they get. Every run is a child process that starts the game from scratch, so all runs
// see the same level (the game's own random placement) and differ only by the pilot's seed.
// usage: playtest [--runs N] [--jobs J] [--cycles C] [--out DIR]   (from the repository root)
#include "playtest_pilot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "game/vorska.h"

// The heights of the report and the plot are shares of the climb in steps of this many percent.
static const int BIN_PERCENT = 5;
static const int NUM_BINS = 100 / BIN_PERCENT;
// The share of the climb the still pilot must not pass with a life left.
static const double STILL_LIMIT = 0.4;

// How one run went: whether it reached the top or the game ended, and the share of the climb
// at each life lost.
struct RunResult {
	int top = 0;
	int over = 0;
	std::vector<double> losses;
};

// What the command line asks for.
struct Options {
	int runs = 50;
	int jobs = 2;
	long cycles = 0;  // 0 plays until the top or the end of the game
	std::string out = "build-playtest";
};

// The keys the pilot holds; poll_input copies them in place of SDL's own.
static Uint8 pilotKeys[NUM_KEYS];

// Plays one run in this process with the game's real start-up and main loop.
static RunResult playRun(const PilotKind &kind, unsigned seed, long maxCycles) {
	RunResult result;
	Font *font = startUp();
	keyp = pilotKeys;
	Pilot pilot(kind, seed);
	const double climb = env->cy;
	for (long n = 0; maxCycles == 0 || n < maxCycles; n++) {
		pilot.step(n, pilotKeys);
		bool dying = player->getState() == "DEATH";
		cycles = 1;
		int going = loopPass(font);
		if (!dying && player->getState() == "DEATH") {
			result.losses.push_back(1.0 - env->cy / climb);
		}
		if (!going) {
			result.over = gameover != 0;
			break;
		}
		// at the top the game goes on until Escape; a ship still exploding there may yet end it
		if (env->cy == 0 && player->getState() != "DEATH") {
			result.top = 1;
			break;
		}
	}
	return result;
}

// Starts one run in a child process that writes its result as a line of text to the pipe.
// Its messages go to logPath, or nowhere when that is empty.
static pid_t startRun(const PilotKind &kind, unsigned seed, long maxCycles, const std::string &logPath, int *readEnd) {
	int fds[2];
	if (pipe(fds) != 0) {
		perror("playtest: pipe");
		exit(1);
	}
	fflush(stdout);
	pid_t pid = fork();
	if (pid < 0) {
		perror("playtest: fork");
		exit(1);
	}
	if (pid > 0) {
		close(fds[1]);
		*readEnd = fds[0];
		return pid;
	}
	close(fds[0]);
	// the game's start-up report and the reader's progress are of no use a hundred times over
	int devNull = open("/dev/null", O_WRONLY);
	int log = logPath.empty() ? devNull : open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	dup2(devNull, 1);
	dup2(log < 0 ? devNull : log, 2);
	RunResult r = playRun(kind, seed, maxCycles);
	std::string line = std::to_string(r.top) + " " + std::to_string(r.over);
	for (double h : r.losses) {
		line += " " + std::to_string(h);
	}
	line += "\n";
	ssize_t written = write(fds[1], line.data(), line.size());
	_exit(written == (ssize_t)line.size() ? 0 : 1);
}

// Reads a finished child's line back into a result.
static bool readRun(int fd, RunResult *r) {
	std::string text;
	char buf[4096];
	ssize_t n;
	while ((n = read(fd, buf, sizeof(buf))) > 0) {
		text.append(buf, n);
	}
	close(fd);
	const char *p = text.c_str();
	char *end;
	r->top = (int)strtol(p, &end, 10);
	if (end == p) {
		return false;
	}
	p = end;
	r->over = (int)strtol(p, &end, 10);
	if (end == p) {
		return false;
	}
	for (p = end;; p = end) {
		double h = strtod(p, &end);
		if (end == p) {
			break;
		}
		r->losses.push_back(h);
	}
	return true;
}

// Plays every run of one pilot, at most `jobs` at once; seeds are 1 to runs.
// The first run of the first pilot keeps the game's messages in game.log, for the data's errors.
static std::vector<RunResult> playPilot(const PilotKind &kind, const Options &opt) {
	std::vector<RunResult> results(opt.runs);
	std::vector<pid_t> pids(opt.runs, 0);
	std::vector<int> fds(opt.runs, -1);
	int started = 0;
	int finished = 0;
	while (finished < opt.runs) {
		if (started < opt.runs && started - finished < opt.jobs) {
			bool logged = started == 0 && &kind == &PILOTS[0];
			std::string log = logged ? opt.out + "/game.log" : "";
			pids[started] = startRun(kind, started + 1, opt.cycles, log, &fds[started]);
			started++;
			continue;
		}
		int status = 0;
		pid_t pid = wait(&status);
		for (int i = 0; i < started; i++) {
			if (pids[i] != pid) {
				continue;
			}
			// the pipe holds one short line, so the child never blocks on it before exiting
			if (!readRun(fds[i], &results[i]) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
				fprintf(stderr, "playtest: run %d of %s failed\n", i + 1, kind.name);
				exit(1);
			}
			finished++;
		}
	}
	return results;
}

// The bin of the climb a height falls in.
static int binOf(double h) {
	int b = (int)(h * NUM_BINS);
	return b < 0 ? 0 : (b >= NUM_BINS ? NUM_BINS - 1 : b);
}

// The height at which a run lost its last life, or above the top for a run that did not.
static double endOf(const RunResult &r) {
	return r.over && !r.losses.empty() ? r.losses.back() : 2.0;
}

// One pilot's line of the report.
static void reportPilot(FILE *f, const PilotKind &kind, const std::vector<RunResult> &runs) {
	int top = 0, lost = 0, earlyEnd = 0;
	double sum = 0;
	int bins[10] = {0};
	for (const RunResult &r : runs) {
		top += r.top;
		lost += (int)r.losses.size();
		for (double h : r.losses) {
			sum += h;
			bins[binOf(h) * 10 / NUM_BINS]++;
		}
		if (endOf(r) < STILL_LIMIT) {
			earlyEnd++;
		}
	}
	fprintf(f, "%-8s %5d %4d %3d%% %5d %5.2f %5.0f%% %9d%% ", kind.name, (int)runs.size(), top,
	        100 * top / (int)runs.size(), lost, (double)lost / runs.size(), lost ? 100 * sum / lost : 0.0,
	        100 * earlyEnd / (int)runs.size());
	for (int b = 0; b < 10; b++) {
		fprintf(f, " %3d", bins[b]);
	}
	fprintf(f, "\n");
}

// Writes the report of every pilot.
static void report(FILE *f, const std::vector<std::vector<RunResult>> &all) {
	fprintf(f, "%-8s %5s %4s %4s %5s %5s %6s %10s  lives lost in each tenth of the climb\n", "pilot", "runs", "top", "",
	        "lost", "/run", "mean", "over<40%");
	for (int p = 0; p < NUM_PILOTS; p++) {
		reportPilot(f, PILOTS[p], all[p]);
	}
	fprintf(f, "top: runs that reached the top; lost: lives lost in all runs; mean: their mean height\n"
	           "in %% of the climb; over<40%%: runs whose last life was gone before 40%% of the climb\n");
}

// Writes the plot's data: runs still going at each percent of the climb, and lives lost per bin.
static bool writeData(const std::string &dir, const std::vector<std::vector<RunResult>> &all) {
	FILE *s = fopen((dir + "/survival.dat").c_str(), "w");
	FILE *d = fopen((dir + "/deaths.dat").c_str(), "w");
	if (s == nullptr || d == nullptr) {
		perror(("playtest: " + dir).c_str());
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
	fclose(s);
	fclose(d);
	return true;
}

// Reads the command line; exits with the usage on anything it does not know.
static Options parseOptions(int argc, char **argv) {
	Options opt;
	for (int i = 1; i < argc; i += 2) {
		const char *val = i + 1 < argc ? argv[i + 1] : nullptr;
		if (val != nullptr && strcmp(argv[i], "--runs") == 0 && atoi(val) > 0) {
			opt.runs = atoi(val);
		} else if (val != nullptr && strcmp(argv[i], "--jobs") == 0 && atoi(val) > 0) {
			opt.jobs = atoi(val);
		} else if (val != nullptr && strcmp(argv[i], "--cycles") == 0 && atol(val) > 0) {
			opt.cycles = atol(val);
		} else if (val != nullptr && strcmp(argv[i], "--out") == 0) {
			opt.out = val;
		} else {
			fprintf(stderr, "usage: playtest [--runs N] [--jobs J] [--cycles C] [--out DIR]\n");
			exit(2);
		}
	}
	return opt;
}

int main(int argc, char **argv) {
	Options opt = parseOptions(argc, argv);
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	setenv("SDL_AUDIODRIVER", "dummy", 1);
	std::vector<std::vector<RunResult>> all;
	all.reserve(NUM_PILOTS);
	for (int p = 0; p < NUM_PILOTS; p++) {
		all.push_back(playPilot(PILOTS[p], opt));
	}
	report(stdout, all);
	FILE *f = fopen((opt.out + "/report.txt").c_str(), "w");
	if (f == nullptr) {
		perror(("playtest: " + opt.out).c_str());
		return 1;
	}
	report(f, all);
	fclose(f);
	return writeData(opt.out, all) ? 0 : 1;
}
