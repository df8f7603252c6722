// The run file. In order:
//   RUN_MAGIC, then RUN_VERSION in one byte;
//   the polls, the game cycles and the cut mark, each an unsigned number in seven bits a byte,
//   the lowest first, the high bit set on all but the last byte (a "number" below);
//   the number of data files, then for each the length of its path, the path, and its digest
//   in eight bytes, the lowest first (NO_DATA_FILE: it was not there);
//   the number of the level's draws, then each draw;
//   the length of the steps, then the steps;
//   the digest of every byte before it, in eight bytes, so that a damaged or cut file is told
//   before anything in it is believed.
// The steps code the polls in order. A step is the number of bytes of the poll that change
// from the poll before it (all zero before the first), then for each the gap from the index of
// the last one changed (the first from -1) and its new value in one byte, then how many polls
// in a row read the same: one, or many more while a key is held or nothing is touched.
#include "game/run.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include "platform/readfile.h"

// Bytes of a digest.
#define DIGEST_BYTES 8

// Appends v as a number.
static void putNumber(std::string &out, unsigned long long v) {
	while (v >= 0x80) {
		out += (char)(0x80 | (v & 0x7f));
		v >>= 7;
	}
	out += (char)v;
}

// Appends the eight bytes of d, the lowest first.
static void putDigest(std::string &out, uint64_t d) {
	for (int i = 0; i < DIGEST_BYTES; i++) {
		out += (char)(d >> (8 * i));
	}
}

// Reads what a run file holds, from its start to its end, never beyond either.
struct RunReader {
	const std::string &bytes;
	size_t at;
	size_t end;
	std::string why;  // what was wrong where it stopped; "" while all is well

	// Reads a number of at most max into v; false, with why, when it is cut short or too large.
	bool number(unsigned long long max, const char *what, unsigned long long &v) {
		v = 0;
		for (int shift = 0; shift < 64; shift += 7) {
			if (at >= end) {
				return fail("it is cut short");
			}
			unsigned char b = (unsigned char)bytes[at++];
			v |= (unsigned long long)(b & 0x7f) << shift;
			if ((b & 0x80) == 0) {
				if (v > max) {
					return fail(std::string("it claims ") + std::to_string(v) + " " + what + ", more than " +
					            std::to_string(max));
				}
				return true;
			}
		}
		return fail(std::string("its count of ") + what + " runs on");
	}

	// The same into a long.
	bool count(long max, const char *what, long &v) {
		unsigned long long n;
		bool ok = number((unsigned long long)max, what, n);
		v = (long)n;
		return ok;
	}

	// Reads n bytes into s.
	bool text(size_t n, std::string &s) {
		if (end - at < n) {
			return fail("it is cut short");
		}
		s.assign(bytes, at, n);
		at += n;
		return true;
	}

	// Reads a digest.
	bool digest(uint64_t &d) {
		std::string b;
		if (!text(DIGEST_BYTES, b)) {
			return false;
		}
		d = 0;
		for (int i = DIGEST_BYTES - 1; i >= 0; i--) {
			d = (d << 8) | (unsigned char)b[i];
		}
		return true;
	}

	// Notes what went wrong, at the byte where it did.
	bool fail(const std::string &what) {
		why = what + " (at byte " + std::to_string(at) + ")";
		return false;
	}
};

// The bytes of a run.
std::string encodeRun(const Run &run) {
	std::string out = RUN_MAGIC;
	out += (char)RUN_VERSION;
	putNumber(out, (unsigned long long)run.polls);
	putNumber(out, (unsigned long long)run.cycles);
	putNumber(out, (unsigned long long)run.cut);
	putNumber(out, run.files.size());
	for (const DataFiles::value_type &f : run.files) {
		putNumber(out, f.first.size());
		out += f.first;
		putDigest(out, f.second);
	}
	putNumber(out, run.draws.size());
	for (int d : run.draws) {
		putNumber(out, (unsigned long long)d);
	}
	putNumber(out, run.steps.size());
	out += run.steps;
	putDigest(out, dataDigest(out));
	return out;
}

// Checks the steps against the polls they claim: every change inside a poll, every step at
// least one poll, and as many polls as the run says. False, with why, when not.
static bool checkSteps(const std::string &steps, long polls, std::string &why) {
	RunReader r{steps, 0, steps.size(), ""};
	long total = 0;
	while (r.at < r.end) {
		unsigned long long changes;
		if (!r.number(POLL_BYTES, "changes in a poll", changes)) {
			break;
		}
		long index = -1;
		for (unsigned long long i = 0; i < changes && r.why.empty(); i++) {
			unsigned long long gap;
			std::string value;
			if (r.number(POLL_BYTES, "bytes in a poll", gap) && r.text(1, value)) {
				index += (long)gap + 1;
				if (index >= POLL_BYTES) {
					r.fail("a change lies outside its poll");
				}
			}
		}
		unsigned long long repeat;
		if (!r.why.empty() || !r.number((unsigned long long)(polls - total), "polls", repeat)) {
			break;
		}
		if (repeat == 0) {
			r.fail("a step holds no poll");
			break;
		}
		total += (long)repeat;
	}
	if (r.why.empty() && total != polls) {
		r.fail("its steps hold " + std::to_string(total) + " polls of " + std::to_string(polls));
	}
	why = r.why.empty() ? "" : "its polls are damaged: " + r.why;
	return r.why.empty();
}

