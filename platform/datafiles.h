// The data files the game has read, each by a digest of its bytes: a run names the data it was
// played on by them, and is played back only on the same.
#ifndef PLATFORM_DATAFILES_H
#define PLATFORM_DATAFILES_H

#include <cstdint>
#include <map>
#include <string>

// The digest of a file that was not there, or could not be read.
#define NO_DATA_FILE 0

// The data files read so far, by path as the game named them, with their digests.
typedef std::map<std::string, uint64_t> DataFiles;

uint64_t dataDigest(const std::string &bytes);
void noteDataFile(const std::string &path, const std::string &bytes);
void noteMissingDataFile(const std::string &path);
const DataFiles &dataFilesRead();
std::string dataFileDiffers(const DataFiles &files);

#endif
