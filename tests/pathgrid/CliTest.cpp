// The program as a process without any display: what it prints and its exit
// status when there is no usable map. Without DISPLAY any attempt to open a
// window would fail with the window library's own message on stderr.

#include <gtest/gtest.h>

#include "BmpWriter.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

ProcessResult runViewer(const TempDir& cwd, const std::vector<std::string>& args) {
    std::vector<std::string> argv{PATHGRID_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_dir = cwd.path();
    options.env_unset = {"DISPLAY"};
    options.timeout_ms = 10000;
    return run_process(argv, options);
}

TEST(PathgridCli, NoMapInTheWorkingDirectory) {
    TempDir dir;
    const ProcessResult r = runViewer(dir, {});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read map.bmp\n");
    EXPECT_EQ(r.err, "");
}

TEST(PathgridCli, NamedFileMissing) {
    TempDir dir;
    const ProcessResult r = runViewer(dir, {"maps/other.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read maps/other.bmp\n");
    EXPECT_EQ(r.err, "");
}

TEST(PathgridCli, WindowOptionsAreNotTakenForTheFile) {
    TempDir dir;
    const ProcessResult r = runViewer(dir, {"-display", ":77", "-sync", "x.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read x.bmp\n");
}

TEST(PathgridCli, UnusableMapIsRefusedWithItsReason) {
    TempDir dir;
    std::vector<unsigned char> bytes = encodeBitmap(imageFromRows({"....", "....", "...."}));
    bytes[28] = 32;  // bits per pixel
    ASSERT_TRUE(writeBytes(dir.file("map.bmp"), bytes));
    const ProcessResult r = runViewer(dir, {});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read map.bmp: not a 24-bit uncompressed bitmap\n");
    EXPECT_EQ(r.err, "");
}

TEST(PathgridCli, TooSmallMapIsRefused) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir.file("tiny.bmp"), encodeBitmap(imageFromRows({"...", "..."}))));
    const ProcessResult r = runViewer(dir, {"tiny.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read tiny.bmp: map smaller than 3 x 3 cells\n");
}

TEST(PathgridCli, TwoFileArgumentsGiveUsage) {
    TempDir dir;
    const ProcessResult r = runViewer(dir, {"a.bmp", "b.bmp"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "usage: pathgrid [map.bmp]\n");
}

TEST(PathgridCli, ReadableMapPrintsItsSizeBeforeOpeningTheWindow) {
    TempDir dir;
    ASSERT_TRUE(
        writeBytes(dir.file("map.bmp"), encodeBitmap(imageFromRows({"...", "...", "..."}))));
    const ProcessResult r = runViewer(dir, {});
    // No display: the window library gives up after the map was read.
    EXPECT_NE(r.exit_status, 0);
    EXPECT_EQ(r.out, "width=3 height=3\n");
    EXPECT_NE(r.err, "");
}

}  // namespace
