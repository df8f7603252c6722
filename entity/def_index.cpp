// The definition file as the reader sees it: read once, with the place of every template id
// found, so that loading a template, a USES of one and a spawn of one the file lacks each
// cost one lookup instead of a pass over the whole file. The file is read again when it
// changes on disk, and forgotten with the registry (freeEdListBitmaps).
#include <algorithm>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include "display/gamefile.h"
#include "entity/entitydata.h"
#include "platform/datafiles.h"

// The file last read; a run of the game reads one.
static std::shared_ptr<const DefinitionFile> lastFile;

// Whether c separates tokens, as for operator>> in the classic locale: the space, and tab,
// line feed, vertical tab, form feed and carriage return, which follow each other.
static int isSpace(char c) {
	return c == ' ' || (c >= '\t' && c <= '\r');
}

// Finds the token starting at or after at; its end goes to end. text.size() when there is none.
static size_t nextToken(const std::string &text, size_t at, size_t *end) {
	while (at < text.size() && isSpace(text[at])) {
		at++;
	}
	size_t e = at;
	while (e < text.size() && !isSpace(text[e])) {
		e++;
	}
	*end = e;
	return at;
}

// The length of the token starting at offset at of text.
static size_t tokenLength(const std::string &text, size_t at) {
	size_t end;
	nextToken(text, at, &end);
	return end - at;
}

// Compares the token at offset a of text with the string b, as strings compare.
static int compareToken(const std::string &text, uint32_t a, const std::string &b) {
	return text.compare(a, tokenLength(text, a), b);
}

// Files the offset of every candidate id: the token after each ENTITY token, scanning as the
// reader always has (an ENTITY taken as an id offers nothing itself). Sorted by id, the first
// of each id only, since the reader stops at the first.
static void indexIds(DefinitionFile &f) {
	const std::string &t = f.text;
	std::vector<std::string_view> found;  // the candidates' tokens, measured once for the sort
	size_t end = 0;
	size_t at = nextToken(t, 0, &end);
	while (at < t.size()) {
		int entity = end - at == 6 && t.compare(at, 6, "ENTITY") == 0;
		at = nextToken(t, end, &end);
		if (entity && at < t.size()) {
			f.candidates.push_back((uint32_t)at);
			found.push_back(std::string_view(t.data() + at, end - at));
			at = nextToken(t, end, &end);
		}
	}
	std::stable_sort(found.begin(), found.end());
	found.erase(std::unique(found.begin(), found.end()), found.end());
	f.ids.reserve(found.size());
	for (const std::string_view &id : found) {
		f.ids.push_back((uint32_t)(id.data() - t.data()));
	}
}

// Whether f was read from the file that st describes as it is now.
static int sameFile(const DefinitionFile &f, const std::string &fn, const struct stat &st) {
	return f.path == fn && f.dev == st.st_dev && f.ino == st.st_ino && f.size == st.st_size &&
	       f.mtime == st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec &&
	       f.ctime == st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
}

// The definition file fn, read and indexed, or the copy read before when the file has not
// changed since. Null when it cannot be read; why then says why it was refused, if it was.
std::shared_ptr<const DefinitionFile> definitionFile(const std::string &fn, std::string &why) {
	why = "";
	struct stat st;
	if (stat(fn.c_str(), &st) != 0) {
		return nullptr;
	}
	if (lastFile && sameFile(*lastFile, fn, st)) {
		return lastFile;
	}
	std::shared_ptr<DefinitionFile> f = std::make_shared<DefinitionFile>();
	if (!readGameFile(fn, MAX_GAME_FILE_BYTES, f->text, why)) {
		return nullptr;
	}
	noteDataFile(fn, f->text);
	f->path = fn;
	f->dev = st.st_dev;
	f->ino = st.st_ino;
	f->size = st.st_size;
	f->mtime = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
	f->ctime = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
	indexIds(*f);
	lastFile = f;
	return f;
}

// Where the block of template eid starts in f's text, just after its id; npos when the file
// has no ENTITY eid.
size_t blockOf(const DefinitionFile &f, const std::string &eid) {
	std::vector<uint32_t>::const_iterator i =
		std::lower_bound(f.ids.begin(), f.ids.end(), eid,
	                     [&f](uint32_t a, const std::string &id) { return compareToken(f.text, a, id) < 0; });
	if (i == f.ids.end() || compareToken(f.text, *i, eid) != 0) {
		return std::string::npos;
	}
	return *i + eid.size();
}

// The candidate id at offset at of f's text.
std::string idAt(const DefinitionFile &f, uint32_t at) {
	return f.text.substr(at, tokenLength(f.text, at));
}

// Forgets the file read last, so that the next read takes it from disk whatever it says.
void forgetDefinitionFiles() {
	lastFile.reset();
}
