// tools/fuzz.sh and run.sh check their arguments first: copies run beside logging stand-ins.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Process.h"

namespace {

struct Sandbox {
    TempDir dir_;
    Sandbox() {
        namespace fs = std::filesystem;
        for (const std::string folder : {"tools", "bin", "build/pathgrid", "build/battlesim"})
            fs::create_directories(dir_.file(folder));
        for (const std::string script : {"fuzz.sh", "run.sh"})
            fs::copy_file(TOOLS_DIR "/" + script, dir_.file("tools/" + script));
        for (const std::string command :
             {"bin/cmake", "bin/apt-get", "bin/sudo", "bin/clang++", "tools/install-deps.sh",
              "build/pathgrid/pathgrid", "build/battlesim/battlesim"}) {
            const std::string name = fs::path(command).filename().string();
            std::ofstream(dir_.file(command))
                << "#!/bin/sh\necho \"" << name << " $*\" >>\"$LOG\"\n";
            fs::permissions(dir_.file(command), fs::perms::owner_all);
        }
    }

    // The script with `args`, the stand-ins first in PATH.
    ProcessResult run(const std::string& script, const std::vector<std::string>& args) const {
        std::vector<std::string> argv{"bash", dir_.file("tools/" + script)};
        argv.insert(argv.end(), args.begin(), args.end());
        ProcessOptions options;
        options.env_set = {"PATH=" + dir_.file("bin") + ":/usr/bin:/bin",
                           "LOG=" + dir_.file("log")};
        return run_process(argv, options);
    }

    // The calls of the stand-ins so far, one a line, with the sandbox's path as "ROOT".
    std::string calls() const {
        std::string log = read_file(dir_.file("log"));
        for (std::size_t at; (at = log.find(dir_.path())) != std::string::npos;)
            log.replace(at, dir_.path().size(), "ROOT");
        return log;
    }
};

TEST(Scripts, FuzzChecksItsSecondsBeforeBuilding) {
    const std::string usage =
        "usage: tools/fuzz.sh SECONDS [TARGET...]  (SECONDS: whole seconds per target, 1 to "
        "99999)\n";
    Sandbox box;
    // libFuzzer would take any of these for no time limit.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"0"}, {"1.5"}, {""}, {"100000"}, {"5s", "bitmap_reader"}}) {
        const ProcessResult r = box.run("fuzz.sh", args);
        EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err), std::tuple(2, "", usage))
            << (args.empty() ? "" : args[0]);
    }
    EXPECT_EQ(box.calls(), "");
    // A good time goes on to the build, where a target the build lacks is refused.
    const ProcessResult r = box.run("fuzz.sh", {"7", "no_such_target"});
    EXPECT_TRUE(r.exit_status == 2 &&
                r.err.find("fuzz.sh: no fuzz target no_such_target") != std::string::npos)
        << r.err;
    EXPECT_TRUE(box.calls().starts_with("cmake --preset fuzz\ncmake --build --preset fuzz"))
        << box.calls();
}

// Other names are refused by tests/battlesim; here a bad one after a good one.
TEST(Scripts, RunTakesEitherProgramOrBothInOrder) {
    Sandbox box;
    const ProcessResult r = box.run("run.sh", {"pathgrid", "x"});
    EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err),
              std::tuple(2, "", "usage: tools/run.sh [pathgrid|battlesim]...\n"));
    EXPECT_EQ(box.calls(), "");
    ASSERT_EQ(box.run("run.sh", {"battlesim", "pathgrid"}).exit_status, 0);
    ASSERT_EQ(box.run("run.sh", {}).exit_status, 0);
    const std::string build =
        "install-deps.sh \ncmake -S ROOT --preset default\n"
        "cmake --build ROOT/build -j " +
        split(run_process({"nproc"}).out, '\n').at(0) + " --target ";
    const std::string battlesim = "battlesim \n", pathgrid = "pathgrid ROOT/data/map.bmp\n";
    EXPECT_EQ(box.calls(), build + "battlesim pathgrid\n" + battlesim + pathgrid + build +
                               "pathgrid battlesim\n" + pathgrid + battlesim);
}

}  // namespace
