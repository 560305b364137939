#ifndef FILEIO_PATH_INFO_H
#define FILEIO_PATH_INFO_H

// Helpers the checks and the writer share; not part of the library's interface.

#include <string>

namespace fileio {

// A symbolic link resolved to the file it names, so that replacing the file
// writes where the link points and keeps the link; any other path as given.
std::string resolvedOutputPath(const std::string& path);

// The folder a file of that path lies in ("." for a bare name).
std::string folderOf(const std::string& path);

// "Cannot read NAME: REASON" and "Cannot write NAME: REASON"; an empty
// name is shown as "", and an output "-" as standard output.
std::string cannotRead(const std::string& path, const std::string& reason);
std::string cannotWrite(const std::string& path, const std::string& reason);

// The REASON for an output whose creation failed with `error`: a missing
// folder, or a file where a folder should be, is "no such directory".
std::string outputReason(int error);

}  // namespace fileio

#endif
