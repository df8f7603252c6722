// The data folder lies where the launcher finds it, relative to the program's own folder; a
// program run from its build finds the source tree instead. The build tells each program both
// relations, which differ with the folder it is built in, so the program passes them here.
#include "tools/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>
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

// Removes a folder a program made, with everything in it; links go, not what they name.
void removeTree(const std::string &dir) {
	std::error_code ec;
	fs::remove_all(dir, ec);
}

// A new empty folder in the system's temporary folder, named after program; "" with a message
// when none can be made.
std::string makeTempDir(const char *program) {
	std::error_code ec;
	fs::path tmp = fs::temp_directory_path(ec);
	if (ec) {
		fprintf(stderr, "%s: the temporary folder ($TMPDIR): %s\n", program, ec.message().c_str());
		return "";
	}
	// std::filesystem cannot make a folder under a new unique name: mkdtemp picks one that no
	// other process can take at the same moment
	std::string path = (tmp / (std::string(program) + ".XXXXXX")).string();
	std::vector<char> name(path.begin(), path.end());
	name.push_back('\0');
	if (mkdtemp(name.data()) == nullptr) {
		perror((std::string(program) + ": " + path).c_str());
		return "";
	}
	return name.data();
}

// Links every entry of folder from into folder to, but the one named except; ec says why not.
static bool linkEntries(const fs::path &from, const fs::path &to, const fs::path &except, std::error_code &ec) {
	for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
		const fs::path name = it->path().filename();
		if (name != except) {
			fs::create_symlink(it->path(), to / name, ec);  // a link to a folder too, on POSIX
		}
	}
	return !ec;
}

// Writes text as the whole of a new file.
static bool writeFile(const std::string &path, const std::string &text) {
	FILE *f = fopen(path.c_str(), "wb");
	if (f == nullptr) {
		return false;
	}
	bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
	return fclose(f) == 0 && written;
}

// A game folder that holds text as its entity file and links everything else to the data
// folder's, so that the file's image paths name the game's pictures. "" with a message naming
// program when it cannot be made.
std::string makeGameDir(const char *program, const std::string &dataDir, const std::string &text) {
	const fs::path entityFile = ENTITY_FILE;
	const fs::path folder = entityFile.parent_path();
	const fs::path dir = makeTempDir(program);
	if (dir.empty()) {
		return "";
	}
	std::error_code ec;
	bool made = linkEntries(dataDir, dir, folder, ec) && fs::create_directory(dir / folder, ec) &&
	            linkEntries(dataDir / folder, dir / folder, entityFile.filename(), ec) &&
	            writeFile(dir / entityFile, text);
	if (!made) {
		std::string why = ec ? ec.message() : strerror(errno);
		fprintf(stderr, "%s: %s: %s\n", program, dir.c_str(), why.c_str());
		removeTree(dir);
		return "";
	}
	return dir;
}
