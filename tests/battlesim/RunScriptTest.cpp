// tools/run.sh as a process: a program name it does not run is refused at
// once, before anything is installed or built.

#include <gtest/gtest.h>
#include <unistd.h>

#include "Process.h"

namespace {

TEST(RunScript, RefusesAProgramItDoesNotRun) {
    // A PATH with only what the script needs to read its argument: had it
    // gone on, it would fail to install or build instead of building for minutes.
    TempDir bin;
    for (const char* tool : {"bash", "dirname"})
        ASSERT_EQ(symlink((std::string("/usr/bin/") + tool).c_str(), bin.file(tool).c_str()), 0);
    ProcessOptions options;
    options.env_set = {"PATH=" + bin.path()};
    for (const std::string name : {"gridbench", "pathgrid,battlesim"}) {
        const ProcessResult r = run_process({RUN_SH_PATH, name}, options);
        EXPECT_EQ(r.exit_status, 2) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_EQ(r.err, "usage: tools/run.sh [pathgrid|battlesim]...\n") << name;
    }
}

}  // namespace
