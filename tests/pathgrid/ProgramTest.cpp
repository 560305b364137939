// pathgrid and the map generator without DISPLAY, so no window opens: output and status.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "Process.h"
#include "TestMaps.h"

namespace {

const std::string kUsage =
    "usage: pathgrid [--info] [--search exact|jump] [MAP]\n"
    "  MAP: a bitmap (.bmp) or an octile text map (.map); default map.bmp\n"
    "  --info: show the info band from the start (F1 shows and hides it)\n"
    "  --search: the route search, exact A* (the default) or jump point search\n"
    "            (F3 switches between them)\n"
    "  -h, --help: this text\n"
    "mouse:\n"
    "  moving                the object (1x1, 2x2 or 3x3 cells) follows the pointer\n"
    "  left button held      the cheapest route from the press point to the pointer\n"
    "  right button held     every position reachable from the pointer\n"
    "  middle button         the next object size: 1x1, 2x2, 3x3\n"
    "  wheel                 zooms in (up) or out (down) about the pointer\n"
    "  Shift + left drag     pans the map\n"
    "keys:\n"
    "  Page Up / Page Down   zoom in / out about the pointer\n"
    "  arrow keys            pan by a quarter of the view\n"
    "  Home                  the whole map\n"
    "  F1                    shows or hides the info band below the map\n"
    "  F2                    tints what the last search expanded\n"
    "  F3                    switches between the exact and the jump point search\n"
    "  any other key         quits\n";
const std::string kMapgenUsage =
    "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides 64 to 4096)\n";

ProcessResult runIn(const TempDir& cwd, std::vector<std::string> argv) {
    ProcessOptions options;
    options.working_dir = cwd.path();
    options.env_unset = {"DISPLAY"};
    return run_process(argv, options);
}

// Unshowable maps end with 255 before any window; non-files are refused unread (a FIFO may
// never end). The generator refuses with 1, and its --help writes no file.
TEST(PathgridProgram, RefusalsAndHelpBeforeAnyWindow) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir.file("tiny.bmp"), encodeBitmap(imageFromRows({"...", "..."}))));
    ASSERT_EQ(mkdir(dir.file("folder.map").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.map").c_str(), 0644), 0);
    std::ofstream(dir.file("locked.map")) << "type octile\nheight 3\nwidth 3\nmap\n...\n...\n...\n";
    ASSERT_EQ(chmod(dir.file("locked.map").c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    std::vector<std::string> locked = {PATHGRID_EXE, "locked.map"};
    if (geteuid() == 0)  // root reads every file: as "nobody"
        locked.insert(locked.begin(),
                      {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    const struct {
        std::vector<std::string> argv;
        std::string out, err = "";
        int status = 255;
    } cases[] = {
        {{PATHGRID_EXE}, "Cannot read map.bmp: no such file\n"},
        {{PATHGRID_EXE, "-display", ":77", "-sync", "maps/other.bmp", "-geometry", "9x9"},
         "Cannot read maps/other.bmp: no such file\n"},
        {{PATHGRID_EXE, "tiny.bmp"}, "Cannot read tiny.bmp: map smaller than 3 x 3 cells\n"},
        {{PATHGRID_EXE, "a.bmp", "b.bmp"}, "", kUsage},
        // The search's name is not the map; an unknown search, or none, is refused.
        {{PATHGRID_EXE, "--search", "jump", "x.bmp"}, "Cannot read x.bmp: no such file\n"},
        {{PATHGRID_EXE, "x.bmp", "--search", "foo"}, "", kUsage},
        {{PATHGRID_EXE, "x.bmp", "--search"}, "", kUsage},
        {{PATHGRID_EXE, "x.bmp", "--help"}, kUsage, "", 0},
        {{PATHGRID_EXE, "--infoo", "x.bmp"}, "", kUsage},
        {{PATHGRID_EXE, "folder.map"}, "Cannot read folder.map: is a directory\n"},
        {{PATHGRID_EXE, "pipe.map"}, "Cannot read pipe.map: not a regular file\n"},
        {locked, "Cannot read locked.map: permission denied\n"},
        {{MAPGEN_EXE, "--help"}, kMapgenUsage, "", 0},
        {{MAPGEN_EXE, "a.bmp", "63", "64"}, "", kMapgenUsage, 1},
        {{MAPGEN_EXE, "no/map.bmp"},
         "",
         "pathgrid-mapgen: Cannot write no/map.bmp: no such directory\n",
         1},
        {{MAPGEN_EXE, "."}, "", "pathgrid-mapgen: Cannot write .: is a directory\n", 1},
    };
    for (const auto& c : cases) {
        const ProcessResult r = runIn(dir, c.argv);
        EXPECT_EQ(std::tie(r.exit_status, r.out, r.err), std::tie(c.status, c.out, c.err))
            << c.argv.back();
    }
    EXPECT_FALSE(std::ifstream(dir.file("--help")).good());
}

TEST(PathgridProgram, GeneratorRemakesTheShippedSampleMap) {
    TempDir dir;
    ASSERT_EQ(runIn(dir, {MAPGEN_EXE, "map.bmp"}).exit_status, 0);
    const std::string shipped = read_file(SAMPLE_MAP);
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(read_file(dir.file("map.bmp")) == shipped) << "data/map.bmp is out of date";
}

}  // namespace
