// The runs: each one a child process that starts the game inside the game folder with the
// game's real start-up and main loop, a pilot at the keyboard array, and writes how it went
// to a pipe as a line of text.
#include "playtest/playtest.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include "game/run.h"
#include "game/vorska.h"
#include "platform/message.h"
#include "platform/runstore.h"
#include "playtest/playtest_pilot.h"

// How many of the game's last messages tell why it did not start.
static const size_t WHY_LINES = 5;

// Cycles a ship still exploding at the top has to come back or to end the game: a file whose
// DEATH state never ends would otherwise keep the run going for ever.
static const long TOP_GRACE_CYCLES = 1000;

// The keys the pilot holds; poll_input copies them in place of SDL's own.
static Uint8 pilotKeys[NUM_KEYS];

// Plays one run in this process with the game's real start-up and main loop.
static RunResult playRun(const PilotKind &kind, unsigned seed, long maxCycles) {
	RunResult result;
	Font *font = startGame();
	keyp = pilotKeys;
	Pilot pilot(kind, seed);
	Progress progress;
	startProgress(progress);
	long cyclesAtTop = 0;
	for (long n = 0; maxCycles == 0 || n < maxCycles; n++) {
		pilot.step(n, pilotKeys);
		cycles = 1;
		int going = loopPass(font);
		if (noteProgress(progress)) {
			result.losses.push_back(climbShare(progress));
		}
		if (!going || player == nullptr) {
			result.over = gameover != 0;
			break;
		}
		// at the top the game goes on until Escape; a ship still exploding there may yet end it
		if (progress.top) {
			result.top = 1;
			break;
		}
		if (env->cy == 0 && ++cyclesAtTop > TOP_GRACE_CYCLES) {
			break;
		}
	}
	return result;
}

// Writes the run just played into folder, named by the pilot and its seed (novice-7.vrun).
static void keepPilotRun(const std::string &folder, const PilotKind &kind, unsigned seed) {
	std::string why;
	std::string path = folder + "/" + kind.name + "-" + std::to_string(seed) + RUN_SUFFIX;
	if (writeRunFile(path, encodeRun(endRecording()), false, why) != 0) {
		fprintf(stderr, "vorska-playtest: %s\n", why.c_str());
	}
}

// Where a child keeps the game's error messages: a pipe or a log; -1 keeps none.
static int errorFd = -1;

// The game's messages in a child: the errors to errorFd, the rest dropped (the video-mode
// report is of no use a hundred times over).
static void keepErrors(MessageStream to, const std::string &text) {
	if (to == MESSAGE_ERR && errorFd >= 0 && write(errorFd, text.data(), text.size()) < 0) {
		errorFd = -1;  // a log that cannot be written is given up, not the run
	}
}

// Forks a child that works inside the game folder and keeps the game's error messages on
// errFd (none when -1). Returns the child's pid in the parent, 0 in the child; exits when the
// system refuses a process.
static pid_t forkIntoGame(const std::string &gameDir, int errFd) {
	fflush(stdout);
	pid_t pid = fork();
	if (pid < 0) {
		perror("vorska-playtest: fork");
		exit(1);
	}
	if (pid > 0) {
		return pid;
	}
	errorFd = errFd;
	setMessageSink(keepErrors);
	if (chdir(gameDir.c_str()) != 0) {
		_exit(1);
	}
	return 0;
}

// Opens a pipe; exits when the system refuses one.
static void openPipe(int fds[2]) {
	if (pipe(fds) != 0) {
		perror("vorska-playtest: pipe");
		exit(1);
	}
}

// Reads what is left in fd, then closes it.
static std::string readAll(int fd) {
	std::string text;
	char buf[4096];
	ssize_t n;
	while ((n = read(fd, buf, sizeof(buf))) > 0) {
		text.append(buf, (size_t)n);
	}
	close(fd);
	return text;
}

// The last count lines of text, each indented.
static std::string lastLines(const std::string &text, size_t count) {
	std::vector<std::string> lines;
	for (size_t at = 0; at < text.size();) {
		size_t end = std::min(text.find('\n', at), text.size());
		lines.push_back(text.substr(at, end - at));
		at = end + 1;
	}
	std::string last;
	for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); i++) {
		last += "  " + lines[i] + "\n";
	}
	return last;
}

