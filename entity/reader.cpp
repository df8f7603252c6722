// The reader of the entity definition file: finds a template's block by id and fills the template.
#include <climits>
#include <iostream>
#include <string_view>
#include "entity/entitydata.h"
#include "entity/readwatch.h"
#include "platform/message.h"

using namespace std::string_view_literals;

// A template read from the block eid of the file fn; id stays "" when the block is not found.
EntityData::EntityData(const std::string &fn, const std::string &eid) {
	initEnD();
	loadEnD(fn, eid);
}

// Ids of the templates whose blocks are being read, outermost first. A USES of one of them
// would read that template again from its start, and so on without end.
static std::vector<std::string> readingIds;

// How many templates may be in the middle of being read, one inside the other, through USES.
// Each level holds an open file and a stack frame; a longer chain is data gone wrong.
#define MAX_USES_DEPTH 64

ReadWatch *readWatch = nullptr;

// Byte offset of the token the reader took last; kept only while someone watches.
static long watchedAt;

// Where the stream stands, asked of its buffer so that the stream's own state is untouched.
static long streamOffset(std::istream &file) {
	return (long)file.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
}

// Tells the watcher, if there is one, what the reader made of the token it took last.
static void watch(readEvent_t ev, const std::string &tok) {
	if (readWatch != nullptr) {
		readWatch->fn(readWatch->ctx, ev, watchedAt, tok);
	}
}

// Adds one decimal digit to a magnitude, holding it just past the int range.
static long long addDigit(long long v, int digit) {
	if (v > (long long)INT_MAX + 1) {
		return v;
	}
	return v * 10 + digit;
}

// Turns a sign and a magnitude into an int, saturating at the ends of the range.
static int saturate(int negative, long long v) {
	if (v > INT_MAX + (long long)negative) {
		watch(READ_SATURATED, "");
	}
	if (negative) {
		return v > (long long)INT_MAX + 1 ? INT_MIN : (int)-v;
	}
	return v > INT_MAX ? INT_MAX : (int)v;
}

// Reads a number from a token as atoi does (sign, then digits up to the first other character),
// but out-of-range values saturate instead of wrapping. Tokens hold no whitespace to skip.
static int tokenNumber(const std::string &tok) {
	size_t i = 0;
	int negative = 0;
	if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) {
		negative = tok[i] == '-';
		i++;
	}
	long long v = 0;
	while (i < tok.size() && tok[i] >= '0' && tok[i] <= '9') {
		v = addDigit(v, tok[i] - '0');
		i++;
	}
	return saturate(negative, v);
}

// Reads an int straight from the stream like operator>> (the rest of the token stays for the
// next read), but out-of-range values saturate instead of failing. 0 when no number stands there.
static int streamNumber(std::istream &file, int &value) {
	file >> std::ws;
	if (readWatch != nullptr) {
		watchedAt = streamOffset(file);
	}
	int c = file.peek();
	int negative = 0;
	if (c == '+' || c == '-') {
		negative = c == '-';
		file.get();
		c = file.peek();
	}
	if (c < '0' || c > '9') {
		file.setstate(std::ios::failbit);
		return 0;
	}
	long long v = 0;
	while (c >= '0' && c <= '9') {
		v = addDigit(v, c - '0');
		file.get();
		c = file.peek();
	}
	value = saturate(negative, v);
	return 1;
}

// Reads the next token into buf when the stream is still readable; 0 when there is none.
static int readToken(std::istream &file, std::string &buf) {
	if (!file.good()) {
		return 0;
	}
	file >> buf;
	if (file.fail()) {
		return 0;
	}
	if (readWatch != nullptr) {
		watchedAt = streamOffset(file) - (long)buf.size();
	}
	return 1;
}

// Reports a keyword whose value is missing; readEnD gives up on the template.
static int endOfFile() {
	watch(READ_EOF, "");
	writeMessage(MESSAGE_ERR, "EntityData::readEnD: EOF encountered\n");
	return 0;
}

