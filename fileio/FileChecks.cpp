#include "FileChecks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "PathInfo.h"

namespace fileio {

namespace {

// The message for the second of two names of one file, or empty.
std::string duplicateProblem(const FileOption& first, const FileOption& second) {
    if (first.path == second.path) {
        if (first.option == second.option) return first.option + " names " + first.path + " twice";
        return first.option + " and " + second.option + " both name " + first.path;
    }
    if (first.option == second.option) {
        return first.option + " " + first.path + " and " + second.path + " are the same file";
    }
    return first.option + " " + first.path + " and " + second.option + " " + second.path +
           " are the same file";
}

bool writesStandardOutput(const FileOption& f) {
    return f.access == Access::WRITE && isStandardOutput(f.path);
}

}  // namespace

bool isStandardOutput(const std::string& path) {
    return path == STANDARD_OUTPUT;
}

std::string inputProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return reasonFromErrno(errno);
    if (S_ISDIR(info.st_mode)) return "is a directory";
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    if (::access(path.c_str(), R_OK) != 0) return reasonFromErrno(errno);
    return "";
}

std::string outputProblem(const std::string& path) {
    if (isStandardOutput(path)) return "";
    if (path.empty()) return "empty file name";
    const std::string target = resolvedOutputPath(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "is a directory";
        if (S_ISCHR(info.st_mode)) {
            return ::access(target.c_str(), W_OK) == 0 ? "" : reasonFromErrno(errno);
        }
        if (!S_ISREG(info.st_mode)) return "not a regular file";
        if (::access(target.c_str(), W_OK) != 0) return reasonFromErrno(errno);
    } else if (errno != ENOENT) {
        return outputReason(errno);
    }
    // The temporary file is created in the target's folder, then renamed.
    const std::string folder = folderOf(target);
    if (::stat(folder.c_str(), &info) != 0) return outputReason(errno);
    if (!S_ISDIR(info.st_mode)) return "no such directory";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return reasonFromErrno(errno);
    return "";
}

bool sameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error) return true;
    std::error_code errorA, errorB;
    const fs::path canonicalA =
        fs::weakly_canonical(fs::absolute(resolvedOutputPath(a), errorA), errorA);
    const fs::path canonicalB =
        fs::weakly_canonical(fs::absolute(resolvedOutputPath(b), errorB), errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

std::string checkFiles(const std::vector<FileOption>& files) {
    for (const FileOption& f : files) {
        if (f.path.empty()) return f.option + ": empty file name";
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            if (writesStandardOutput(files[i]) && writesStandardOutput(files[j])) {
                return files[i].option + " and " + files[j].option +
                       " both write to standard output";
            }
        }
    }
    for (std::size_t j = 0; j < files.size(); ++j) {
        if (writesStandardOutput(files[j])) continue;
        for (std::size_t i = 0; i < j; ++i) {
            if (writesStandardOutput(files[i])) continue;
            if (files[i].path == files[j].path || sameFile(files[i].path, files[j].path))
                return duplicateProblem(files[i], files[j]);
        }
    }
    for (const FileOption& f : files) {
        if (f.access == Access::READ) {
            const std::string reason = inputProblem(f.path);
            if (!reason.empty()) return cannotRead(f.path, reason);
        } else {
            const std::string reason = outputProblem(f.path);
            if (!reason.empty()) return cannotWrite(f.path, reason);
        }
    }
    return "";
}

std::string readWholeFile(const std::string& path, std::string& text) {
    const std::string reason = inputProblem(path);
    if (!reason.empty()) return cannotRead(path, reason);
    // Non-blocking, so that a FIFO put here since the check cannot block.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return cannotRead(path, reasonFromErrno(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return cannotRead(path, "not a regular file");
    }
    std::string contents;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return cannotRead(path, reasonFromErrno(error));
        }
        contents.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    text = std::move(contents);
    return "";
}

}  // namespace fileio
