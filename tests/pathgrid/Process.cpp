#include "Process.h"

#include <cassert>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "TestSupport.h"

namespace {

std::string tempOutputPath(const char* tag) {
    std::string pattern = std::string("/tmp/pathgrid-") + tag + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    assert(fd >= 0);
    close(fd);
    return pattern;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& cwd,
                           const std::vector<std::string>& env)
    : outPath(tempOutputPath("out")), errPath(tempOutputPath("err")) {
    assert(!argv.empty());
    const pid_t parent = getpid();
    pid = fork();
    assert(pid >= 0);
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(errPath.c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        for (const std::string& entry : env) {
            const std::size_t eq = entry.find('=');
            const std::string name = entry.substr(0, eq);
            if (eq + 1 == entry.size()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), entry.c_str() + eq + 1, 1);
            }
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (!reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    unlink(outPath.c_str());
    unlink(errPath.c_str());
}

bool ChildProcess::running() {
    if (reaped) return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        reaped = true;
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return true;
}

ProcessResult ChildProcess::wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        reaped = true;
        exitStatus = -1;
    }
    return ProcessResult{exitStatus, readFile(outPath), readFile(errPath)};
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::vector<std::string>& env, int timeoutMs) {
    ChildProcess child(argv, cwd, env);
    return child.wait(timeoutMs);
}
