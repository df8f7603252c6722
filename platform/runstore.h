// Where a finished game's run is kept: on the desktop a file in the runs folder, after the XDG
// rule ($XDG_STATE_HOME/vorska/runs, else ~/.local/state/vorska/runs), the newest RUNS_KEPT of
// them (platform/runfolder.cpp); in the browser the page, which offers it for download
// (platform/web/runpage.cpp).
#ifndef PLATFORM_RUNSTORE_H
#define PLATFORM_RUNSTORE_H

#include <string>

// What a run file's name ends with.
#define RUN_SUFFIX ".vrun"
// Runs kept in the runs folder; the older ones named as the game names them go.
#define RUNS_KEPT 50

std::string runStamp();
std::string prepareRunStore();
std::string keepRun(const std::string &bytes, std::string &why);
int writeRunFile(const std::string &path, const std::string &bytes, bool fresh, std::string &why);

#endif
