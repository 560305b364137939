#include "Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

std::vector<std::string> child_environment(const ProcessOptions& options) {
    auto name_of = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> dropped = options.env_unset;
    for (const std::string& e : options.env_set) dropped.push_back(name_of(e));
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string name = name_of(*e);
        if (std::find(dropped.begin(), dropped.end(), name) == dropped.end()) env.push_back(*e);
    }
    env.insert(env.end(), options.env_set.begin(), options.env_set.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

int open_output(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    return fd;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
    TempDir dir;
    BackgroundProcess child(argv, options, dir.file("out"), dir.file("err"));
    return child.finish(options.timeout_ms);
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
        // Only async-signal-safe calls from here to exec. A test that crashes
        // or is killed takes its children with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (inherit_fd >= 0) fcntl(inherit_fd, F_SETFD, 0);
        if (!options.working_dir.empty() && chdir(options.working_dir.c_str()) != 0) _exit(127);
        if (options.address_space_limit != 0) {
            const rlimit limit{options.address_space_limit, options.address_space_limit};
            setrlimit(RLIMIT_AS, &limit);
        }
        execvpe(argv_p[0], argv_p.data(), env_p.data());
        _exit(127);
    }
    close(out_fd);
    close(err_fd);
}

BackgroundProcess::~BackgroundProcess() {
    if (running()) kill_and_reap();
}

void BackgroundProcess::kill_and_reap() {
    kill(pid_, SIGKILL);
    while (running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool BackgroundProcess::running() {
    if (reaped_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    reaped_ = true;
    if (WIFEXITED(status)) exit_status_ = WEXITSTATUS(status);
    return false;
}

bool BackgroundProcess::wait_for_exit(int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void BackgroundProcess::stop() {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (!wait_for_exit(2000)) kill_and_reap();
}

ProcessResult BackgroundProcess::finish(int timeout_ms) {
    ProcessResult result;
    if (!wait_for_exit(timeout_ms)) {
        result.timed_out = true;
        kill_and_reap();
    }
    result.exit_status = exit_status_;
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

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
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