// Tells whether a template is being read further out, so a USES of it must be ignored.
static int beingRead(const std::string &eid) {
	for (size_t i = 0; i < readingIds.size(); i++) {
		if (readingIds[i] == eid) {
			return 1;
		}
	}
	return 0;
}

// Gives a frame the shared picture of its file; the frame keeps no bitmap when there is none.
static void loadFrameImage(Frame *f) {
	std::string why;
	if (!frameImage(f->name, &f->bitmap, why)) {
		writeMessage(MESSAGE_ERR,
		             "EntityData::readFrame: Could not load image file " + f->name + reasonSuffix(why) + "\n");
		watch(READ_IMAGE_FAILED, f->name);
		f->name = "<none>";
		return;
	}
	writeMessage(MESSAGE_ERR, "EntityData::readFrame: Loading frame " + f->name + "\n");
	if (f->bitmap == nullptr) {
		writeMessage(MESSAGE_ERR, "EntityData::readFrame: DISPLAY FORMAT FAILED\n");
		watch(READ_IMAGE_FAILED, f->name);
	}
}

// Reads a definition file's text from an offset on, as a stream positioned there; it tells
// where it stands in the file, for the watcher.
class TextBuf : public std::streambuf {
public:
	TextBuf(const std::string &text, size_t at) {
		char *base = const_cast<char *>(text.data());
		setg(base, base + at, base + text.size());
	}

protected:
	pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
		if (off != 0 || dir != std::ios_base::cur || !(which & std::ios_base::in)) {
			return pos_type(off_type(-1));
		}
		return pos_type(gptr() - eback());
	}
};

// Tells the watcher every candidate id the scan of the file meets before the block that
// starts at `at` (npos: the whole file), that block's own id included.
static void watchCandidates(const DefinitionFile &f, size_t at) {
	for (size_t i = 0; i < f.candidates.size(); i++) {
		std::string id = idAt(f, f.candidates[i]);
		watchedAt = f.candidates[i];
		watch(READ_CANDIDATE, id);
		if (f.candidates[i] + id.size() == at) {
			return;
		}
	}
}

// Loads the template eid from the file fn and registers it; 1 when one was registered.
int addEnD(const std::string &fn, const std::string &eid) {
	EntityData ed(fn, eid);
	// an empty id is never found in a file, so an empty template must not be registered for it
	if (eid.empty() || ed.id != eid) {
		return 0;
	}
	edlist.push_back(ed);
	return 1;
}

// Fills this template from the block eid of the file fn; 1 when the block was read to its end.
int EntityData::loadEnD(const std::string &fn, const std::string &eid) {
	writeMessage(MESSAGE_ERR, "EntityData::loadEnD: Loading EData " + eid + "\n");
	if (getEData(eid, edlist) != nullptr) {
		writeMessage(MESSAGE_ERR, "EntityData::loadEnD: " + eid + " EntityData already exists\n");
		return 0;
	}
	initEnD();
	std::string why;
	std::shared_ptr<const DefinitionFile> text = definitionFile(fn, why);
	if (!text) {
		writeMessage(MESSAGE_ERR, "EntityData::loadEnD: Could not open entity file " + fn + reasonSuffix(why) + "\n");
		return 0;
	}
	size_t at = blockOf(*text, eid);
	if (readWatch != nullptr) {
		watchCandidates(*text, at);
	}
	if (at == std::string::npos) {
		return 0;
	}
	TextBuf block(text->text, at);
	std::istream file(&block);
	id = eid;
	filename = fn;
	watch(READ_BEGIN, eid);
	readingIds.push_back(eid);
	int result = readEnD(file);
	readingIds.pop_back();
	watch(result ? READ_END : READ_CUT, eid);
	return result;
}

