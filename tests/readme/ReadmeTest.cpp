// The README as a new user meets it: every ```sh block, in order, pasted into
// a shell at the root of a copy of the repository whose build/ is this build.
// Windows open on a private X server and are closed as a user would close
// them once they have shown something. A block preceded by a line
// "<!-- not run by the README test: WHY -->" is left out (the set-up commands,
// which CI runs itself).

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "Process.h"
#include "Xvfb.h"

namespace {

struct Block {
    int line;  // of the opening fence
    std::string commands;
};

std::vector<Block> commandBlocks(const std::string& readme) {
    std::vector<Block> blocks;
    std::istringstream lines(readme);
    std::string line, previous;
    bool inside = false, skip = false;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!inside && line == "```sh") {
            inside = true;
            skip = previous.rfind("<!-- not run by the README test:", 0) == 0;
            if (!skip) blocks.push_back({number, ""});
        } else if (inside && line.rfind("```", 0) == 0) {
            inside = false;
        } else if (inside && !skip) {
            blocks.back().commands += line + "\n";
        }
        previous = line;
    }
    return blocks;
}

// Asks every viewer or battle window that has been up for a while to close,
// and again only after as long, not while it is closing.
void closeShownWindows(const Xvfb& x, std::map<std::string, std::chrono::steady_clock::time_point>& seen) {
    std::string found;
    try {
        found = x.xdotool({"search", "--onlyvisible", "--name", "^Quorvane - Assignment Example App$"});
    } catch (const std::exception&) {
        return;  // none open
    }
    std::istringstream ids(found);
    const auto now = std::chrono::steady_clock::now();
    for (std::string id; std::getline(ids, id);) {
        const auto [it, fresh] = seen.emplace(id, now);
        if (!fresh && now - it->second > std::chrono::milliseconds(1500)) {
            x.request_close(id);
            it->second = now;
        }
    }
}

TEST(Readme, EveryCommandBlockRunsAsWritten) {
    const std::vector<Block> blocks = commandBlocks(read_file(SOURCE_DIR "/README.md"));
    ASSERT_GE(blocks.size(), 5u);

    TempDir copy;
    const ProcessResult copied = run_process(
        {"sh", "-c",
         "cd '" SOURCE_DIR "' && git ls-files -z | xargs -0 cp --parents -t '" + copy.path() +
             "' && ln -s '" BUILD_DIR "' '" + copy.path() + "/build'"});
    ASSERT_EQ(copied.exit_status, 0) << copied.err;

    Xvfb x(900, 900);
    ProcessOptions options = x.options(600000);
    options.working_dir = copy.path();
    // Benchmarks long enough to show they run, not to measure.
    options.env_set.push_back("BENCHMARK_MIN_TIME=0.001");
    for (const Block& block : blocks) {
        SCOPED_TRACE("README.md:" + std::to_string(block.line));
        TempDir logs;
        BackgroundProcess shell({"bash", "-e", "-o", "pipefail", "-c", block.commands}, options,
                                logs.file("out"), logs.file("err"));
        std::map<std::string, std::chrono::steady_clock::time_point> seen;
        while (!shell.wait_for_exit(200)) closeShownWindows(x, seen);
        ASSERT_EQ(shell.exit_status(), 0) << block.commands << "\nstderr:\n"
                                          << read_file(logs.file("err"));
    }
}

}  // namespace
