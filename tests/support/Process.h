#ifndef TESTS_SUPPORT_PROCESS_H
#define TESTS_SUPPORT_PROCESS_H

// Runs programs as real child processes for the tests: captured output, exit
// status, a time limit, and no child left behind (a child is also killed when
// the test process itself dies).

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct ProcessOptions {
    // "NAME=value" entries added to (or replacing in) the test's environment.
    std::vector<std::string> env_set;
    // Variable names removed from the environment.
    std::vector<std::string> env_unset;
    // Directory the child starts in; empty = the test's own.
    std::string working_dir;
    // The child is killed when it runs longer than this.
    int timeout_ms = 60000;
    // Address-space limit of the child in bytes; 0 = none.
    std::uint64_t address_space_limit = 0;
};

struct ProcessResult {
    std::string out;
    std::string err;
    // Exit status when the child exited normally, else -1.
    int exit_status = -1;
    bool timed_out = false;
};

// Runs argv[0] (looked up in PATH when it has no slash) to its end.
ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// A child that runs while the test goes on; its output goes to files.
// Destroying it kills and reaps the child if it is still running.
class BackgroundProcess {
  public:
    // `inherit_fd`, if not -1, is passed on to the child under the same number.
    BackgroundProcess(const std::vector<std::string>& argv, const ProcessOptions& options,
                      const std::string& out_path, const std::string& err_path,
                      int inherit_fd = -1);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // Waits up to timeout_ms for the child to end; true if it has ended.
    bool wait_for_exit(int timeout_ms);
    bool running();
    // SIGTERM, then SIGKILL if it does not end within two seconds; reaps it.
    void stop();
    // Waits up to timeout_ms for the end, kills the child at once when it is
    // late, and returns its status with what it wrote to the output files.
    ProcessResult finish(int timeout_ms);
    // Valid once the child has ended.
    int exit_status() const { return exit_status_; }

  private:
    void kill_and_reap();

    pid_t pid_ = -1;
    bool reaped_ = false;
    int exit_status_ = -1;
    std::string out_path_;
    std::string err_path_;
};

// Reads a whole file; empty when it cannot be read.
std::string read_file(const std::string& path);

// The parts of `text` between separators, such as the lines of an output or
// the fields of a CSV row.
std::vector<std::string> split(const std::string& text, char separator);

// A fresh empty directory under TMPDIR (or /tmp) that is removed with its files.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

#endif
