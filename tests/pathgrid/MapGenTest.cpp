// The sample-map generator: it remakes the shipped map byte for byte, and the
// map it makes gives each object size its own way through the central wall.

#include <gtest/gtest.h>

#include <sstream>

#include "BmpLoader.h"
#include "Process.h"
#include "SampleMap.h"
#include "TestSupport.h"

namespace {

TEST(PathgridMapGen, RemakesTheShippedSampleMap) {
    TempDir dir;
    const std::string out = dir.file("map.bmp");
    const ProcessResult r = run_process({MAPGEN_EXE, out});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    const std::string shipped = read_file(SAMPLE_MAP);
    ASSERT_FALSE(shipped.empty()) << "missing " << SAMPLE_MAP;
    EXPECT_TRUE(read_file(out) == shipped) << "data/map.bmp differs from the generator's output";
}

TEST(PathgridMapGen, WritesTheRequestedSize) {
    TempDir dir;
    const std::string out = dir.file("big.bmp");
    ASSERT_EQ(run_process({MAPGEN_EXE, out, "256", "128"}).exit_status, 0);
    std::ostringstream log;
    const GridPtr grid = loadBitmapGrid(out.c_str(), log);
    ASSERT_TRUE(grid);
    EXPECT_EQ(log.str(), "width=256 height=128\n");
}

TEST(PathgridMapGen, BadArgumentsGiveUsageAndStatusOne) {
    TempDir dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{MAPGEN_EXE},
                                                 {MAPGEN_EXE, dir.file("a.bmp"), "64"},
                                                 {MAPGEN_EXE, dir.file("a.bmp"), "63", "64"},
                                                 {MAPGEN_EXE, dir.file("a.bmp"), "64", "x"},
                                                 {MAPGEN_EXE, dir.file("a.bmp"), "64", "4097"}}) {
        const ProcessResult r = run_process(args);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.err, "usage: pathgrid-mapgen OUTPUT [WIDTH HEIGHT]  (sides 64 to 4096)\n");
        EXPECT_EQ(r.out, "");
    }
    const ProcessResult r = run_process({MAPGEN_EXE, dir.file("no/such/dir.bmp")});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, "pathgrid-mapgen: cannot write " + dir.file("no/such/dir.bmp") + "\n");
}

// The row at which a path first stands inside the central wall.
int wallCrossingRow(int x1, int y1, const Grid::Path& path) {
    int x = x1, y = y1;
    for (Grid::Direction d : path) {
        x += Grid::stepDx(d);
        y += Grid::stepDy(d);
        if (x >= kPlanWallBegin && x < kPlanWallEnd) return y;
    }
    return -1;
}

TEST(PathgridSampleMap, EachObjectSizeTakesItsOwnCorridor) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir.file("m.bmp"), encodeBitmap(makeSampleMap(64, 64))));
    std::ostringstream log;
    const GridPtr grid = loadBitmapGrid(dir.file("m.bmp").c_str(), log);
    ASSERT_TRUE(grid);
    const int wantRow[3] = {kPlanCorridor1Row, kPlanCorridor2Row, kPlanCorridor3Row};
    for (int size = 0; size < 3; ++size) {
        Grid::Path path;
        ASSERT_TRUE(grid->isConnected(size, 20, 28, 40, 28)) << "size " << size;
        ASSERT_GT(grid->findShortestPath(size, 20, 28, 40, 28, path), 0);
        EXPECT_EQ(wallCrossingRow(20, 28, path), wantRow[size]) << "size " << size;
    }
}

TEST(PathgridSampleMap, HasAllThreeTiles) {
    const RgbImage image = makeSampleMap(64, 64);
    int count[3] = {};
    for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
        ++count[tileFromColor(image.rgb[i + 2], image.rgb[i + 1], image.rgb[i])];
    }
    EXPECT_GT(count[Grid::GROUND], 64 * 64 / 2);
    EXPECT_GT(count[Grid::WATER], 200);
    EXPECT_GT(count[Grid::BLOCKED], 200);
}

}  // namespace
