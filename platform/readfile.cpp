// Bounded reading of the game's files.
#include "platform/readfile.h"

#include <cstdint>
#include <cstdio>
#include <sys/stat.h>

// Why path cannot be read as a game file of at most maxBytes; "" when it can, and also when
// it does not exist or cannot be opened, which every caller reports in its own words.
std::string fileProblem(const std::string &path, long maxBytes) {
	struct stat st;
	if (stat(path.c_str(), &st) != 0) {
		return "";
	}
	if (!S_ISREG(st.st_mode)) {
		return "not a regular file";
	}
	if (st.st_size > maxBytes) {
		return "larger than " + std::to_string(maxBytes) + " bytes";
	}
	return "";
}

// Reads the whole of path into content when it is a regular file of at most maxBytes; 0 when
// not, with why set when the file exists but is refused.
int readGameFile(const std::string &path, long maxBytes, std::string &content, std::string &why) {
	why = fileProblem(path, maxBytes);
	if (!why.empty()) {
		return 0;
	}
	FILE *f = fopen(path.c_str(), "rb");
	if (f == nullptr) {
		return 0;
	}
	content.clear();
	char buf[65536];
	size_t got;
	// the file may have grown since it was looked at: the bound holds for what is read
	while ((got = fread(buf, 1, sizeof buf, f)) > 0 && (long)content.size() <= maxBytes) {
		content.append(buf, got);
	}
	fclose(f);
	if ((long)content.size() > maxBytes) {
		why = "larger than " + std::to_string(maxBytes) + " bytes";
		return 0;
	}
	return 1;
}

// A little-endian number of n bytes (2 or 4) at p; four bytes are signed.
long littleEndian(const unsigned char *p, int n) {
	if (n == 2) {
		return p[0] | (p[1] << 8);
	}
	return (long)(int32_t)((uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24));
}
