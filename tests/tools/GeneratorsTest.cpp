// The map generators as processes: files they cannot write are refused with
// the system's reason before any map is made (a FIFO without a reader would
// block a writer for ever), and a run that fails leaves no file behind: an
// old file keeps its contents and no temporary file stays.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "Process.h"

namespace {

std::set<std::string> filesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

ProcessResult runIn(const TempDir& dir, const std::vector<std::string>& argv) {
    ProcessOptions options;
    options.working_dir = dir.path();
    options.timeout_ms = 20000;
    return run_process(argv, options);
}

// `argv` with the file size limited to a few KiB. The signal that the limit
// raises is ignored, so that the write fails with its reason instead.
std::vector<std::string> withSmallFileLimit(const std::vector<std::string>& argv) {
    std::vector<std::string> limited{"sh", "-c", "trap '' XFSZ; ulimit -f 8; exec \"$@\"", "sh"};
    limited.insert(limited.end(), argv.begin(), argv.end());
    return limited;
}

TEST(Generators, RefuseFilesTheyCannotWriteBeforeMakingAMap) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe.map").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.bmp").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
    // The scenario's name taken: the map must not be written either.
    ASSERT_EQ(mkdir(dir.file("taken.map.scen").c_str(), 0755), 0);
    const struct {
        std::vector<std::string> argv;
        std::string err;
        int status;
    } cases[] = {
        {{OCTILE_MAPGEN, "--out", "pipe"},
         "octile-mapgen: Cannot write pipe.map: not a regular file\n",
         1},
        {{OCTILE_MAPGEN, "--out", "taken"},
         "octile-mapgen: Cannot write taken.map.scen: is a directory\n",
         1},
        {{OCTILE_MAPGEN, "--out", "none/rooms"},
         "octile-mapgen: Cannot write none/rooms.map: no such directory\n",
         1},
        {{OCTILE_MAPGEN, "--out", ""}, "octile-mapgen: --out: empty file name (see --help)\n", 2},
        {{OCTILE_MAPGEN, "--kind", "foo", "--out", "x"},
         "octile-mapgen: --kind: expected rooms, maze or lakes, not \"foo\" (see --help)\n",
         2},
        {{PATHGRID_MAPGEN, "pipe.bmp"},
         "pathgrid-mapgen: Cannot write pipe.bmp: not a regular file\n",
         1},
        {{PATHGRID_MAPGEN, "folder"}, "pathgrid-mapgen: Cannot write folder: is a directory\n", 1},
        {{PATHGRID_MAPGEN, ""}, "pathgrid-mapgen: OUTPUT: empty file name\n", 1},
        {{PATHGRID_MAPGEN, "/dev/full"},
         "pathgrid-mapgen: Cannot write /dev/full: no space left on device\n",
         1},
    };
    for (const auto& c : cases) {
        const ProcessResult r = runIn(dir, c.argv);
        EXPECT_FALSE(r.timed_out) << c.err;
        EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err), std::tuple(c.status, "", c.err));
    }
    EXPECT_EQ(filesIn(dir),
              (std::set<std::string>{"pipe.map", "pipe.bmp", "folder", "taken.map.scen"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));
}

TEST(Generators, AFailedRunLeavesNoFile) {
    TempDir dir;
    // Corridors wider than the map leave nothing but rock: no queries, so
    // neither the map nor its scenario.
    const ProcessResult rock =
        runIn(dir, {OCTILE_MAPGEN, "--kind", "maze", "--corridor", "64", "--width", "8", "--height",
                    "8", "--queries", "5", "--out", "rock"});
    EXPECT_EQ(std::tuple(rock.exit_status, rock.err),
              std::tuple(1, "octile-mapgen: only 0 of 5 queries: too little connected ground\n"));

    std::ofstream(dir.file("old.bmp")) << "old";
    const std::vector<std::string> bitmap{PATHGRID_MAPGEN, "old.bmp", "512", "512"};
    const std::vector<std::string> octile{OCTILE_MAPGEN, "--width", "256",   "--height", "256",
                                          "--queries",   "0",       "--out", "big"};
    const ProcessResult cut = runIn(dir, withSmallFileLimit(bitmap));
    EXPECT_EQ(std::tuple(cut.exit_status, cut.err),
              std::tuple(1, "pathgrid-mapgen: Cannot write old.bmp: file too large\n"));
    const ProcessResult cutMap = runIn(dir, withSmallFileLimit(octile));
    EXPECT_EQ(std::tuple(cutMap.exit_status, cutMap.err),
              std::tuple(1, "octile-mapgen: Cannot write big.map: file too large\n"));
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"old.bmp"});
    EXPECT_EQ(read_file(dir.file("old.bmp")), "old");

    // Without the limit both runs work, and the replaced file keeps its mode.
    ASSERT_EQ(chmod(dir.file("old.bmp").c_str(), 0640), 0);
    EXPECT_EQ(runIn(dir, bitmap).exit_status, 0);
    EXPECT_EQ(runIn(dir, octile).exit_status, 0);
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"old.bmp", "big.map"}));
    EXPECT_EQ(std::filesystem::file_size(dir.file("old.bmp")), 54u + 512 * 512 * 3);
    struct stat info {};
    ASSERT_EQ(stat(dir.file("old.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(Generators, DashWritesTheBitmapToStandardOutput) {
    TempDir dir;
    ASSERT_EQ(runIn(dir, {PATHGRID_MAPGEN, "file.bmp", "96", "80"}).exit_status, 0);
    const ProcessResult r = runIn(dir, {PATHGRID_MAPGEN, "-", "96", "80"});
    EXPECT_EQ(std::tuple(r.exit_status, r.err), std::tuple(0, ""));
    EXPECT_TRUE(r.out == read_file(dir.file("file.bmp")));
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"file.bmp"});
}

}  // namespace
