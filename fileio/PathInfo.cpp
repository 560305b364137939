#include "PathInfo.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "FileChecks.h"

namespace fileio {

std::string resolvedOutputPath(const std::string& path) {
    // By hand, as weakly_canonical leaves a link to a file not made yet as it is.
    std::filesystem::path resolved = path;
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(resolved, error);
        if (error) break;
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    return resolved.string();
}

std::string folderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::string cannotRead(const std::string& path, const std::string& reason) {
    return "Cannot read " + (path.empty() ? std::string("\"\"") : path) + ": " + reason;
}

std::string cannotWrite(const std::string& path, const std::string& reason) {
    const std::string name = path.empty()             ? std::string("\"\"")
                             : isStandardOutput(path) ? std::string("standard output")
                                                      : path;
    return "Cannot write " + name + ": " + reason;
}

std::string outputReason(int error) {
    return error == ENOENT || error == ENOTDIR ? "no such directory" : reasonFromErrno(error);
}

}  // namespace fileio
