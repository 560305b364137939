// The map generators as processes: refusals before any map is made, no file left on failure.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "Process.h"

namespace {

std::set<std::string> filesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

// `argv` in `dir`; a FIFO without a reader would block a writer until the limit.
ProcessResult runIn(const TempDir& dir, const std::vector<std::string>& argv) {
    ProcessOptions options;
    options.working_dir = dir.path();
    options.timeout_ms = 20000;
    return run_process(argv, options);
}

// `exe` with each of `cases` fails with `status`, its message and no output, after `before`.
void expectFailures(const TempDir& dir, const std::string& exe, int status,
                    const std::vector<std::pair<std::vector<std::string>, std::string>>& cases,
                    std::vector<std::string> before = {}) {
    before.push_back(exe);
    for (const auto& [args, message] : cases) {
        std::vector<std::string> argv = before;
        argv.insert(argv.end(), args.begin(), args.end());
        const ProcessResult r = runIn(dir, argv);
        EXPECT_EQ(
            std::tuple(r.timed_out, r.exit_status, r.out, r.err),
            std::tuple(false, status, "",
                       std::filesystem::path(exe).filename().string() + ": " + message + "\n"));
    }
}

TEST(Generators, RefuseFilesTheyCannotWriteBeforeMakingAMap) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe.map").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.bmp").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
    // The scenario's name taken: the map must not be written either.
    ASSERT_EQ(mkdir(dir.file("taken.map.scen").c_str(), 0755), 0);
    expectFailures(dir, OCTILE_MAPGEN, 1,
                   {{{"--out", "pipe"}, "Cannot write pipe.map: not a regular file"},
                    {{"--out", "taken"}, "Cannot write taken.map.scen: is a directory"}});
    expectFailures(dir, OCTILE_MAPGEN, 2,
                   {{{"--out", ""}, "--out: empty file name (see --help)"},
                    {{"--out", "folder/"}, "--out: no file name in \"folder/\" (see --help)"},
                    {{"--out", "folder"},
                     "--out: folder is a directory; give a file name in it, "
                     "such as folder/map (see --help)"}});
    expectFailures(dir, PATHGRID_MAPGEN, 1,
                   {{{"pipe.bmp"}, "Cannot write pipe.bmp: not a regular file"},
                    {{""}, "OUTPUT: empty file name"},
                    {{"/dev/full"}, "Cannot write /dev/full: no space left on device"}});
    EXPECT_EQ(filesIn(dir),
              (std::set<std::string>{"pipe.map", "pipe.bmp", "folder", "taken.map.scen"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));
}

TEST(Generators, AFailedRunLeavesNoFile) {
    TempDir dir;
    std::ofstream(dir.file("old.bmp")) << "old";
    // A write beyond the file size limit fails with its reason, its signal ignored.
    const std::vector<std::string> smallFiles{"sh", "-c", "trap '' XFSZ; ulimit -f 8; exec \"$@\"",
                                              "sh"};
    std::vector<std::string> octile{"--width",   "256", "--height", "256",
                                    "--queries", "0",   "--out",    "big"};
    // Corridors wider than the map leave nothing but rock: no queries.
    expectFailures(dir, OCTILE_MAPGEN, 1,
                   {{{"--kind", "maze", "--corridor", "64", "--width", "8", "--height", "8",
                      "--queries", "5", "--out", "rock"},
                     "only 0 of 5 queries: too little connected ground"}});
    expectFailures(dir, PATHGRID_MAPGEN, 1,
                   {{{"old.bmp", "512", "512"}, "Cannot write old.bmp: file too large"}},
                   smallFiles);
    expectFailures(dir, OCTILE_MAPGEN, 1, {{octile, "Cannot write big.map: file too large"}},
                   smallFiles);
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"old.bmp"});
    EXPECT_EQ(read_file(dir.file("old.bmp")), "old");

    // Without the limit both work, and the replaced file keeps its mode.
    ASSERT_EQ(chmod(dir.file("old.bmp").c_str(), 0640), 0);
    EXPECT_EQ(runIn(dir, {PATHGRID_MAPGEN, "old.bmp", "512", "512"}).exit_status, 0);
    octile.insert(octile.begin(), OCTILE_MAPGEN);
    EXPECT_EQ(runIn(dir, octile).exit_status, 0);
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"old.bmp", "big.map"}));
    EXPECT_EQ(std::filesystem::status(dir.file("old.bmp")).permissions(),
              std::filesystem::perms(0640));
}

}  // namespace
