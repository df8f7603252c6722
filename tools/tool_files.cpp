// The data folder lies where the launcher finds it, relative to the program's own folder; a
// program run from its build finds the source tree instead. The build tells each program both
// relations, which differ with the folder it is built in, so the program passes them here.
#include "tools/tool_files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include "display/gamefile.h"
#include "entity/gamestate.h"
#include "platform/message.h"

// The folder the running program lies in, its links resolved; "" when the system will not say.
static std::string programDir() {
	char exe[PATH_MAX];
	ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
	if (n <= 0) {
		return "";
	}
	std::string path(exe, (size_t)n);
	return path.substr(0, path.rfind('/'));
}

// The game's data folder, the installed one (dataFromBin) before the source tree
// (sourceFromBin), as an absolute path; "" with a message naming program when neither holds
// the game's entity file.
std::string findDataDir(const char *program, const char *dataFromBin, const char *sourceFromBin) {
	std::string bin = programDir();
	const char *const fromBin[] = {dataFromBin, sourceFromBin};
	for (const char *relative : fromBin) {
		std::string dir = bin + "/" + relative;
		char real[PATH_MAX];
		if (!bin.empty() && access((dir + "/" ENTITY_FILE).c_str(), R_OK) == 0 && realpath(dir.c_str(), real)) {
			return real;
		}
	}
	fprintf(stderr, "%s: cannot find the game's data: no %s in %s/%s\n", program, ENTITY_FILE, bin.c_str(),
	        dataFromBin);
	return "";
}

// A path from the command line, made absolute so that it still holds once the program has
// moved into the data folder.
std::string absolutePath(const std::string &path) {
	char cwd[PATH_MAX];
	if (path.empty() || path[0] == '/' || getcwd(cwd, sizeof(cwd)) == nullptr) {
		return path;
	}
	return std::string(cwd) + "/" + path;
}

// Reads a designer's entity file whole, as the game would; 0, with a message, when it cannot.
int readEntityFile(const std::string &path, std::string &text) {
	std::string why;
	if (readGameFile(path, MAX_GAME_FILE_BYTES, text, why)) {
		return 1;
	}
	std::string detail = reasonSuffix(why.empty() ? strerror(errno) : why);
	fprintf(stderr, "%s: error: cannot read the file%s\n", path.c_str(), detail.c_str());
	return 0;
}
