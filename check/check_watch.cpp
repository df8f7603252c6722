// Turns the reader's decisions, as they happen, into places in the file and diagnostics.
#include "check/check.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include "entity/readwatch.h"

static ReadWatch watcher;

// Records one finding.
void addDiag(CheckRun *run, long at, severity_t sev, const std::string &text) {
	Diagnostic d;
	d.at = at;
	d.sev = sev;
	d.text = text;
	run->diags.push_back(d);
}

// The token that starts at offset at, as the reader took it.
static std::string tokenAt(const CheckRun *run, long at) {
	if (at < 0 || at >= (long)run->text.size()) {
		return "";
	}
	size_t end = (size_t)at;
	while (end < run->text.size() && !isspace((unsigned char)run->text[end])) {
		end++;
	}
	return run->text.substr((size_t)at, end - (size_t)at);
}

// The place of the template read last under this id, or null when none was read.
const TemplatePlace *findPlace(const CheckRun *run, const std::string &id) {
	for (size_t i = 0; i < run->places.size(); i++) {
		if (run->places[i].id == id) {
			return &run->places[i];
		}
	}
	return nullptr;
}

// The template whose block the reader is inside now, or null between reads.
static TemplatePlace *current(CheckRun *run) {
	if (run->reading.empty()) {
		return nullptr;
	}
	return &run->places[run->reading.back()];
}

// The state section the reader is inside now, or null.
static StatePlace *openState(CheckRun *run) {
	TemplatePlace *t = current(run);
	if (t == nullptr || !t->hasOpenState) {
		return nullptr;
	}
	return &t->states.back();
}

// Edits that turn a into b; the distance behind "did you mean".
static size_t editDistance(const std::string &a, const std::string &b) {
	std::vector<size_t> row(b.size() + 1);
	for (size_t j = 0; j <= b.size(); j++) {
		row[j] = j;
	}
	for (size_t i = 1; i <= a.size(); i++) {
		size_t diag = row[0];
		row[0] = i;
		for (size_t j = 1; j <= b.size(); j++) {
			size_t up = row[j];
			size_t change = diag + (a[i - 1] == b[j - 1] ? 0 : 1);
			row[j] = std::min(std::min(row[j - 1] + 1, up + 1), change);
			diag = up;
		}
	}
	return row[b.size()];
}

// " (did you mean 'X'?)" for the closest name of a table when it is a likely typo, or "".
template <typename Table> static std::string suggestion(const Table &table, const std::string &name) {
	const size_t maxEdits = 3;
	std::string best;
	size_t bestDist = maxEdits + 1;
	for (typename Table::const_iterator it = table.begin(); it != table.end(); ++it) {
		size_t d = editDistance(name, it->first);
		if (d < bestDist) {
			bestDist = d;
			best = it->first;
		}
	}
	return best.empty() ? "" : " (did you mean '" + best + "'?)";
}

// The ids of the templates being read, outermost first, from the one named id on.
static std::string usesChain(const CheckRun *run, const std::string &id) {
	std::string chain;
	for (size_t i = 0; i < run->reading.size(); i++) {
		const std::string &r = run->places[run->reading[i]].id;
		if (!chain.empty() || r == id) {
			chain += (chain.empty() ? "" : " -> ") + r;
		}
	}
	return chain + " -> " + id;
}

// Closes the state section being read: the reader appended it.
static void closeState(CheckRun *run) {
	TemplatePlace *t = current(run);
	if (t != nullptr) {
		t->hasOpenState = 0;
	}
}

// Starts or ends the place of a template block.
static void blockEvent(CheckRun *run, readEvent_t ev, long at, const std::string &tok) {
	if (ev == READ_CANDIDATE) {
		// every load scans from the start; only ids beyond the ones known are new
		if (run->candidates.empty() || at > run->candidates.back().at) {
			run->candidates.push_back(UsesPlace{tok, at});
		}
	} else if (ev == READ_BEGIN) {
		run->places.push_back(TemplatePlace{tok, at, {}, 0});
		run->reading.push_back((int)run->places.size() - 1);
	} else if (!run->reading.empty()) {
		closeState(run);
		if (ev == READ_CUT) {
			addDiag(run, current(run)->at, SEV_ERROR,
			        "template '" + tok +
			            "' stops before its END_ENTITY: the game keeps only what was read up to there");
		}
		run->reading.pop_back();
	}
}

