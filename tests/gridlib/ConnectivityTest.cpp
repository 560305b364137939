#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "AssertionMatcher.h"
#include "Grid.h"
#include "MapMakers.h"

namespace {

TEST(Connectivity, PositionReachesItselfExactlyWhenItsFootprintIsUniform) {
    auto grid = maps::fromRows({
        "..~",
        "...",
        "...",
    });
    EXPECT_TRUE(grid->isConnected(0, 2, 0, 2, 0));
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 0, 0));
    EXPECT_FALSE(grid->isConnected(1, 1, 0, 1, 0));  // footprint holds the water
    EXPECT_FALSE(grid->isConnected(2, 0, 0, 0, 0));
    // A mixed start stays unlabelled: asking again gives the same answer.
    EXPECT_FALSE(grid->isConnected(1, 1, 0, 1, 0));
    EXPECT_TRUE(grid->isConnected(1, 0, 1, 1, 1));
}

TEST(Connectivity, DiagonalContactDoesNotLink) {
    auto grid = maps::fromRows({
        ".~",
        "~.",
    });
    EXPECT_FALSE(grid->isConnected(0, 0, 0, 1, 1));
    EXPECT_FALSE(grid->isConnected(0, 1, 1, 0, 0));
    EXPECT_FALSE(grid->isConnected(0, 1, 0, 0, 1));
}

TEST(Connectivity, NarrowCorridorPassesOnlySmallObjects) {
    auto grid = maps::fromRows({
        "...#...",
        "...#...",
        ".......",
        "...#...",
    });
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 6, 0));
    EXPECT_FALSE(grid->isConnected(1, 0, 0, 5, 0));
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 1, 2));
}

TEST(Connectivity, AnyTileTypeFormsSectors) {
    auto grid = maps::fromRows({
        "###.~~",
        "###.~~",
        "...##.",
    });
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 1, 0));
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 2, 1));
    EXPECT_TRUE(grid->isConnected(1, 4, 0, 4, 0));
    EXPECT_FALSE(grid->isConnected(0, 0, 0, 3, 2));  // blocked wall pieces are apart
    EXPECT_TRUE(grid->isConnected(0, 0, 2, 2, 2));
    EXPECT_FALSE(grid->isConnected(0, 0, 2, 3, 0));  // ground halves touch diagonally only
    EXPECT_FALSE(grid->isConnected(0, 0, 2, 5, 2));
}

TEST(Connectivity, TileChangesRebuildTheLabels) {
    auto grid = maps::fromRows({
        ".....",
        "####.",
        ".....",
    });
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 0, 2));
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 4, 1));
    grid->setTile(4, 1, Grid::WATER);
    EXPECT_FALSE(grid->isConnected(0, 0, 0, 0, 2));
    EXPECT_FALSE(grid->isConnected(0, 0, 2, 0, 0));
    EXPECT_TRUE(grid->isConnected(0, 4, 1, 4, 1));
    grid->setTile(4, 1, Grid::GROUND);
    EXPECT_TRUE(grid->isConnected(0, 0, 2, 0, 0));
    // Changing a tile far away still leaves the answers right.
    grid->setTile(0, 1, Grid::GROUND);
    EXPECT_TRUE(grid->isConnected(0, 0, 0, 0, 1));
}

TEST(Connectivity, AnswersDoNotDependOnEarlierQueries) {
    const auto make = [] { return maps::noise(24, 18, 30, 15, 7); };
    std::vector<std::tuple<int, int, int, int, int>> queries;
    std::mt19937 rng(11);
    for (int i = 0; i < 400; ++i) {
        const int s = static_cast<int>(rng() % 3);
        const int lim = 24 - s, limY = 18 - s;
        queries.emplace_back(s, rng() % lim, rng() % limY, rng() % lim, rng() % limY);
    }
    std::vector<bool> fresh;
    for (auto [s, a, b, c, d] : queries) fresh.push_back(make()->isConnected(s, a, b, c, d));
    auto shared = make();
    for (size_t i = queries.size(); i-- > 0;) {
        auto [s, a, b, c, d] = queries[i];
        EXPECT_EQ(shared->isConnected(s, a, b, c, d), fresh[i]) << "query " << i;
    }
    // Connectivity is symmetric between uniform positions.
    for (size_t i = 0; i < queries.size(); ++i) {
        auto [s, a, b, c, d] = queries[i];
        if (shared->isConnected(s, c, d, c, d)) {
            EXPECT_EQ(shared->isConnected(s, c, d, a, b), fresh[i]) << "query " << i;
        }
    }
}

TEST(Connectivity, WholeLargeMapIsOneSectorForEverySize) {
    Grid grid(4096, 4096);
    for (int s = 0; s <= 2; ++s) {
        EXPECT_TRUE(grid.isConnected(s, 0, 0, 4095 - s, 4095 - s)) << "size " << s;
        EXPECT_TRUE(grid.isConnected(s, 4095 - s, 0, 0, 4095 - s)) << "size " << s;
    }
}

using ConnectivityDeathTest = ::testing::Test;

TEST_F(ConnectivityDeathTest, PreconditionsInOrder) {
    Grid grid(5, 4);
    EXPECT_TRUE(grid.isConnected(1, 3, 2, 3, 2));  // x+size = width-1 is the last valid one
    EXPECT_DEATH(grid.isConnected(1, 4, 9, 9, 9), assertionFailure("x1 >= 0 && x1+size < width"));
    EXPECT_DEATH(grid.isConnected(0, 0, -1, 9, 9), assertionFailure("y1 >= 0 && y1+size < height"));
    EXPECT_DEATH(grid.isConnected(2, 0, 0, 3, 9), assertionFailure("x2 >= 0 && x2+size < width"));
    EXPECT_DEATH(grid.isConnected(2, 0, 0, 0, 2), assertionFailure("y2 >= 0 && y2+size < height"));
    EXPECT_DEATH(grid.isConnected(3, 0, 0, 0, 0), assertionFailure("size >= 0 && size <= 2"));
    EXPECT_DEATH(grid.isConnected(-1, 0, 0, 0, 0), assertionFailure("size >= 0 && size <= 2"));
}

}  // namespace
