// Prints the diagnostics in the form editors understand, in file order, and the summary.
#include "check/check.h"

#include <algorithm>
#include <cstdio>

static const char *const SEVERITY_NAMES[] = {"error", "warning", "note"};

// Notes where every line starts, for lines and columns of offsets.
void indexLines(CheckRun *run) {
	run->lines.assign(1, 0L);
	for (size_t i = 0; i < run->text.size(); i++) {
		if (run->text[i] == '\n') {
			run->lines.push_back((long)i + 1);
		}
	}
}

// The 1-based line of a byte offset.
int lineOf(const CheckRun *run, long at) {
	return (int)(std::upper_bound(run->lines.begin(), run->lines.end(), at) - run->lines.begin());
}

// The 1-based column, in bytes, of a byte offset.
static int columnOf(const CheckRun *run, long at) {
	return 1 + (int)(at - run->lines[lineOf(run, at) - 1]);
}

// Orders diagnostics by place; those at one place keep the order they were found in.
static bool earlier(const Diagnostic &a, const Diagnostic &b) {
	return a.at < b.at;
}

// Prints every diagnostic and the one-line summary, and counts errors and warnings.
void printReport(CheckRun *run, int *errors, int *warnings) {
	std::stable_sort(run->diags.begin(), run->diags.end(), earlier);
	*errors = 0;
	*warnings = 0;
	for (size_t i = 0; i < run->diags.size(); i++) {
		const Diagnostic &d = run->diags[i];
		long at = std::max(d.at, 0L);
		printf("%s:%d:%d: %s: %s\n", run->path.c_str(), lineOf(run, at), columnOf(run, at), SEVERITY_NAMES[d.sev],
		       d.text.c_str());
		*errors += d.sev == SEV_ERROR;
		*warnings += d.sev == SEV_WARNING;
	}
	size_t states = 0;
	size_t frames = 0;
	for (size_t i = 0; i < edlist.size(); i++) {
		states += edlist[i].states.size();
		for (size_t j = 0; j < edlist[i].states.size(); j++) {
			frames += edlist[i].states[j].frames.size();
		}
	}
	printf("%s: %zu templates, %zu states, %zu frames: %d errors, %d warnings\n", run->path.c_str(), edlist.size(),
	       states, frames, *errors, *warnings);
}
