// The tile map, its connectivity answers and its shortest paths on small
// hand-made maps, and every precondition message in the order it is tested.

#include <gtest/gtest.h>

#include <algorithm>

#include "Grid.h"
#include "TestMaps.h"

namespace {

using Path = Grid::Path;
constexpr auto N = Grid::N, E = Grid::E, SE = Grid::SE, S = Grid::S, W = Grid::W;

// EXPECT_DEATH matcher for exactly this failed condition.
std::string failed(std::string condition) {
    std::string escaped;
    for (char c : condition) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) escaped += '\\';
        escaped += c;
    }
    return "Assertion `" + escaped + "' failed";
}

TEST(Grid, ConnectivityFollowsTheFootprintsTileType) {
    const GridPtr grid = gridFromRows({
        "###.~~.",
        "###.~~.",
        "...##..",
        "...#...",
    });
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 1, 0));   // blocked forms sectors too
    EXPECT_FALSE(grid->isConnected(1, 3, 0, 3, 0));  // a mixed footprint, even to itself
    EXPECT_FALSE(grid->isConnected(1, 3, 0, 3, 0));  // ... also when asked again
    EXPECT_FALSE(grid->isConnected(0, 0, 2, 3, 1));  // ground touching only diagonally
    EXPECT_TRUE(grid->isConnected(0, 6, 0, 4, 3));   // round the corner at (6, 2)
    EXPECT_TRUE(grid->isConnected(0, 0, 3, 2, 2));
    EXPECT_TRUE(grid->isConnected(1, 5, 2, 5, 2));  // x+size = width-1 is the last valid one
}

TEST(Grid, TileChangesRebuildEveryLabelTable) {
    const GridPtr grid = gridFromRows({".....", "####.", "....."});
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 0, 2));
    grid->setTile(4, 1, Grid::WATER);
    EXPECT_FALSE(grid->isConnected(0, 0, 2, 0, 0));
    EXPECT_TRUE(grid->isConnected(0, 4, 1, 4, 1));
    grid->setTile(4, 1, Grid::GROUND);
    EXPECT_TRUE(grid->isConnected(0, 0, 2, 0, 0));
}

TEST(Grid, AMapOfOneSectorNeedsNoCallStack) {
    Grid grid(4096, 4096);
    for (int s = 0; s <= 2; ++s) EXPECT_TRUE(grid.isConnected(s, 0, 0, 4095 - s, 4095 - s));
}

TEST(Grid, RoutesOnOpenGround) {
    Grid grid(4, 4);
    Path path{E};
    EXPECT_EQ(grid.findShortestPath(0, 1, 1, 1, 1, path), 0);
    EXPECT_TRUE(path.empty());
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 3, 0, path), 300);
    EXPECT_EQ(path, (Path{E, E, E}));
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 2, 2, path), 284);
    EXPECT_EQ(path, (Path{SE, SE}));
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 3, 1, path), 342);
    EXPECT_EQ(std::count(path.begin(), path.end(), SE), 1);
}

TEST(Grid, RoutesNeverCutCornersOrLeaveTheirTileType) {
    Path path;
    EXPECT_EQ(gridFromRows({"...", ".~.", "..."})->findShortestPath(0, 0, 0, 2, 2, path), 400);
    EXPECT_EQ(gridFromRows({".#", "#."})->findShortestPath(0, 0, 0, 1, 1, path), -1);
    EXPECT_EQ(gridFromRows({".#.", "..."})->findShortestPath(0, 0, 0, 2, 0, path), 400);
    EXPECT_EQ(path, (Path{S, E, E, N}));  // S E NE would cut the corner

    // A one-cell gap lets a 1x1 object through but not a 2x2 one.
    const GridPtr gap = gridFromRows({"...#....", "...#....", "........", "...#....", "...#...."});
    EXPECT_TRUE(gap->isConnected(0, 0, 0, 6, 0));
    EXPECT_FALSE(gap->isConnected(1, 0, 0, 6, 0));
    EXPECT_EQ(gap->findShortestPath(0, 0, 0, 6, 0, path), 768);
    EXPECT_EQ(gap->findShortestPath(1, 0, 0, 6, 0, path), -1);

    // Starts on water and on blocked cells search within their own type.
    const GridPtr lakes = gridFromRows({"~~~~~", "~...~", "~~~.~", "###.#", "#####"});
    EXPECT_EQ(lakes->findShortestPath(0, 0, 2, 4, 2, path), 800);
    EXPECT_EQ(lakes->findShortestPath(0, 0, 3, 4, 4, path), 442);
}

