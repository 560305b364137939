// Both searches against a plain Dijkstra and the plain search, across tile changes.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <queue>
#include <random>

#include "Grid.h"
#include "ReferenceSearch.h"
#include "TestMaps.h"

namespace {

// Cheapest cost from (sx, sy) to every position; INT_MAX where unreachable.
std::vector<int> dijkstra(const Grid& grid, int size, int sx, int sy) {
    const int w = grid.getWidth();
    const Grid::Tile tile = grid.getTile(sx, sy);
    std::vector<int> dist(std::size_t(w) * grid.getHeight(), INT_MAX);
    using Entry = std::pair<int, int>;  // cost, cell
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    queue.emplace(dist[sy * w + sx] = 0, sy * w + sx);
    while (!queue.empty()) {
        const auto [d, cell] = queue.top();
        queue.pop();
        if (d != dist[cell]) continue;
        const int x = cell % w, y = cell / w;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int next = (y + dy) * w + x + dx, nd = d + (dx && dy ? 142 : 100);
                if ((dx || dy) && stepAllowed(grid, tile, size, x, y, x + dx, y + dy) &&
                    nd < dist[next])
                    queue.emplace(dist[next] = nd, next);
            }
    }
    return dist;
}

class RandomMaps : public ::testing::TestWithParam<NamedMap> {};

TEST_P(RandomMaps, AgreeWithIndependentChecks) {
    const GridPtr grid = gridFromRows(GetParam().rows);
    const int w = grid->getWidth(), h = grid->getHeight();
    std::mt19937 rng(12345);
    int reached = 0, unreachable = 0;
    // One grid for every size, tiles changed between rounds: stale labels or bitmaps show.
    for (int round = 0; round < 2; ++round) {
        for (int size = 0; size <= 2; ++size) {
            std::vector<std::pair<int, int>> starts;  // uniform footprints
            for (int y = 0; y + size < h; ++y)
                for (int x = 0; x + size < w; ++x)
                    if (grid->isConnected(size, x, y, x, y)) starts.emplace_back(x, y);
            ASSERT_TRUE(size > 0 || starts.size() == std::size_t(w * h));  // blocked ones too
            for (int q = 0; q < 30 && !starts.empty(); ++q) {
                const auto [sx, sy] = starts[rng() % starts.size()];
                const std::vector<int> dist = dijkstra(*grid, size, sx, sy);
                for (int g = 0; g < 5; ++g) {
                    const int gx = int(rng() % (w - size)), gy = int(rng() % (h - size));
                    SCOPED_TRACE(testing::Message()
                                 << size << ": " << sx << "," << sy << " to " << gx << "," << gy);
                    const int best = dist[gy * w + gx];
                    Grid::Path path{Grid::NE}, refPath, jumpPath{Grid::NE};
                    const int cost = grid->findShortestPath(size, sx, sy, gx, gy, path);
                    ASSERT_EQ(cost, best == INT_MAX ? -1 : best);
                    ASSERT_EQ(grid->findJumpPointPath(size, sx, sy, gx, gy, jumpPath), cost);
                    EXPECT_EQ(grid->isConnected(size, sx, sy, gx, gy), cost >= 0);
                    if (cost < 0) {
                        ++unreachable;
                        EXPECT_EQ(path, Grid::Path{Grid::NE});
                        EXPECT_EQ(jumpPath, Grid::Path{Grid::NE});
                        continue;
                    }
                    ++reached;
                    EXPECT_EQ(reference::findShortestPath(*grid, size, sx, sy, gx, gy, refPath),
                              cost);
                    EXPECT_EQ(path, refPath);
                    EXPECT_EQ(routeProblem(*grid, size, sx, sy, gx, gy, path, cost), "");
                    EXPECT_EQ(routeProblem(*grid, size, sx, sy, gx, gy, jumpPath, cost), "");
                }
            }
        }
        for (int change = 0; change < 40; ++change)
            grid->setTile(int(rng() % unsigned(w)), int(rng() % unsigned(h)),
                          Grid::Tile(rng() % 3));
    }
    EXPECT_GT(reached, 20);
    EXPECT_GT(unreachable, 5);
}

// The search finds a cell's row without dividing: cell indices well beyond 2^16.
TEST(WideMaps, AgreeWithThePlainSearch) {
    int searched = 0;
    for (const auto& [w, h] : {std::pair{40000, 5}, {65537, 4}, {99991, 3}}) {
        const GridPtr grid = gridFromRows(noiseRows(w, h, 2, 0, std::uint32_t(w)));
        std::mt19937 rng{std::uint32_t(h)};
        for (int q = 0; q < 8; ++q) {
            const int sx = w - 3000 + int(rng() % 1000), sy = int(rng() % h);
            const int gx = sx + 1000 + int(rng() % 1000), gy = int(rng() % h);
            if (!grid->isConnected(0, sx, sy, gx, gy)) continue;
            SCOPED_TRACE(::testing::Message() << w << "x" << h << " query " << q);
            Grid::Path path, refPath;
            EXPECT_EQ(grid->findShortestPath(0, sx, sy, gx, gy, path),
                      reference::findShortestPath(*grid, 0, sx, sy, gx, gy, refPath));
            EXPECT_EQ(path, refPath);
            ++searched;
        }
    }
    EXPECT_GT(searched, 10);
}

INSTANTIATE_TEST_SUITE_P(Families, RandomMaps, ::testing::ValuesIn(mapFamilies()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
