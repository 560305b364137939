#include <gtest/gtest.h>

#include "AssertionMatcher.h"
#include "Grid.h"

namespace {

TEST(GridModel, NewGridIsAllGround) {
    Grid one(1, 1);
    EXPECT_EQ(one.getWidth(), 1);
    EXPECT_EQ(one.getHeight(), 1);
    EXPECT_EQ(one.getTile(0, 0), Grid::GROUND);

    Grid wide(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(wide.getTile(x, y), Grid::GROUND);
}

TEST(GridModel, SetTileChangesOnlyThatCell) {
    Grid grid(3, 2);
    grid.setTile(2, 1, Grid::WATER);
    grid.setTile(1, 0, Grid::BLOCKED);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const Grid::Tile expected = (x == 2 && y == 1)   ? Grid::WATER
                                        : (x == 1 && y == 0) ? Grid::BLOCKED
                                                             : Grid::GROUND;
            EXPECT_EQ(grid.getTile(x, y), expected) << x << "," << y;
        }
}

TEST(GridModel, DirectionTablesRunClockwiseFromNorth) {
    const int dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int dy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (int d = Grid::N; d <= Grid::NW; ++d) {
        const auto dir = static_cast<Grid::Direction>(d);
        EXPECT_EQ(Grid::stepDx(dir), dx[d]);
        EXPECT_EQ(Grid::stepDy(dir), dy[d]);
        EXPECT_EQ(Grid::stepCost(dir), d % 2 ? 142 : 100);
    }
}

using GridModelDeathTest = ::testing::Test;

TEST_F(GridModelDeathTest, ConstructorRejectsEmptyAndOversizedMaps) {
    EXPECT_DEATH(Grid(5, -1), assertionFailure("width > 0 && height > 0"));
    EXPECT_DEATH(Grid(0, 5), assertionFailure("width > 0 && height > 0"));
    EXPECT_DEATH(Grid(65536, 65536), "Assertion .*INT_MAX.* failed");
}

TEST_F(GridModelDeathTest, GetTileChecksXThenY) {
    Grid grid(4, 3);
    EXPECT_DEATH(grid.getTile(4, 0), assertionFailure("x >= 0 && x < width"));
    EXPECT_DEATH(grid.getTile(0, 3), assertionFailure("y >= 0 && y < height"));
    EXPECT_DEATH(grid.getTile(-1, -1), assertionFailure("x >= 0 && x < width"));
    EXPECT_EQ(grid.getTile(3, 2), Grid::GROUND);
}

TEST_F(GridModelDeathTest, SetTileChecksTileFirstAndChangesNothing) {
    Grid grid(4, 3);
    const auto bad = static_cast<Grid::Tile>(3);
    EXPECT_DEATH(grid.setTile(9, 9, bad), assertionFailure("tile >= GROUND && tile <= BLOCKED"));
    EXPECT_DEATH(grid.setTile(4, 9, Grid::WATER), assertionFailure("x >= 0 && x < width"));
    EXPECT_DEATH(grid.setTile(0, -1, Grid::WATER), assertionFailure("y >= 0 && y < height"));
}

}  // namespace
