// The jump point search against the exact search where the random families
// do not reach: maps whose sides lie around the bitmaps' word size, routes
// along the map's edges and a real benchmark map; its counts and recording,
// and its preconditions.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Grid.h"
#include "MapLoader.h"
#include "ScenarioReader.h"
#include "TestMaps.h"

namespace {

// One query through both searches: equal costs, a route that replays to the
// goal at that cost, and `path` untouched when there is none.
void expectSameCost(const Grid& grid, int size, int x1, int y1, int x2, int y2) {
    SCOPED_TRACE(::testing::Message()
                 << "size " << size << " from " << x1 << "," << y1 << " to " << x2 << "," << y2);
    Grid::Path exactPath, jumpPath{Grid::SW};
    const int exact = grid.findShortestPath(size, x1, y1, x2, y2, exactPath);
    const int jump = grid.findJumpPointPath(size, x1, y1, x2, y2, jumpPath);
    ASSERT_EQ(jump, exact);
    if (jump < 0)
        EXPECT_EQ(jumpPath, Grid::Path{Grid::SW});
    else
        EXPECT_EQ(routeProblem(grid, size, x1, y1, x2, y2, jumpPath, jump), "");
}

// Positions where an object of `size` stands on one tile type.
std::vector<std::pair<int, int>> standingPositions(const Grid& grid, int size) {
    std::vector<std::pair<int, int>> positions;
    for (int y = 0; y + size < grid.getHeight(); ++y)
        for (int x = 0; x + size < grid.getWidth(); ++x)
            if (grid.isConnected(size, x, y, x, y)) positions.emplace_back(x, y);
    return positions;
}

// Straight moves are scanned 54 positions a window, diagonal ones carry their
// windows along, and the bitmaps keep a clear bit after each row and are
// built 64 rows and columns at a time: sides around those lengths, single
// rows and columns, and routes along every edge, where scans meet the border.
TEST(JumpPointSearch, SidesAroundTheWordSizeAndAlongTheEdges) {
    const int sides[] = {1, 2, 55, 56, 57, 63, 64, 65, 127, 128, 129};
    std::mt19937 rng(99);
    for (const int w : sides) {
        for (const int h : sides) {
            const GridPtr open = std::make_unique<Grid>(w, h);
            const GridPtr noisy = gridFromRows(noiseRows(w, h, 12, 0, std::uint32_t(w * 1000 + h)));
            for (int size = 0; size <= 2; ++size) {
                if (size >= w || size >= h) continue;
                const int right = w - 1 - size, bottom = h - 1 - size;
                // Around the border both ways, and across.
                const int corners[4][2] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
                for (int c = 0; c < 4; ++c) {
                    const auto* a = corners[c];
                    const auto* b = corners[(c + 1) % 4];
                    expectSameCost(*open, size, a[0], a[1], b[0], b[1]);
                    expectSameCost(*open, size, b[0], b[1], a[0], a[1]);
                    expectSameCost(*open, size, a[0], a[1], corners[(c + 2) % 4][0],
                                   corners[(c + 2) % 4][1]);
                }
                const auto starts = standingPositions(*noisy, size);
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
    // Appended after what was there, from the start to the goal: a handful
    // of jump points, not the map.
    ASSERT_EQ(expanded.size(), std::size_t(stats.expanded) + 1);
    EXPECT_EQ(expanded[1], 5 * 10 + 0);
    EXPECT_EQ(expanded.back(), 9);
    EXPECT_LT(stats.expanded, 20);

    // Start on the goal: no steps. Unreachable, water from ground: -1 before
    // any search, the path and the counts untouched.
    EXPECT_EQ(grid->findJumpPointPath(0, 3, 4, 3, 4, recorded), 0);
    EXPECT_TRUE(recorded.empty());
    const Grid::Path route = plain;
    Grid::SearchStats none;
    EXPECT_EQ(grid->findJumpPointPath(0, 0, 0, 4, 3, plain, none), -1);
    EXPECT_EQ(plain, route);
    EXPECT_EQ(none.expanded + none.pushed, 0);
}

::testing::Matcher<const std::string&> failed(const std::string& condition) {
    return ::testing::HasSubstr("Assertion `" + condition + "' failed");
}

TEST(JumpPointSearchDeathTest, PreconditionsFailLikeTheExactSearch) {
    const GridPtr grid = gridFromRows({"..~.", "....", "...."});
    Grid::Path path;
    EXPECT_DEATH(grid->findJumpPointPath(1, 3, 9, 9, 9, path),
                 failed("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid->findJumpPointPath(0, 0, 3, 9, 9, path),
                 failed("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid->findJumpPointPath(1, 1, 0, 9, 9, path), failed("getTile(x,y) == tile"));
    EXPECT_DEATH(grid->findJumpPointPath(1, 0, 1, 3, 9, path),
                 failed("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid->findJumpPointPath(1, 0, 1, 0, 2, path),
                 failed("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid->findJumpPointPath(3, 0, 0, 0, 0, path), failed("size >= 0 && size <= 2"));
}

// A public benchmark map, when the machine has it: every size on a slice of
// its scenario.
TEST(JumpPointSearch, CostsEqualTheExactSearchOnARealMap) {
    const std::filesystem::path dir = SHARED_MAPS_DIR;
    const std::filesystem::path scen = dir / "AR0304SR.map.scen";
    if (!std::filesystem::exists(scen)) GTEST_SKIP() << "no " << scen;
    std::ostringstream messages;
    const GridPtr grid = loadMapFile((dir / "AR0304SR.map").c_str(), messages);
    ASSERT_TRUE(grid) << messages.str();
    std::ifstream stream(scen);
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(parseScenario(stream, scenario, error)) << error;
    int compared = 0;
    for (std::size_t i = 0; i < scenario.entries.size(); i += 25) {
        const Scenario::Entry& e = scenario.entries[i];
        for (int size = 0; size <= 2; ++size) {
            if (!grid->isConnected(size, e.startX, e.startY, e.startX, e.startY) ||
                e.goalX + size >= grid->getWidth() || e.goalY + size >= grid->getHeight())
                continue;
            expectSameCost(*grid, size, e.startX, e.startY, e.goalX, e.goalY);
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
}

}  // namespace
