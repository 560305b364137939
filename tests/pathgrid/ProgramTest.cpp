// pathgrid and the sample-map generator as processes, without a display:
// what they print and their exit status. Without DISPLAY any attempt to open
// a window fails with the window library's own message on stderr.

#include <gtest/gtest.h>

#include "Process.h"
#include "TestMaps.h"

namespace {

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
    EXPECT_EQ(r.out, "Cannot read map.bmp\n");
    EXPECT_EQ(r.err, "");

    // The window system's options and their values are not the map.
    r = runViewer(dir, {"-display", ":77", "-sync", "maps/other.bmp", "-geometry", "9x9"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read maps/other.bmp\n");

    ASSERT_TRUE(writeBytes(dir.file("tiny.bmp"), encodeBitmap(imageFromRows({"...", "..."}))));
    r = runViewer(dir, {"tiny.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read tiny.bmp: map smaller than 3 x 3 cells\n");

    r = runViewer(dir, {"a.bmp", "b.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "usage: pathgrid [map.bmp]\n");
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

}  // namespace
