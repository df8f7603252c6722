// vorska-check: reads an entity definition file with the game's own reader, reports what the
// game will make of it as editor-style diagnostics, and draws every template on a sheet.
#ifndef CHECK_CHECK_H
#define CHECK_CHECK_H

#include <string>
#include <vector>
#include "entity/entitydata.h"

#define NO_POS (-1L)  // a diagnostic or keyword without a place in the file

enum severity_t { SEV_ERROR, SEV_WARNING, SEV_NOTE };

// One finding, at a byte offset of the file.
struct Diagnostic {
	long at;
	severity_t sev;
	std::string text;
};

// Where a state stood in the file, and its LOOP and NEXT_STATE values.
struct StatePlace {
	long at;
	long loopAt;
	long nextAt;
	std::vector<long> frames;  // image token of each frame kept
};

// Where a template read stood in the file; states kept in the order of the template's.
struct TemplatePlace {
	std::string id;
	long at;
	std::vector<StatePlace> states;
	int hasOpenState;  // the last entry of states is still being read
};

// A USES line: the id it names and where.
struct UsesPlace {
	std::string id;
	long at;
};

// Everything the checker learns from one file.
struct CheckRun {
	std::string path;         // as the designer named it, for the report
	std::string openPath;     // the same, absolute: the checker reads it from inside the data folder
	std::string text;         // the file's bytes, for lines, columns and tokens
	std::vector<long> lines;  // offset where each line starts
	std::vector<Diagnostic> diags;
	std::vector<TemplatePlace> places;  // one per template read, in order of reading
	std::vector<int> reading;           // indices into places, outermost first
	std::vector<UsesPlace> uses;
	std::vector<UsesPlace> candidates;  // ids after ENTITY tokens, in file order
};

// check_watch.cpp
void addDiag(CheckRun *run, long at, severity_t sev, const std::string &text);
void watchRun(CheckRun *run);
void unwatchRun();
const TemplatePlace *findPlace(const CheckRun *run, const std::string &id);

// check_rules.cpp
void loadAll(CheckRun *run);
void checkTemplates(CheckRun *run);

// check_report.cpp
void indexLines(CheckRun *run);
int lineOf(const CheckRun *run, long at);
void printReport(CheckRun *run, int *errors, int *warnings);

// check_sheet.cpp
int writeSheet(const EDList &list, const std::string &out);

#endif
