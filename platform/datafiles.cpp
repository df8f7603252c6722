// The digests of the data files the game reads.
#include "platform/datafiles.h"

#include "platform/message.h"
#include "platform/readfile.h"

static DataFiles filesRead;

// FNV-1a in 64 bits: quick over the four megabytes of the background, and no two versions of
// a data file will meet on one value by chance. Never NO_DATA_FILE.
uint64_t dataDigest(const std::string &bytes) {
	uint64_t h = 14695981039346656037ULL;
	for (unsigned char c : bytes) {
		h = (h ^ c) * 1099511628211ULL;
	}
	return h == NO_DATA_FILE ? 1 : h;
}

// Notes the bytes the game read from path; the first reading of a path stands for the game.
void noteDataFile(const std::string &path, const std::string &bytes) {
	filesRead.emplace(path, dataDigest(bytes));
}

// Notes that the game looked for path and found nothing it could read.
void noteMissingDataFile(const std::string &path) {
	filesRead.emplace(path, NO_DATA_FILE);
}

// Every data file read so far.
const DataFiles &dataFilesRead() {
	return filesRead;
}

// The first of files that does not hold here and now what it held then, with what differs
// ("gfx/tank.png differs"); "" when they all hold the same.
std::string dataFileDiffers(const DataFiles &files) {
	for (const DataFiles::value_type &f : files) {
		std::string bytes;
		std::string why;
		bool here = readGameFile(f.first, MAX_GAME_FILE_BYTES, bytes, why) != 0;
		if (f.second == NO_DATA_FILE && here) {
			return f.first + " is there now, and was not";
		}
		if (f.second != NO_DATA_FILE && !here) {
			return f.first + " is missing" + reasonSuffix(why);
		}
		if (here && dataDigest(bytes) != f.second) {
			return f.first + " differs";
		}
	}
	return "";
}
