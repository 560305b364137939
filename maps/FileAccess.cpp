#include "FileAccess.h"

#include <sys/stat.h>

#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstring>

std::string reasonFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EISDIR:
            return "is a directory";
        default: {
            std::string text = std::strerror(error);
            if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
            return text;
        }
    }
}

bool openInput(const char* path, std::ifstream& file, std::string& reason) {
    struct stat info {};
    if (::stat(path, &info) != 0) {
        reason = reasonFromErrno(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = "is a directory";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    errno = 0;
    file.open(path, std::ios::binary);
    if (!file) {
        reason = reasonFromErrno(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

std::string writeWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;  // flushes, so a full disk shows here
    if (!written) return std::strerror(writeError);
    if (!closed) return std::strerror(errno);
    return "";
}
