// The files of the level designer's programs: the game's data folder, found from where the
// program lies so that it runs from any folder, and the entity file a designer names.
#ifndef CHECK_TOOL_FILES_H
#define CHECK_TOOL_FILES_H

#include <string>

std::string findDataDir(const char *program);
std::string absolutePath(const std::string &path);
int readEntityFile(const std::string &path, std::string &text);

#endif
