#include <gtest/gtest.h>

#include "AssertionMatcher.h"
#include "Grid.h"
#include "MapMakers.h"
#include "PathChecks.h"

namespace {

using Path = Grid::Path;
constexpr auto N = Grid::N, E = Grid::E, SE = Grid::SE, S = Grid::S, W = Grid::W;

TEST(ShortestPath, StartEqualToGoalEmptiesThePath) {
    Grid grid(3, 3);
    Path path{E, E};
    EXPECT_EQ(grid.findShortestPath(0, 1, 1, 1, 1, path), 0);
    EXPECT_TRUE(path.empty());
}

TEST(ShortestPath, OpenGroundRoutes) {
    Grid grid(4, 4);
    Path path;
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 3, 0, path), 300);
    EXPECT_EQ(path, (Path{E, E, E}));
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 2, 2, path), 284);
    EXPECT_EQ(path, (Path{SE, SE}));
    EXPECT_EQ(grid.findShortestPath(0, 0, 0, 3, 1, path), 342);
    EXPECT_EQ(std::count(path.begin(), path.end(), SE), 1);
    EXPECT_EQ(std::count(path.begin(), path.end(), E), 2);
    EXPECT_TRUE(isValidRoute(grid, 0, 0, 0, 3, 1, path, 342));
}

TEST(ShortestPath, OtherTileTypeIsUnreachableAndPathIsKept) {
    auto grid = maps::fromRows({
        ".~",
        "..",
    });
    Path path{N, W};
    EXPECT_EQ(grid->findShortestPath(0, 0, 1, 1, 0, path), -1);
    EXPECT_EQ(path, (Path{N, W}));
    // A route found earlier survives a later failed search into the same Path.
    EXPECT_EQ(grid->findShortestPath(0, 0, 1, 1, 1, path), 100);
    EXPECT_EQ(grid->findShortestPath(0, 0, 0, 1, 0, path), -1);
    EXPECT_EQ(path, (Path{E}));
}

TEST(ShortestPath, CornersAreNeverCut) {
    auto pond = maps::fromRows({
        "...",
        ".~.",
        "...",
    });
    Path path;
    EXPECT_EQ(pond->findShortestPath(0, 0, 0, 2, 2, path), 400);
    EXPECT_TRUE(isValidRoute(*pond, 0, 0, 0, 2, 2, path, 400));

    auto pinch = maps::fromRows({
        ".#",
        "#.",
    });
    EXPECT_EQ(pinch->findShortestPath(0, 0, 0, 1, 1, path), -1);

    auto ledge = maps::fromRows({
        ".#.",
        "...",
    });
    EXPECT_EQ(ledge->findShortestPath(0, 0, 0, 2, 0, path), 400);  // S E NE would cut the corner
    EXPECT_EQ(path, (Path{S, E, E, N}));
}

TEST(ShortestPath, OneCellGapStopsALargerObject) {
    auto grid = maps::fromRows({
        "...#....",
        "...#....",
        "........",
        "...#....",
        "...#....",
    });
    Path path;
    EXPECT_EQ(grid->findShortestPath(0, 0, 0, 6, 0, path), 768);
    EXPECT_TRUE(isValidRoute(*grid, 0, 0, 0, 6, 0, path, 768));
    EXPECT_EQ(grid->findShortestPath(1, 0, 0, 6, 0, path), -1);
    EXPECT_EQ(grid->findShortestPath(1, 0, 0, 1, 3, path), 342);
}

TEST(ShortestPath, StartsOnWaterOrBlockedStayOnThatType) {
    auto grid = maps::fromRows({
        "~~~~~",
        "~...~",
        "~~~.~",
        "###.#",
        "#####",
    });
    Path path;
    EXPECT_EQ(grid->findShortestPath(0, 0, 2, 4, 2, path), 800);  // round the top, no diagonals
    EXPECT_TRUE(isValidRoute(*grid, 0, 0, 2, 4, 2, path, 800));
    EXPECT_EQ(grid->findShortestPath(0, 0, 3, 4, 3, path), 542);  // through the bottom row
    EXPECT_TRUE(isValidRoute(*grid, 0, 0, 3, 4, 3, path, 542));
    EXPECT_EQ(grid->findShortestPath(0, 0, 3, 4, 4, path), 442);
    EXPECT_EQ(grid->findShortestPath(0, 1, 1, 3, 3, path), 400);
    EXPECT_TRUE(isValidRoute(*grid, 0, 1, 1, 3, 3, path, 400));
}

using ShortestPathDeathTest = ::testing::Test;

TEST_F(ShortestPathDeathTest, PreconditionsInOrder) {
    auto grid = maps::fromRows({
        "..~.",
        "....",
        "....",
    });
    Path path;
    EXPECT_DEATH(grid->findShortestPath(1, 3, 9, 9, 9, path),
                 assertionFailure("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid->findShortestPath(0, 0, 3, 9, 9, path),
                 assertionFailure("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid->findShortestPath(1, 1, 0, 9, 9, path),
                 assertionFailure("getTile(x,y) == tile"));
    EXPECT_DEATH(grid->findShortestPath(1, 0, 1, 3, 9, path),
                 assertionFailure("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid->findShortestPath(1, 0, 1, 0, 2, path),
                 assertionFailure("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid->findShortestPath(3, 0, 0, 0, 0, path),
                 assertionFailure("size >= 0 && size <= 2"));
    // A goal of another tile type is no error, just unreachable.
    EXPECT_EQ(grid->findShortestPath(0, 0, 0, 2, 0, path), -1);
}

}  // namespace
