// The jump point search against the exact search on sides around the word size and along
// the edges, its recording, and its preconditions.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "Grid.h"
#include "TestMaps.h"

namespace {

// Equal costs, a route that replays at that cost, and `path` untouched when there is none.
void expectSameCost(const Grid& grid, int size, int x1, int y1, int x2, int y2) {
    SCOPED_TRACE(testing::Message() << size << ": " << x1 << "," << y1 << "->" << x2 << "," << y2);
    Grid::Path exactPath, jumpPath{Grid::SW};
    const int exact = grid.findShortestPath(size, x1, y1, x2, y2, exactPath);
    const int jump = grid.findJumpPointPath(size, x1, y1, x2, y2, jumpPath);
    ASSERT_EQ(jump, exact);
    if (jump < 0)
        EXPECT_EQ(jumpPath, Grid::Path{Grid::SW});
    else
        EXPECT_EQ(routeProblem(grid, size, x1, y1, x2, y2, jumpPath, jump), "");
}

// Scans take 54 positions a window and bitmaps are built 64 at a time: sides around those.
TEST(JumpPointSearch, SidesAroundTheWordSizeAndAlongTheEdges) {
    const int sides[] = {1, 2, 55, 56, 57, 63, 64, 65, 127, 128, 129};
    std::mt19937 rng(99);
    for (const int w : sides) {
        for (const int h : sides) {
            const GridPtr open = std::make_unique<Grid>(w, h);
            const GridPtr noisy = gridFromRows(noiseRows(w, h, 12, 0, std::uint32_t(w * 1000 + h)));
            for (int size = 0; size <= 2 && size < w && size < h; ++size) {
                const int right = w - 1 - size, bottom = h - 1 - size;
                const int cs[4][2] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
                for (int c = 0; c < 4; ++c) {
                    const auto *a = cs[c], *b = cs[(c + 1) % 4], *d = cs[(c + 2) % 4];
                    expectSameCost(*open, size, a[0], a[1], b[0], b[1]);
                    expectSameCost(*open, size, b[0], b[1], a[0], a[1]);
                    expectSameCost(*open, size, a[0], a[1], d[0], d[1]);
                }
                std::vector<std::pair<int, int>> starts;  // uniform footprints
                for (int y = 0; y + size < h; ++y)
                    for (int x = 0; x + size < w; ++x)
                        if (noisy->isConnected(size, x, y, x, y)) starts.emplace_back(x, y);
                for (int q = 0; q < 6 && !starts.empty(); ++q) {
                    const auto [sx, sy] = starts[rng() % starts.size()];
                    const auto [gx, gy] = starts[rng() % starts.size()];
                    expectSameCost(*noisy, size, sx, sy, gx, gy);
                }
            }
        }
    }
}

TEST(JumpPointSearch, CountsAndRecordsItsJumpPoints) {
    const GridPtr grid = gridFromRows(
        {"..........", ".####.....", ".#........", ".#..~~....", "..........", "......#..."});
    Grid::Path plain, recorded;
    Grid::SearchStats stats;
    std::vector<int> expanded{-5};
    const int cost = grid->findJumpPointPath(0, 0, 5, 9, 0, plain);
    EXPECT_EQ(grid->findJumpPointPath(0, 0, 5, 9, 0, recorded, stats, expanded), cost);
    EXPECT_EQ(recorded, plain);
    // Appended, from the start to the goal: a handful of jump points, not the map.
    ASSERT_EQ(expanded.size(), std::size_t(stats.expanded) + 1);
    EXPECT_EQ(expanded[1], 5 * 10 + 0);
    EXPECT_EQ(expanded.back(), 9);
    EXPECT_LT(stats.expanded, 20);
    // Start on the goal: no steps. Unreachable: -1 and no search.
    EXPECT_EQ(grid->findJumpPointPath(0, 3, 4, 3, 4, recorded), 0);
    EXPECT_TRUE(recorded.empty());
    Grid::SearchStats none;
    EXPECT_EQ(grid->findJumpPointPath(0, 0, 0, 4, 3, plain, none), -1);
    EXPECT_EQ(none.expanded + none.pushed, 0);
}

TEST(JumpPointSearchDeathTest, PreconditionsFailLikeTheExactSearch) {
    const GridPtr grid = gridFromRows({"..~.", "....", "...."});
    const auto jump = [&](int size, int x1, int y1, int x2, int y2) {
        Grid::Path path;
        grid->findJumpPointPath(size, x1, y1, x2, y2, path);
    };
    const auto failed = [](const std::string& condition) {
        return testing::HasSubstr("Assertion `" + condition + "' failed");
    };
    EXPECT_DEATH(jump(1, 3, 9, 9, 9), failed("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(jump(0, 0, 3, 9, 9), failed("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(jump(1, 1, 0, 9, 9), failed("getTile(x,y) == tile"));
    EXPECT_DEATH(jump(1, 0, 1, 3, 9), failed("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(jump(1, 0, 1, 0, 2), failed("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(jump(3, 0, 0, 0, 0), failed("size >= 0 && size <= 2"));
}

}  // namespace