// Follows states and frames, so that each kept one has its place.
static void sectionEvent(CheckRun *run, readEvent_t ev, long at, const std::string &tok) {
	TemplatePlace *t = current(run);
	StatePlace *s = openState(run);
	if (ev == READ_STATE && t != nullptr) {
		t->states.push_back(StatePlace{at, NO_POS, NO_POS, {}});
		t->hasOpenState = 1;
	} else if (ev == READ_STATE_CUT && s != nullptr) {
		addDiag(run, s->at, SEV_ERROR,
		        "state '" + tok + "' has no END_STATE: the game drops it and stops reading the template");
		t->states.pop_back();
		t->hasOpenState = 0;
	} else if (ev == READ_FRAME && s != nullptr) {
		s->frames.push_back(at);
	} else if (ev == READ_FRAME_CUT && s != nullptr && !s->frames.empty()) {
		addDiag(run, s->frames.back(), SEV_ERROR, "frame has no END_FRAME: the game drops it");
		s->frames.pop_back();
	} else if (ev == READ_LOOP && s != nullptr) {
		s->loopAt = at;
	} else if (ev == READ_NEXT_STATE && s != nullptr) {
		s->nextAt = at;
	}
}

// Reports what the reader refused, skipped or had to bend.
static void problemEvent(CheckRun *run, readEvent_t ev, long at, const std::string &tok) {
	TemplatePlace *t = current(run);
	std::string id = t != nullptr ? t->id : "";
	if (ev == READ_SKIPPED) {
		addDiag(run, at, SEV_ERROR, "'" + tok + "' is no template keyword: the game skips it");
	} else if (ev == READ_UNRECOGNIZED) {
		addDiag(run, at, SEV_ERROR, "'" + tok + "' is no keyword of a state or frame: the game skips it");
	} else if (ev == READ_EOF) {
		addDiag(run, at, SEV_ERROR, "a value is missing or is not a number: the game stops reading '" + id + "' here");
	} else if (ev == READ_SATURATED) {
		std::string num = tokenAt(run, at);
		int low = !num.empty() && num[0] == '-';
		addDiag(run, at, SEV_ERROR,
		        "'" + num + "' is beyond the range of a number: the game reads " +
		            std::to_string(low ? INT_MIN : INT_MAX));
	} else if (ev == READ_UNKNOWN_FLAG) {
		addDiag(run, at, SEV_ERROR,
		        "unknown flag '" + tok + "': the game ignores it" + suggestion(ent_flags_table, tok));
	} else if (ev == READ_UNKNOWN_EF) {
		addDiag(run, at, SEV_ERROR,
		        "unknown behaviour '" + tok + "': the game ignores it" + suggestion(ent_fun_table, tok));
	} else if (ev == READ_USES_CYCLE) {
		addDiag(run, at, SEV_ERROR, "USES cycle " + usesChain(run, tok) + ": the game ignores this USES");
	} else if (ev == READ_USES_DEEP) {
		addDiag(run, at, SEV_ERROR, "USES chain too deep: the game does not load '" + tok + "'");
	} else if (ev == READ_IMAGE_FAILED) {
		addDiag(run, at, SEV_ERROR, "cannot load image '" + tok + "': the frame shows nothing");
	} else if (ev == READ_USES) {
		run->uses.push_back(UsesPlace{tok, at});
	}
}

// Receives every decision of the reader while the checker watches.
static void onRead(void *ctx, readEvent_t ev, long at, const std::string &tok) {
	CheckRun *run = (CheckRun *)ctx;
	switch (ev) {
	case READ_CANDIDATE:
	case READ_BEGIN:
	case READ_END:
	case READ_CUT:
		blockEvent(run, ev, at, tok);
		break;
	case READ_STATE:
		closeState(run);
		sectionEvent(run, ev, at, tok);
		break;
	case READ_STATE_CUT:
	case READ_FRAME:
	case READ_FRAME_CUT:
	case READ_LOOP:
	case READ_NEXT_STATE:
		sectionEvent(run, ev, at, tok);
		break;
	default:
		problemEvent(run, ev, at, tok);
		break;
	}
}

// Makes the reader tell run what it decides.
void watchRun(CheckRun *run) {
	watcher.fn = onRead;
	watcher.ctx = run;
	readWatch = &watcher;
}

// Leaves the reader unwatched again.
void unwatchRun() {
	readWatch = nullptr;
}
