// pathgrid and the sample-map generator as processes, without a display:
// what they print and their exit status. Without DISPLAY any attempt to open
// a window fails with the window library's own message on stderr.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "Process.h"
#include "TestMaps.h"

namespace {

const std::string kUsage =
    "usage: pathgrid [--info] [MAP]\n"
    "  MAP: a 24-bit uncompressed bitmap or an octile text map (.map); default map.bmp\n"
    "  --info: show the info line from the start (F1 shows and hides it)\n";

ProcessResult runViewer(const TempDir& cwd, std::vector<std::string> args) {
    args.insert(args.begin(), PATHGRID_EXE);
    ProcessOptions options;
    options.working_dir = cwd.path();
    options.env_unset = {"DISPLAY"};
    return run_process(args, options);
}

TEST(PathgridProgram, MapsThatCannotBeShownEndWithStatus255BeforeAnyWindow) {
    TempDir dir;
    ProcessResult r = runViewer(dir, {});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read map.bmp: no such file\n");
    EXPECT_EQ(r.err, "");

    // The window system's options and their values are not the map.
    r = runViewer(dir, {"-display", ":77", "-sync", "maps/other.bmp", "-geometry", "9x9"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read maps/other.bmp: no such file\n");

    ASSERT_TRUE(writeBytes(dir.file("tiny.bmp"), encodeBitmap(imageFromRows({"...", "..."}))));
    r = runViewer(dir, {"tiny.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read tiny.bmp: map smaller than 3 x 3 cells\n");

    r = runViewer(dir, {"a.bmp", "b.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kUsage);
}

TEST(PathgridProgram, HelpPrintsTheUsageAndLoadsNothing) {
    TempDir dir;
    const ProcessResult r = runViewer(dir, {"x.bmp", "--help"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, kUsage);
    EXPECT_EQ(r.err, "");
}

// Files that are no maps are refused from what the system says about them,
// before anything is read: a FIFO with no writer would block a reader forever.
TEST(PathgridProgram, FilesThatAreNoMapsAreRefusedWithTheReason) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("folder.map").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.map").c_str(), 0644), 0);
    std::ofstream(dir.file("plain.bmp")) << "BM";
    const std::pair<std::string, std::string> cases[] = {
        {"folder.map", "Cannot read folder.map: is a directory\n"},
        {"pipe.map", "Cannot read pipe.map: not a regular file\n"},
        {"/dev/zero", "Cannot read /dev/zero: not a regular file\n"},
        {"folder.map/inner.bmp", "Cannot read folder.map/inner.bmp: no such file\n"},
        {"plain.bmp/x.bmp", "Cannot read plain.bmp/x.bmp: no such file\n"},  // not a folder
    };
    for (const auto& [file, message] : cases) {
        const ProcessResult r = runViewer(dir, {file});
        EXPECT_FALSE(r.timed_out) << file;
        EXPECT_EQ(r.exit_status, 255) << file;
        EXPECT_EQ(r.out, message);
        EXPECT_EQ(r.err, "") << file;
    }
}

// A file without read permission. Root reads every file, so as root the
// viewer runs as the unprivileged user "nobody".
TEST(PathgridProgram, AnUnreadableMapSaysPermissionDenied) {
    TempDir dir;
    std::ofstream(dir.file("locked.map")) << "type octile\nheight 3\nwidth 3\nmap\n...\n...\n...\n";
    ASSERT_EQ(chmod(dir.file("locked.map").c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    std::vector<std::string> args = {PATHGRID_EXE, "locked.map"};
    if (geteuid() == 0) {
        args.insert(args.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    ProcessOptions options;
    options.working_dir = dir.path();
    options.env_unset = {"DISPLAY"};
    const ProcessResult r = run_process(args, options);
    EXPECT_EQ(r.exit_status, 255) << r.err;
    EXPECT_EQ(r.out, "Cannot read locked.map: permission denied\n");
}

TEST(PathgridProgram, AReadableMapPrintsItsSizeBeforeTheWindowOpens) {
    TempDir dir;
    ASSERT_TRUE(
        writeBytes(dir.file("map.bmp"), encodeBitmap(imageFromRows({"...", ".#.", "..."}))));
    const ProcessResult r = runViewer(dir, {});
    EXPECT_NE(r.exit_status, 0);  // no display to open the window on
    EXPECT_EQ(r.out, "width=3 height=3\n");
    EXPECT_NE(r.err, "");
}

TEST(PathgridProgram, GeneratorRemakesTheShippedSampleMap) {
    TempDir dir;
    ASSERT_EQ(run_process({MAPGEN_EXE, dir.file("map.bmp")}).exit_status, 0);
    const std::string shipped = read_file(SAMPLE_MAP);
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(read_file(dir.file("map.bmp")) == shipped) << "data/map.bmp is out of date";

    const ProcessResult bad = run_process({MAPGEN_EXE, dir.file("a.bmp"), "63", "64"});
    EXPECT_EQ(bad.exit_status, 1);
    EXPECT_EQ(bad.err, "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides 64 to 4096)\n");
}

TEST(PathgridProgram, GeneratorHelpWritesNothingAndUnwritableFilesSayWhy) {
    TempDir dir;
    ProcessOptions inDir;
    inDir.working_dir = dir.path();
    const ProcessResult help = run_process({MAPGEN_EXE, "--help"}, inDir);
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out, "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides 64 to 4096)\n");
    EXPECT_EQ(help.err, "");
    EXPECT_FALSE(std::ifstream(dir.file("--help")).good());

    const ProcessResult missing = run_process({MAPGEN_EXE, "no/map.bmp"}, inDir);
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_EQ(missing.err, "pathgrid-mapgen: cannot write no/map.bmp: No such file or directory\n");
    const ProcessResult folder = run_process({MAPGEN_EXE, "."}, inDir);
    EXPECT_EQ(folder.exit_status, 1);
    EXPECT_EQ(folder.err, "pathgrid-mapgen: cannot write .: Is a directory\n");
}

}  // namespace