TEST(Grid, FailedSearchKeepsTheCallersPath) {
    const GridPtr grid = gridFromRows({".~", ".."});
    Path path{N, W};
    EXPECT_EQ(grid->findShortestPath(0, 0, 1, 1, 0, path), -1);  // goal on water
    EXPECT_EQ(path, (Path{N, W}));
    EXPECT_EQ(grid->findShortestPath(0, 0, 1, 1, 1, path), 100);
    EXPECT_EQ(grid->findShortestPath(0, 0, 0, 1, 0, path), -1);
    EXPECT_EQ(path, (Path{E}));
}

TEST(Grid, RecordingOverloadListsTheExpandedPositionsInOrder) {
    // A corridor: the search expands it cell by cell from the start to the goal,
    // and the recording changes neither the route nor the counts.
    const GridPtr grid = gridFromRows({"#####", "#...#", "#####"});
    Path plain, recorded;
    Grid::SearchStats stats;
    std::vector<int> expanded{99};
    EXPECT_EQ(grid->findShortestPath(0, 1, 1, 3, 1, plain), 200);
    EXPECT_EQ(grid->findShortestPath(0, 1, 1, 3, 1, recorded, stats, expanded), 200);
    EXPECT_EQ(recorded, plain);
    EXPECT_EQ(expanded, (std::vector<int>{99, 6, 7, 8}));
    EXPECT_EQ(stats.expanded, 3);

    // Unreachable: the whole start sector, each position once.
    const GridPtr open = gridFromRows({"...", "...", "..~"});
    expanded.clear();
    EXPECT_EQ(open->findShortestPath(0, 0, 0, 2, 2, recorded, stats, expanded), -1);
    std::sort(expanded.begin(), expanded.end());
    EXPECT_EQ(expanded, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(GridDeathTest, PreconditionsFailWithTheirConditionInOrder) {
    EXPECT_DEATH(Grid(5, -1), failed("width > 0 && height > 0"));
    EXPECT_DEATH(Grid(65536, 65536), "Assertion .*INT_MAX.* failed");
    const GridPtr grid = gridFromRows({"..~.", "....", "...."});
    EXPECT_DEATH(grid->getTile(4, 9), failed("x >= 0 && x < width"));
    EXPECT_DEATH(grid->getTile(0, 3), failed("y >= 0 && y < height"));
    EXPECT_DEATH(grid->setTile(9, 9, Grid::Tile(3)), failed("tile >= GROUND && tile <= BLOCKED"));
    EXPECT_DEATH(grid->setTile(4, 9, Grid::WATER), failed("x >= 0 && x < width"));
    EXPECT_DEATH(grid->setTile(0, -1, Grid::WATER), failed("y >= 0 && y < height"));

    EXPECT_DEATH(grid->isConnected(1, 3, 9, 9, 9), failed("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid->isConnected(0, 0, -1, 9, 9), failed("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid->isConnected(2, 0, 0, 2, 9), failed("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid->isConnected(2, 0, 0, 0, 1), failed("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid->isConnected(3, 0, 0, 0, 0), failed("size >= 0 && size <= 2"));

    Path path;
    EXPECT_DEATH(grid->findShortestPath(1, 3, 9, 9, 9, path), failed("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid->findShortestPath(0, 0, 3, 9, 9, path),
                 failed("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid->findShortestPath(1, 1, 0, 9, 9, path), failed("getTile(x,y) == tile"));
    EXPECT_DEATH(grid->findShortestPath(1, 0, 1, 3, 9, path), failed("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid->findShortestPath(1, 0, 1, 0, 2, path),
                 failed("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid->findShortestPath(-1, 0, 0, 0, 0, path), failed("size >= 0 && size <= 2"));
}

}  // namespace