// Reads a run from its bytes; false, with why, when they are not a run this game plays.
bool decodeRun(const std::string &bytes, Run &run, std::string &why) {
	const size_t magic = sizeof(RUN_MAGIC) - 1;
	if (bytes.size() < magic + 1 || bytes.compare(0, magic, RUN_MAGIC) != 0) {
		why = "not a run (it does not begin with " RUN_MAGIC ")";
		return false;
	}
	int version = (unsigned char)bytes[magic];
	if (version != RUN_VERSION) {
		why = "a run of version " + std::to_string(version) + "; this game plays runs of version " +
		      std::to_string(RUN_VERSION);
		return false;
	}
	size_t body = bytes.size() < magic + 1 + DIGEST_BYTES ? 0 : bytes.size() - DIGEST_BYTES;
	RunReader tail{bytes, body, bytes.size(), ""};
	uint64_t sum = 0;
	if (body == 0 || !tail.digest(sum) || sum != dataDigest(bytes.substr(0, body))) {
		why = "damaged or cut short: its digest does not match";
		return false;
	}
	run = Run();
	RunReader r{bytes, magic + 1, body, ""};
	long cut = 0;
	long files = 0;
	long draws = 0;
	long steps = 0;
	bool ok = r.count(MAX_RUN_POLLS, "polls", run.polls) && r.count(MAX_RUN_CYCLES, "game cycles", run.cycles) &&
	          r.count(1, "for its cut mark", cut) && r.count(MAX_RUN_FILES, "data files", files);
	run.cut = (int)cut;
	if (ok && run.cycles > run.polls) {
		ok = r.fail("it claims more game cycles than polls");
	}
	for (long i = 0; ok && i < files; i++) {
		long n = 0;
		std::string path;
		uint64_t d = 0;
		ok = r.count(MAX_RUN_PATH, "bytes in a path", n) && r.text((size_t)n, path) && r.digest(d);
		run.files[path] = d;
	}
	ok = ok && r.count(MAX_RUN_DRAWS, "draws", draws);
	for (long i = 0; ok && i < draws; i++) {
		long v = 0;
		ok = r.count(INT_MAX, "for a draw", v);
		run.draws.push_back((int)v);
	}
	ok = ok && r.count(MAX_RUN_BYTES, "bytes of polls", steps) && r.text((size_t)steps, run.steps);
	if (ok && r.at != r.end) {
		ok = r.fail("it goes on past its polls");
	}
	if (!ok) {
		why = r.why;
		return false;
	}
	return checkSteps(run.steps, run.polls, why);
}

// Reads the run file at path; false, with why, when it cannot be read or is not a run.
bool readRun(const std::string &path, Run &run, std::string &why) {
	std::string bytes;
	if (!readGameFile(path, MAX_RUN_BYTES, bytes, why)) {
		if (why.empty()) {
			why = strerror(errno);
		}
		return false;
	}
	return decodeRun(bytes, run, why);
}

// What the rules read now, as the bytes of a poll.
void takePoll(Uint8 *poll) {
	memcpy(poll, keys, NUM_KEYS);
	for (int i = 0; i < 4; i++) {
		poll[POLL_MOD + i] = (Uint8)((Uint32)mod >> (8 * i));
	}
	memcpy(poll + POLL_EVENTS, events, NUM_EVENTS);
}

// Sets what the rules read from the bytes of a poll.
void givePoll(const Uint8 *poll) {
	memcpy(keys, poll, NUM_KEYS);
	Uint32 m = 0;
	for (int i = 3; i >= 0; i--) {
		m = (m << 8) | poll[POLL_MOD + i];
	}
	mod = (SDLMod)m;
	memcpy(events, poll + POLL_EVENTS, NUM_EVENTS);
}

// Appends the changes from poll from to poll to, which begin a step.
void appendChanges(std::string &steps, const Uint8 *from, const Uint8 *to) {
	int changes = 0;
	for (int i = 0; i < POLL_BYTES; i++) {
		changes += from[i] != to[i];
	}
	putNumber(steps, (unsigned long long)changes);
	int last = -1;
	for (int i = 0; i < POLL_BYTES; i++) {
		if (from[i] != to[i]) {
			putNumber(steps, (unsigned long long)(i - last - 1));
			steps += (char)to[i];
			last = i;
		}
	}
}

// Appends how many polls the step begun last holds; that ends it.
void appendRepeat(std::string &steps, long repeat) {
	putNumber(steps, (unsigned long long)repeat);
}

// Starts playing the polls of run from its first; the run must have passed decodeRun.
void startCursor(RunCursor &c, const Run &run) {
	c = RunCursor();
	c.run = &run;
	c.left = run.polls;
}

// Moves to the next poll of the run into c.poll; false when the run has no more.
bool nextPoll(RunCursor &c) {
	if (c.left <= 0) {
		return false;
	}
	if (c.repeat == 0) {
		RunReader r{c.run->steps, c.at, c.run->steps.size(), ""};
		unsigned long long changes = 0;
		unsigned long long n = 0;
		r.number(POLL_BYTES, "", changes);
		long index = -1;
		for (unsigned long long i = 0; i < changes && r.why.empty(); i++) {
			std::string value;
			if (r.number(POLL_BYTES, "", n) && r.text(1, value) && index + (long)n + 1 < POLL_BYTES) {
				index += (long)n + 1;
				c.poll[index] = (Uint8)value[0];
			}
		}
		r.number((unsigned long long)c.left, "", n);
		if (!r.why.empty() || n == 0) {
			c.left = 0;  // decodeRun lets no such step through
			return false;
		}
		c.at = r.at;
		c.repeat = (long)n;
		c.stretch = 0;
	}
	c.repeat--;
	c.stretch++;
	c.left--;
	return true;
}
