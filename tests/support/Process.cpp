#include "Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> child_environment(const ProcessOptions& options) {
    std::vector<std::string> env;
    auto name_of = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    auto removed = [&](const std::string& name) {
        for (const auto& n : options.env_unset) {
            if (n == name) return true;
        }
        for (const auto& e : options.env_set) {
            if (name_of(e) == name) return true;
        }
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!removed(name_of(entry))) env.push_back(entry);
    }
    for (const auto& e : options.env_set) env.push_back(e);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void exec_child(char** argv, char** envp, const ProcessOptions& options,
                             pid_t parent) {
    // A test that crashes or is killed takes its children with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    if (!options.working_dir.empty() && chdir(options.working_dir.c_str()) != 0) _exit(127);
    if (options.address_space_limit != 0) {
        rlimit limit{options.address_space_limit, options.address_space_limit};
        setrlimit(RLIMIT_AS, &limit);
    }
    if (!options.exec_path.empty()) {
        execve(options.exec_path.c_str(), argv, envp);
    } else {
        execvpe(argv[0], argv, envp);
    }
    _exit(127);
}

int open_output(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    return fd;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv_in, const ProcessOptions& options) {
    std::vector<std::string> argv = argv_in;
    std::vector<std::string> env = child_environment(options);
    std::vector<char*> argv_p = pointers(argv);
    std::vector<char*> env_p = pointers(env);

    int out_pipe[2];
    int err_pipe[2] = {-1, -1};
    if (pipe2(out_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::string terminal_name;
    if (options.stderr_on_terminal) {
        // The parent reads the terminal's master side like a pipe.
        err_pipe[0] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (err_pipe[0] < 0 || grantpt(err_pipe[0]) != 0 || unlockpt(err_pipe[0]) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        terminal_name = ptsname(err_pipe[0]);
    } else if (pipe2(err_pipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(out_pipe[1], 1);
        if (options.stderr_on_terminal) {
            dup2(open(terminal_name.c_str(), O_RDWR | O_NOCTTY), 2);
        } else {
            dup2(err_pipe[1], 2);
        }
        exec_child(argv_p.data(), env_p.data(), options, parent);
    }
    close(out_pipe[1]);
    if (err_pipe[1] >= 0) close(err_pipe[1]);

    ProcessResult result;
    const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeout_ms);
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_fds = 2;
    char buffer[65536];
    while (open_fds > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        const int ready = poll(fds, 2, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_fds;
            }
        }
    }
    for (auto& f : fds) {
        if (f.fd >= 0) close(f.fd);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.term_signal = WTERMSIG(status);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv_in,
                                     const ProcessOptions& options, const std::string& out_path,
                                     const std::string& err_path, int inherit_fd)
    : out_path_(out_path), err_path_(err_path) {
    std::vector<std::string> argv = argv_in;
    std::vector<std::string> env = child_environment(options);
    std::vector<char*> argv_p = pointers(argv);
    std::vector<char*> env_p = pointers(env);
    const int out_fd = open_output(out_path);
    const int err_fd = open_output(err_path);

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (inherit_fd >= 0) fcntl(inherit_fd, F_SETFD, 0);
        exec_child(argv_p.data(), env_p.data(), options, parent);
    }
    close(out_fd);
    close(err_fd);
}

BackgroundProcess::~BackgroundProcess() {
    if (pid_ > 0 && !reaped_) kill_and_reap();
}

void BackgroundProcess::kill_and_reap() {
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    record(status);
}

void BackgroundProcess::record(int wait_status) {
    reaped_ = true;
    if (WIFEXITED(wait_status)) exit_status_ = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) term_signal_ = WTERMSIG(wait_status);
}

bool BackgroundProcess::running() {
    if (reaped_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        record(status);
        return false;
    }
    return true;
}

bool BackgroundProcess::wait_for_exit(int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (running()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void BackgroundProcess::stop() {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (wait_for_exit(2000)) return;
    kill_and_reap();
}

ProcessResult BackgroundProcess::finish(int timeout_ms) {
    ProcessResult result;
    if (!wait_for_exit(timeout_ms)) {
        result.timed_out = true;
        kill_and_reap();
    }
    result.exit_status = exit_status_;
    result.term_signal = term_signal_;
    result.out = read_file(out_path_);
    result.err = read_file(err_path_);
    return result;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
