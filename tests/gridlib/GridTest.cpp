// What the random maps leave out: a huge sector, recording, preconditions.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "Grid.h"
#include "TestMaps.h"

namespace {

::testing::Matcher<const std::string&> failed(const std::string& condition) {
    return ::testing::HasSubstr("Assertion `" + condition + "' failed");
}

TEST(Grid, AMapOfOneSectorNeedsNoCallStack) {
    Grid grid(4096, 4096);
    for (int s = 0; s <= 2; ++s) EXPECT_TRUE(grid.isConnected(s, 0, 0, 4095 - s, 4095 - s));
}

TEST(Grid, RecordingOverloadListsTheExpandedPositionsInOrder) {
    // A corridor expanded cell by cell; recording changes neither the route nor the counts.
    const GridPtr grid = gridFromRows({"#####", "#...#", "#####"});
    Grid::Path plain, recorded;
    Grid::SearchStats stats;
    std::vector<int> expanded{99};
    EXPECT_EQ(grid->findShortestPath(0, 1, 1, 3, 1, plain), 200);
    EXPECT_EQ(grid->findShortestPath(0, 1, 1, 3, 1, recorded, stats, expanded), 200);
    EXPECT_EQ(recorded, plain);
    EXPECT_EQ(expanded, (std::vector<int>{99, 6, 7, 8}));
    EXPECT_EQ(stats.expanded, 3);
    // A start on the goal: no steps.
    EXPECT_EQ(grid->findShortestPath(0, 2, 1, 2, 1, plain), 0);
    EXPECT_TRUE(plain.empty());

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

    EXPECT_DEATH(grid->isConnected(1, 3, 9, 9, 9), failed("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid->isConnected(0, 0, -1, 9, 9), failed("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid->isConnected(2, 0, 0, 2, 9), failed("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid->isConnected(2, 0, 0, 0, 1), failed("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid->isConnected(3, 0, 0, 0, 0), failed("size >= 0 && size <= 2"));

    // The exact search shares the jump search's position checks; its own rows only.
    Grid::Path path;
    EXPECT_DEATH(grid->findShortestPath(1, 1, 0, 9, 9, path), failed("getTile(x,y) == tile"));
    EXPECT_DEATH(grid->findShortestPath(-1, 0, 0, 0, 0, path), failed("size >= 0 && size <= 2"));
}

}  // namespace
