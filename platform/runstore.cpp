// What the runs of the desktop and of the browser share: their names and the writing of a file.
#include "platform/runstore.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

// The local time as a run is named by it: YYYY-MM-DD-HHMMSS.
std::string runStamp() {
	time_t now = time(nullptr);
	struct tm local;
	char stamp[32];
	if (localtime_r(&now, &local) == nullptr || strftime(stamp, sizeof(stamp), "%Y-%m-%d-%H%M%S", &local) == 0) {
		return "0000-00-00-000000";
	}
	return stamp;
}

// Writes bytes as the whole of path; with fresh only as a new file, never over another. A file
// left half written is removed. 0 when written, else the error's number, with why.
int writeRunFile(const std::string &path, const std::string &bytes, bool fresh, std::string &why) {
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | (fresh ? O_EXCL : O_TRUNC), 0644);
	if (fd < 0) {
		int failed = errno;
		why = path + ": " + strerror(failed);
		return failed;
	}
	size_t done = 0;
	int failed = 0;
	while (done < bytes.size() && failed == 0) {
		ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
		if (n > 0) {
			done += (size_t)n;
		} else if (n == 0 || errno != EINTR) {
			failed = n == 0 ? EIO : errno;
		}
	}
	if (close(fd) != 0 && failed == 0) {
		failed = errno;
	}
	if (failed != 0) {
		why = path + ": " + strerror(failed);
		unlink(path.c_str());
	}
	return failed;
}
