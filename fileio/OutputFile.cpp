#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <random>
#include <streambuf>

#include "FileChecks.h"
#include "PathInfo.h"

namespace fileio {

namespace {

// Keeps "." + name + suffix within the usual 255-byte limit of a file name.
constexpr std::size_t MAX_BASE_IN_TEMPORARY = 200;

std::string randomSuffix() {
    static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof LETTERS - 2);
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += LETTERS[pick(device)];
    return suffix;
}

}  // namespace

// A stream buffer over a file descriptor that keeps the first error's errno,
// which std::ofstream does not report.
class OutputFile::Buffer : public std::streambuf {
  public:
    explicit Buffer(int fd) : fd_(fd) { setp(data_, data_ + sizeof data_); }
    int error() const { return error_; }
    // Later writes fail instead of reaching a descriptor number reused since.
    void detach() { fd_ = -1; }

  protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

  private:
    bool drain() {
        if (fd_ < 0 && error_ == 0) error_ = EBADF;
        const char* next = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        while (left > 0 && error_ == 0) {
            const ssize_t n = ::write(fd_, next, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                break;
            }
            next += n;
            left -= static_cast<std::size_t>(n);
        }
        setp(data_, data_ + sizeof data_);
        return error_ == 0;
    }

    int fd_;
    int error_ = 0;
    char data_[1 << 16];
};

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {}

OutputFile::~OutputFile() {
    discard();
}

std::string OutputFile::message(int error) const {
    return cannotWrite(path_, outputReason(error));
}

std::string OutputFile::open() {
    assert(!stream_ && "open() once");
    if (isStandardOutput(path_)) {
        // What the program printed before goes first.
        std::cout.flush();
        fd_ = STDOUT_FILENO;
    } else {
        const std::string problem = outputProblem(path_);
        if (!problem.empty()) return cannotWrite(path_, problem);
        target_ = resolvedOutputPath(path_);
        struct stat info {};
        const bool exists = ::stat(target_.c_str(), &info) == 0;
        if (exists && S_ISCHR(info.st_mode)) {
            // Non-blocking open, as a terminal line may wait for a carrier.
            fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd_ < 0) return message(errno);
            ownsFd_ = true;
            struct stat opened {};
            if (::fstat(fd_, &opened) != 0 || !S_ISCHR(opened.st_mode)) {
                discard();
                return cannotWrite(path_, "not a regular file");
            }
            ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        } else {
            const std::string base = std::filesystem::path(target_).filename().string();
            const std::string stem =
                folderOf(target_) + "/." + base.substr(0, MAX_BASE_IN_TEMPORARY) + ".";
            for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
                const std::string name = stem + randomSuffix() + ".tmp";
                // 0666 less the umask, as for any new file.
                fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (fd_ >= 0) {
                    temporary_ = name;
                } else if (errno != EEXIST) {
                    return message(errno);
                }
            }
            if (fd_ < 0) return message(EEXIST);
            ownsFd_ = true;
            // A replaced file keeps its permission bits.
            if (exists) ::fchmod(fd_, info.st_mode & 07777);
        }
    }
    buffer_ = std::make_unique<Buffer>(fd_);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
    return "";
}

std::ostream& OutputFile::stream() {
    assert(stream_ && "open() first");
    return *stream_;
}

std::string OutputFile::finish() {
    assert(stream_ && "open() first");
    if (finished_) return "";
    finished_ = true;
    stream_->flush();
    int error = buffer_->error();
    if (error == 0 && stream_->bad()) error = EIO;
    // Renamed only once its bytes are on disk, so a crash leaves the old file.
    if (error == 0 && !temporary_.empty() && ::fsync(fd_) != 0) error = errno;
    if (ownsFd_) {
        // Some file systems report a full disk only when the file is closed.
        if (::close(fd_) != 0 && error == 0) error = errno;
        ownsFd_ = false;
    }
    fd_ = -1;
    buffer_->detach();
    if (error == 0) return "";
    discard();
    return message(error);
}

std::string OutputFile::commit() {
    if (discarded_) return message(ECANCELED);
    std::string problem = finish();
    if (problem.empty() && !temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) == 0) {
            temporary_.clear();
        } else {
            problem = message(errno);
            discard();
        }
    }
    return problem;
}

void OutputFile::discard() {
    if (!temporary_.empty() || ownsFd_) discarded_ = true;
    if (buffer_) buffer_->detach();
    if (ownsFd_) ::close(fd_);
    ownsFd_ = false;
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

std::string commitAll(const std::vector<OutputFile*>& files) {
    for (OutputFile* file : files) {
        std::string problem = file->finish();
        if (problem.empty()) continue;
        for (OutputFile* other : files) other->discard();
        return problem;
    }
    for (OutputFile* file : files) {
        std::string problem = file->commit();
        if (problem.empty()) continue;
        for (OutputFile* other : files) other->discard();
        return problem;
    }
    return "";
}

std::string writeFile(const std::string& path, std::string_view bytes) {
    OutputFile file(path);
    std::string problem = file.open();
    if (!problem.empty()) return problem;
    file.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.commit();
}

}  // namespace fileio
