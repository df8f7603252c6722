// The files of the level designer's programs: the game's data folder, found from where the
// program lies so that it runs from any folder, the entity file a designer names, and a game
// folder made to play that file in.
#ifndef TOOLS_TOOL_FILES_H
#define TOOLS_TOOL_FILES_H

#include <string>

std::string findDataDir(const char *program, const char *dataFromBin, const char *sourceFromBin);
std::string absolutePath(const std::string &path);
int readEntityFile(const std::string &path, std::string &text);
void removeTree(const std::string &dir);
std::string makeTempDir(const char *program);
std::string makeGameDir(const char *program, const std::string &dataDir, const std::string &text);

#endif
