#ifndef FILEIO_OUTPUT_FILE_H
#define FILEIO_OUTPUT_FILE_H

// Writing an output so that a failure never loses or half-writes a file: a
// regular file is written under a temporary name in its own folder and
// renamed over the target only by commit(), so the target keeps its old
// contents (or stays absent) until then, and a failed or abandoned output
// leaves nothing behind. "-" writes to standard output and a character
// device such as /dev/null is written in place (neither can be renamed
// over). Messages are those of FileChecks.h: "Cannot write NAME: REASON".
//
// Use: check every file with checkFiles() before any work, then
//   fileio::OutputFile out(path);
//   if (auto e = out.open(); !e.empty()) fail(e);
//   out.stream() << ...;
//   if (auto e = out.commit(); !e.empty()) fail(e);
// Several outputs that belong together go through commitAll(), so that a
// failure in one leaves none of them replaced.

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace fileio {

class OutputFile {
  public:
    // Touches nothing yet.
    explicit OutputFile(std::string path);
    // An output not committed is discarded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file (or opens the device, or takes standard
    // output after flushing std::cout). Empty on success, else the message;
    // the path is checked again, as it may have changed since checkFiles().
    std::string open();

    // Where to write once open() succeeded. A failed write is remembered and
    // reported by finish() or commit().
    std::ostream& stream();

    // Writes out what is buffered and closes the file (standard output is
    // flushed, not closed); the target is not touched yet. Empty on success,
    // else the message (the system's reason, such as "no space left on
    // device"), and then nothing is left of the temporary file.
    std::string finish();

    // finish(), if not done yet, then makes the output final: renames the
    // temporary file over the target, with the old file's permission bits or
    // those of a new file. Empty on success, else the message, and then
    // nothing is left of the temporary file.
    std::string commit();

    // Removes the temporary file without touching the target; a later
    // commit() then fails. A no-op after commit().
    void discard();

    const std::string& path() const { return path_; }

  private:
    class Buffer;
    std::string message(int error) const;

    std::string path_;
    std::string target_;     // path_ with symbolic links resolved
    std::string temporary_;  // empty unless a temporary file exists
    int fd_ = -1;
    bool ownsFd_ = false;
    bool finished_ = false;
    bool discarded_ = false;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
};

// Commits outputs that belong together: all are finished first, and only
// when every one succeeded are they renamed into place. Empty on success,
// else the first message; then no target has been touched, unless renaming
// itself failed part way, and no temporary file is left.
std::string commitAll(const std::vector<OutputFile*>& files);

// Writes `bytes` to `path` through an OutputFile: the file ends up holding
// either all of `bytes` or what it held before. Empty, or the message.
std::string writeFile(const std::string& path, std::string_view bytes);

}  // namespace fileio

#endif
