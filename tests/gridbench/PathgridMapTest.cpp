// pathgrid opening octile text maps, as a process without a display.

#include <gtest/gtest.h>

#include "Process.h"
#include "TestSupport.h"

namespace {

bool writeText(const std::string& path, const std::string& text) {
    return writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// pathgrid started in `cwd` (empty: here) with DISPLAY removed.
ProcessResult runHeadless(const std::vector<std::string>& argv, const std::string& cwd = "") {
    ProcessOptions options;
    options.working_dir = cwd;
    options.env_unset = {"DISPLAY"};
    options.timeout_ms = 10000;
    return run_process(argv, options);
}

TEST(PathgridOctileMap, ReadableMapPrintsItsSizeBeforeTheWindow) {
    const ProcessResult r = runHeadless({PATHGRID_EXE, std::string(GRIDBENCH_DATA) + "/walls.map"});
    // No display: the window library gives up after the map was read.
    EXPECT_NE(r.exit_status, 0);
    EXPECT_NE(r.exit_status, 255);
    EXPECT_EQ(r.out, "width=6 height=5\n");
}

TEST(PathgridOctileMap, BadMapIsRefusedWithItsLine) {
    TempDir dir;
    ASSERT_TRUE(
        writeText(dir.file("bad.map"), "type octile\nheight 3\nwidth 6\nmap\n......\n..\n"));
    const ProcessResult r = runHeadless({PATHGRID_EXE, "bad.map"}, dir.path());
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "Cannot read bad.map: line 6: row has 2 characters, expected 6\n");
    EXPECT_EQ(r.err, "");

    const ProcessResult missing = runHeadless({PATHGRID_EXE, "none.map"}, dir.path());
    EXPECT_EQ(missing.exit_status, 255);
    EXPECT_EQ(missing.out, "Cannot read none.map\n");
}

}  // namespace
