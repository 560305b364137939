#pragma once

#include <fstream>
#include <string>
#include <string_view>

// Opens `path` for reading once it is known to be a regular file: a FIFO or a
// device is refused from its metadata alone, so that loading never blocks or
// reads without end. On failure `reason` says why in the words of the
// "Cannot read NAME: REASON" lines: "no such file", "permission denied",
// "is a directory", "not a regular file", or the system's own words.
bool openInput(const char* path, std::ifstream& file, std::string& reason);

// The words of those lines for a failed call's errno: "no such file" (ENOENT,
// ENOTDIR), "permission denied" (EACCES, EPERM), "is a directory" (EISDIR),
// else strerror's text with its first letter in lower case.
std::string reasonFromErrno(int error);

// Writes `bytes` to `path`, replacing what was there. Empty when it worked,
// else the system's reason (strerror).
std::string writeWholeFile(const std::string& path, std::string_view bytes);
