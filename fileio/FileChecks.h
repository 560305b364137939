#ifndef FILEIO_FILE_CHECKS_H
#define FILEIO_FILE_CHECKS_H

// The files a command line names, checked before anything is read or written,
// so that a program never blocks on a FIFO, never reads a device without end,
// and never overwrites one of its files with another.
//
// Every message is one line without the program's name, in the words of the
// map readers' "Cannot read NAME: REASON" lines:
//   "Cannot read NAME: REASON"   REASON: no such file, permission denied,
//                                is a directory, not a regular file, or the
//                                system's own words (strerror, first letter
//                                in lower case)
//   "Cannot write NAME: REASON"  REASON: no such directory, permission denied,
//                                is a directory, not a regular file, or the
//                                system's own words
// Standard output is named "standard output" in these messages.

#include <string>
#include <vector>

#include "FileAccess.h"

namespace fileio {

// The file name that stands for standard output.
inline constexpr const char* STANDARD_OUTPUT = "-";

bool isStandardOutput(const std::string& path);

// The words for a failed system call's errno, those of the map readers.
using ::reasonFromErrno;

// Empty when `path` is a regular file this process may read, else the
// REASON of "Cannot read NAME: REASON". Decided from the file's metadata
// alone: nothing is opened.
std::string inputProblem(const std::string& path);

// Empty when an output can go to `path`, else the REASON of "Cannot write
// NAME: REASON". Decided from metadata and permissions alone: nothing is
// created or opened. Accepted are standard output ("-"), character devices
// such as /dev/null (written in place: they never block, and they are how
// output is thrown away), and regular files or new names whose folder lets
// this process create a file and rename it (see OutputFile). Refused are
// directories, FIFOs, sockets and block devices ("not a regular file"),
// names in a folder that does not exist ("no such directory"), and files or
// folders without write permission.
std::string outputProblem(const std::string& path);

// Whether two names are one file: the same file on disk (hard links and
// symbolic links included) or, for names not created yet, the same path once
// "." and "..", symbolic links and the working directory are resolved.
bool sameFile(const std::string& a, const std::string& b);

enum class Access { READ, WRITE };

// A file named on the command line: the option as the user would type it
// ("--csv", or "OUTPUT" for a positional argument), and the name given.
struct FileOption {
    std::string option;
    std::string path;
    Access access;
};

// The first problem among `files`, as a one-line message, or empty. Checked
// in this order, so that the message names the real mistake:
//   1. an empty name:             "--csv: empty file name"
//   2. standard output twice:     "--csv and --json both write to standard output"
//   3. one file named twice:      "--csv and --json both name out.txt",
//                                 "--merge names a.csv twice",
//                                 "--csv out.txt and --json ./out.txt are the same file",
//                                 "--merge a.csv and ./a.csv are the same file"
//   4. each file in turn:         "Cannot read NAME: REASON" (inputProblem),
//                                 "Cannot write NAME: REASON" (outputProblem)
// "-" is standard output only for outputs; an input named "-" is a file.
std::string checkFiles(const std::vector<FileOption>& files);

// Reads the whole regular file `path` into `text`. Empty on success, else
// "Cannot read NAME: REASON". A FIFO or device put in the file's place after
// a check is still refused without blocking.
std::string readWholeFile(const std::string& path, std::string& text);

}  // namespace fileio

#endif
