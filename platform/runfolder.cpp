// The runs folder of the desktop.
#include "platform/runstore.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The folder below the state folder that holds the runs.
#define RUNS_SUBFOLDER "/vorska/runs"
// Names tried for runs finished in the same second: NAME.vrun, then NAME-2.vrun and on.
#define SAME_SECOND_NAMES 100

// The user's state folder: $XDG_STATE_HOME when it is an absolute path, else ~/.local/state;
// "" when there is no home either.
static std::string stateFolder() {
	const char *xdg = getenv("XDG_STATE_HOME");
	if (xdg != nullptr && xdg[0] == '/') {
		return xdg;
	}
	const char *home = getenv("HOME");
	if (home == nullptr || home[0] == '\0') {
		const struct passwd *pw = getpwuid(getuid());
		home = pw != nullptr ? pw->pw_dir : nullptr;
	}
	return home != nullptr && home[0] != '\0' ? std::string(home) + "/.local/state" : "";
}

// Makes folder and the folders above it that are missing, as the XDG rule asks: for the user
// alone. False with why when one cannot be made.
static bool makeFolders(const std::string &folder, std::string &why) {
	for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
		std::string part = folder.substr(0, at);
		if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
			why = part + ": " + strerror(errno);
			return false;
		}
		if (at == std::string::npos) {
			return true;
		}
	}
}

// The runs folder, made when missing and writable; "" with why when it cannot be had.
static std::string runsFolder(std::string &why) {
	std::string state = stateFolder();
	if (state.empty()) {
		why = "no home folder and no XDG_STATE_HOME";
		return "";
	}
	std::string folder = state + RUNS_SUBFOLDER;
	if (!makeFolders(folder, why)) {
		return "";
	}
	if (access(folder.c_str(), W_OK | X_OK) != 0) {
		why = folder + ": " + strerror(errno);
		return "";
	}
	return folder;
}

// Makes the runs folder ready; "" when it is, else why not.
std::string prepareRunStore() {
	std::string why;
	runsFolder(why);
	return why;
}

// Whether text is one or more digits.
static bool allDigits(const std::string &text) {
	return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A run in the folder as the game names it: the time it ended, and its number among the runs
// that ended in that second (1, then 2 for NAME-2 and on).
struct KeptRun {
	std::string name;
	std::string stamp;
	long n;
};

// Reads name as the game names a run, YYYY-MM-DD-HHMMSS, maybe -N, then RUN_SUFFIX; false
// for any other name.
static bool gameRunName(const std::string &name, KeptRun &run) {
	static const std::string shape = "dddd-dd-dd-dddddd";
	static const std::string suffix = RUN_SUFFIX;
	if (name.size() < shape.size() + suffix.size() ||
	    name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
		return false;
	}
	for (size_t i = 0; i < shape.size(); i++) {
		if (shape[i] == 'd' ? !allDigits(name.substr(i, 1)) : name[i] != '-') {
			return false;
		}
	}
	std::string rest = name.substr(shape.size(), name.size() - shape.size() - suffix.size());
	if (!rest.empty() && (rest[0] != '-' || !allDigits(rest.substr(1)) || rest.size() > 4)) {
		return false;
	}
	run = KeptRun{name, name.substr(0, shape.size()), rest.empty() ? 1 : atol(rest.c_str() + 1)};
	return true;
}

// Whether a ended after b, by their names.
static bool newer(const KeptRun &a, const KeptRun &b) {
	return a.stamp != b.stamp ? a.stamp > b.stamp : a.n > b.n;
}

// Removes all but the newest RUNS_KEPT of the runs the game named in folder; a run given
// another name is the player's and stays.
static void pruneRuns(const std::string &folder) {
	DIR *d = opendir(folder.c_str());
	if (d == nullptr) {
		return;
	}
	std::vector<KeptRun> runs;
	KeptRun run;
	for (struct dirent *e; (e = readdir(d)) != nullptr;) {
		struct stat st;
		if (gameRunName(e->d_name, run) && stat((folder + "/" + run.name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
			runs.push_back(run);
		}
	}
	closedir(d);
	std::sort(runs.begin(), runs.end(), newer);
	for (size_t i = RUNS_KEPT; i < runs.size(); i++) {
		unlink((folder + "/" + runs[i].name).c_str());
	}
}

// Writes the run into the runs folder under the time it ends at, and keeps the newest
// RUNS_KEPT; the path, or "" with why.
std::string keepRun(const std::string &bytes, std::string &why) {
	std::string folder = runsFolder(why);
	if (folder.empty()) {
		return "";
	}
	std::string stamp = runStamp();
	for (int n = 1; n <= SAME_SECOND_NAMES; n++) {
		std::string path = folder + "/" + stamp + (n > 1 ? "-" + std::to_string(n) : "") + RUN_SUFFIX;
		int failed = writeRunFile(path, bytes, true, why);
		if (failed == 0) {
			pruneRuns(folder);
			return path;
		}
		if (failed != EEXIST) {
			return "";
		}
	}
	why = folder + ": " + std::to_string(SAME_SECOND_NAMES) + " runs ended in this second";
	return "";
}