// Starts the game once, as every run will; "" when it starts, else why not with its last
// messages, which name what the game missed.
std::string startFailure(const std::string &gameDir) {
	int fds[2];
	openPipe(fds);
	pid_t pid = forkIntoGame(gameDir, fds[1]);
	if (pid == 0) {
		close(fds[0]);
		startUp();
		_exit(player != nullptr ? 0 : 1);
	}
	close(fds[1]);
	std::string messages = readAll(fds[0]);
	int status = 0;
	waitpid(pid, &status, 0);
	if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
		return "";
	}
	std::string why = WIFSIGNALED(status) ? "it crashed with signal " + std::to_string(WTERMSIG(status))
	                                      : "it stops with status " + std::to_string(WEXITSTATUS(status));
	return why + "; its last messages:\n" + lastLines(messages, WHY_LINES);
}

// Starts one run in a child process that writes its result as a line of text to the pipe
// whose read end it gives back. Its messages go to logPath, or nowhere when that is empty.
static pid_t startRun(const PilotKind &kind, unsigned seed, const Options &opt, const std::string &gameDir,
                      const std::string &logPath, int *readEnd) {
	int fds[2];
	openPipe(fds);
	int log = logPath.empty() ? -1 : open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	pid_t pid = forkIntoGame(gameDir, log);
	if (pid > 0) {
		if (log >= 0) {
			close(log);
		}
		close(fds[1]);
		*readEnd = fds[0];
		return pid;
	}
	close(fds[0]);
	if (!opt.runsTo.empty()) {
		beginRecording();
	}
	RunResult r = playRun(kind, seed, opt.cycles);
	if (!opt.runsTo.empty()) {
		keepPilotRun(opt.runsTo, kind, seed);
	}
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
	std::string text = readAll(fd);
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

// Says on standard error how many runs of a pilot are done: one line rewritten on a terminal,
// a line per pilot elsewhere, so that logs stay short.
static void showProgress(const PilotKind &kind, int done, int runs) {
	static const bool terminal = isatty(STDERR_FILENO) != 0;
	if (terminal || done == runs) {
		fprintf(stderr, "%svorska-playtest: %s: %d of %d runs played%s", terminal ? "\r" : "", kind.name, done, runs,
		        done == runs ? "\n" : "");
	}
}

// Plays every run of one pilot, at most opt.jobs at once; seeds are 1 to opt.runs. The first
// run of the first pilot keeps the game's messages in the output folder's game.log. False
// when a run failed; the runs still going are then stopped.
static bool playPilot(const PilotKind &kind, const Options &opt, const std::string &gameDir,
                      std::vector<RunResult> &results) {
	results.assign(opt.runs, RunResult());
	std::vector<pid_t> pids(opt.runs, 0);  // 0 before a run starts and once it is reaped
	std::vector<int> fds(opt.runs, -1);
	int started = 0;
	int finished = 0;
	bool ok = true;
	while (finished < started || (ok && started < opt.runs)) {
		if (ok && started < opt.runs && started - finished < opt.jobs) {
			bool logged = started == 0 && &kind == &PILOTS[0] && !opt.out.empty();
			std::string log = logged ? opt.out + "/game.log" : "";
			pids[started] = startRun(kind, started + 1, opt, gameDir, log, &fds[started]);
			started++;
			continue;
		}
		int status = 0;
		pid_t pid = wait(&status);
		if (pid < 0 && errno != EINTR) {
			perror("vorska-playtest: wait");
			return false;
		}
		for (int i = 0; i < started; i++) {
			if (pids[i] != pid) {
				continue;
			}
			pids[i] = 0;
			finished++;
			// the pipe holds one short line, so the child never blocks on it before exiting
			bool played = readRun(fds[i], &results[i]) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
			if (!played && ok) {
				fprintf(stderr, "vorska-playtest: run %d of %s failed\n", i + 1, kind.name);
				ok = false;
				for (pid_t other : pids) {
					if (other > 0) {
						kill(other, SIGKILL);
					}
				}
			}
		}
		if (ok) {
			showProgress(kind, finished, opt.runs);
		}
	}
	return ok;
}

// Plays the runs of every pilot in turn into all; false when a run failed.
bool playPilots(const Options &opt, const std::string &gameDir, AllRuns &all) {
	all.assign(NUM_PILOTS, std::vector<RunResult>());
	for (int p = 0; p < NUM_PILOTS; p++) {
		if (!playPilot(PILOTS[p], opt, gameDir, all[p])) {
			return false;
		}
	}
	return true;
}
