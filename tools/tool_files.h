// The files of the level designer's programs: the game's data folder, found from where the
// program lies so that it runs from any folder, and the entity file a designer names.
#ifndef TOOLS_TOOL_FILES_H
#define TOOLS_TOOL_FILES_H

#include <string>

std::string findDataDir(const char *program, const char *dataFromBin, const char *sourceFromBin);
std::string absolutePath(const std::string &path);
int readEntityFile(const std::string &path, std::string &text);

#endif