// Loads the template d that this one names with USES, unless that would read a template again
// that is already being read (itself, or one further out in a USES chain).
static void loadDependency(EntityData *ed, const std::string &d) {
	if (d == ed->id || beingRead(d)) {
		watch(READ_USES_CYCLE, d);
		return;
	}
	if (readingIds.size() >= MAX_USES_DEPTH) {
		watch(READ_USES_DEEP, d);
		writeMessage(MESSAGE_ERR, "EntityData::readEnD: Dependency chain too deep, not loading EData " + d + "\n");
		return;
	}
	writeMessage(MESSAGE_ERR, "EntityData::readEnD: Loading dependency EData " + d + "\n");
	addEnD(ed->filename, d);
	writeMessage(MESSAGE_ERR, "EntityData::readEnD: Returning to EData " + ed->id + "\n");
}

// The template's numbers that a keyword (or its other spelling) sets, in the order the reader
// tries them.
struct NumberField {
	std::string_view word;
	std::string_view alias;
	int EntityFields::*field;
};
static const NumberField NUMBER_FIELDS[] = {
	{"PRIORITY", "PRIORITY", &EntityFields::priority},
	{"XLEN", "WIDTH", &EntityFields::w},
	{"YLEN", "HEIGHT", &EntityFields::h},
	{"XVEL", "XVEL", &EntityFields::xvel},
	{"YVEL", "YVEL", &EntityFields::yvel},
	{"LIFE", "LIFE", &EntityFields::life},
	{"MAXLIFE", "MAXLIFE", &EntityFields::maxlife},
	{"DAM", "DAMAGE", &EntityFields::damage},
};

// Reads a block's body up to END_ENTITY; 1 when END_ENTITY was read.
// Every keyword test runs on the one buffer in turn, so a value that is itself a keyword
// further down the list acts as that keyword too; data files may rely on it.
int EntityData::readEnD(std::istream &file) {
	std::string buf;
	while (file.good() && buf != "END_ENTITY"sv) {
		if (!readToken(file, buf)) {
			break;
		}
		// a token that no test below takes leaves the stream where it was
		long head = readWatch != nullptr ? streamOffset(file) : 0;
		if (buf == "NAME"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			name = buf;
		}
		if (buf == "GROUP"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			group = buf;
		}
		if (buf == "TYPE"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			type = buf;
		}
		if (buf == "IGNORE"sv || buf == "IGNORES"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			ignore[buf] = 1;
		}
		if (buf == "VAR"sv) {
			int value = 0;
			if (!readToken(file, buf))
				return endOfFile();
			if (!file.good() || !streamNumber(file, value))
				return endOfFile();
			var[buf] = value;
		}
		// in the file's order of keywords: a number read may itself be the next keyword
		for (const NumberField &n : NUMBER_FIELDS) {
			if (buf == n.word || buf == n.alias) {
				if (!readToken(file, buf))
					return endOfFile();
				this->*n.field = tokenNumber(buf);
			}
		}
		if (buf == "FLAG"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			IntTable::iterator flag = ent_flags_table.find(buf);
			if (flag != ent_flags_table.end()) {
				flags |= flag->second;
			} else {
				writeMessage(MESSAGE_ERR, "EntityData::readEnD: Unknown entity flag: " + buf + "\n");
				watch(READ_UNKNOWN_FLAG, buf);
			}
		}
		if (buf == "USES"sv) {
			if (!readToken(file, buf))
				return endOfFile();
			watch(READ_USES, buf);
			loadDependency(this, buf);
		}
		if (buf == "STATE"sv) {
			if (!readState(file)) {
				writeMessage(MESSAGE_ERR, "EntityData::readEnD: Aborted entity data load\n");
				return 0;
			}
		}
		if (readWatch != nullptr && buf != "END_ENTITY"sv && streamOffset(file) == head) {
			watch(READ_SKIPPED, buf);
		}
	}
	return buf == "END_ENTITY"sv;
}

