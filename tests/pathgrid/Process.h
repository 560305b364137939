#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessResult {
    int status = -1;  // exit status, or -1 when killed by a signal or timed out
    std::string out;
    std::string err;
};

// A child process with its standard output and error going to files. It gets
// SIGKILL when the test process dies, and is killed and reaped on destruction,
// so no test leaves one behind.
class ChildProcess {
  public:
    // `env` entries ("NAME=value") are added to the test's environment; an
    // entry "NAME=" removes NAME. Standard input is /dev/null.
    ChildProcess(const std::vector<std::string>& argv, const std::string& cwd = "",
                 const std::vector<std::string>& env = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t id() const { return pid; }
    bool running();
    // Waits up to `timeoutMs` for the exit; kills the child when it is late.
    ProcessResult wait(int timeoutMs);

  private:
    pid_t pid = -1;
    int exitStatus = -1;
    bool reaped = false;
    std::string outPath;
    std::string errPath;
};

// Runs a program to its end (at most `timeoutMs`) and collects its output.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd = "",
                         const std::vector<std::string>& env = {}, int timeoutMs = 10000);
