// The data folder lies where the launcher finds it, relative to the program's own folder; a
// program run from its build finds the source tree instead. The build tells each program both
// relations, which differ with the folder it is built in, so the program passes them here.
#include "tools/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include "display/gamefile.h"
#include "entity/gamestate.h"
#include "platform/message.h"

namespace fs = std::filesystem;

// The folder the running program lies in, its links resolved; "" when the system will not say.
static fs::path programDir() {
	std::error_code ec;
	fs::path exe = fs::read_symlink("/proc/self/exe", ec);
	return ec ? fs::path() : exe.parent_path();
}

// The game's data folder, the installed one (dataFromBin) before the source tree
// (sourceFromBin), as an absolute path; "" with a message naming program when neither holds
// the game's entity file.
std::string findDataDir(const char *program, const char *dataFromBin, const char *sourceFromBin) {
	const fs::path bin = programDir();
	const char *const fromBin[] = {dataFromBin, sourceFromBin};
	for (const char *relative : fromBin) {
		std::error_code ec;
		fs::path dir = fs::canonical(bin / relative, ec);
		if (!bin.empty() && !ec && access((dir / ENTITY_FILE).c_str(), R_OK) == 0) {
			return dir;
		}
	}
	fprintf(stderr, "%s: cannot find the game's data: no %s in %s/%s\n", program, ENTITY_FILE, bin.c_str(),
	        dataFromBin);
	return "";
}

// A path from the command line, made absolute so that it still holds once the program has
// moved into the data folder; as it stands when the current folder is unknown.
std::string absolutePath(const std::string &path) {
	std::error_code ec;
	fs::path absolute = fs::absolute(path, ec);
	return ec ? path : absolute.string();
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