// Reads a state section from its name to END_STATE and appends the state; 1 when END_STATE was read.
int EntityData::readState(std::istream &file) {
	State s;
	std::string buf;
	if (readToken(file, buf)) {
		s.name = buf;
	} else {
		writeMessage(MESSAGE_ERR, "EntityData::readState: EOF encountered\n");
		watch(READ_EOF, "");
	}
	watch(READ_STATE, s.name);
	writeMessage(MESSAGE_ERR, "EntityData::readState: Reading state " + s.name + "\n");
	buf = "";
	while (file.good() && buf != "END_STATE"sv) {
		if (!readToken(file, buf)) {
			break;
		}
		if (buf == "FRAME"sv) {
			Frame *f = readFrame(file);
			if (f != nullptr) {
				s.addFrame(f);
				delete f;
			}
		} else if (buf == "LOOP"sv) {
			if (readToken(file, buf)) {
				watch(READ_LOOP, buf);
				s.loop = tokenNumber(buf);
			}
		} else if (buf == "NEXT_STATE"sv) {
			if (readToken(file, buf)) {
				watch(READ_NEXT_STATE, buf);
				s.loop = -1;
				s.nextState = buf;
			}
		} else if (buf != "END_STATE"sv) {
			writeMessage(MESSAGE_ERR, "EntityData::readState: Unrecognized token: " + buf + "\n");
			watch(READ_UNRECOGNIZED, buf);
		}
	}
	if (buf != "END_STATE"sv) {
		writeMessage(MESSAGE_ERR, "EntityData::readState: END_STATE tag not found for state: " + s.name + "\n");
		watch(READ_STATE_CUT, s.name);
		return 0;
	}
	addState(&s);
	return 1;
}

// Looks a behaviour name up for ENTER or EXIT; the field keeps its value for an unknown name.
static void bindBehaviour(EFHandle *field, const std::string &fname) {
	EFTable::iterator fn = ent_fun_table.find(fname);
	if (fn == ent_fun_table.end()) {
		writeMessage(MESSAGE_ERR, "EntityData::readFrame: Unknown EF: " + fname + "\n");
		watch(READ_UNKNOWN_EF, fname);
		return;
	}
	*field = fn->second;
}

// Reads a frame section from its image token to END_FRAME; a new frame for the caller, or null.
Frame *EntityData::readFrame(std::istream &file) {
	Frame *f = new Frame();
	if (!readToken(file, f->name)) {
		writeMessage(MESSAGE_ERR, "EntityData::readFrame: EOF encountered\n");
		watch(READ_EOF, "");
		delete f;
		return nullptr;
	}
	watch(READ_FRAME, f->name);
	if (f->name == "NONE"sv || f->name == "NULL"sv) {
		f->name = "<none>";
	} else {
		loadFrameImage(f);
	}
	std::string buf;
	while (file.good() && buf != "END_FRAME"sv) {
		if (!readToken(file, buf)) {
			break;
		}
		if (buf == "DELAY"sv) {
			if (readToken(file, buf))
				f->delay = tokenNumber(buf);
		} else if (buf == "XOFF"sv) {
			if (readToken(file, buf))
				f->xoff = tokenNumber(buf);
		} else if (buf == "YOFF"sv) {
			if (readToken(file, buf))
				f->yoff = tokenNumber(buf);
		} else if (buf == "SOFF"sv || buf == "OFF"sv) {
			if (readToken(file, buf)) {
				f->xoff = tokenNumber(buf);
				f->yoff = f->xoff;
			}
		} else if (buf == "ENTER"sv) {
			if (readToken(file, buf))
				bindBehaviour(&f->enter, buf);
		} else if (buf == "EXIT"sv) {
			if (readToken(file, buf))
				bindBehaviour(&f->exit, buf);
		} else if (buf != "END_FRAME"sv) {
			writeMessage(MESSAGE_ERR, "EntityData::readFrame: Unrecognized token: " + buf + "\n");
			watch(READ_UNRECOGNIZED, buf);
		}
	}
	if (buf != "END_FRAME"sv) {
		writeMessage(MESSAGE_ERR, "EntityData::readFrame: END_FRAME tag not found for frame: " + f->name + "\n");
		watch(READ_FRAME_CUT, f->name);
		writeMessage(MESSAGE_ERR, "EntityData::readFrame: Returning (failure)\n");
		delete f;
		return nullptr;
	}
	return f;
}
