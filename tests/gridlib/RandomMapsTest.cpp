#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "Grid.h"
#include "MapMakers.h"
#include "PathChecks.h"
#include "ReferenceSearch.h"

namespace {

// Plain Dijkstra straight from the move rule: a step is allowed when the box
// it sweeps lies in the map and holds only the start's tile type. Shares
// nothing with the library but getTile.
std::vector<int> dijkstraCosts(const Grid& grid, int size, int sx, int sy) {
    const int w = grid.getWidth(), h = grid.getHeight();
    const Grid::Tile tile = grid.getTile(sx, sy);
    auto boxOk = [&](int x0, int y0, int x1, int y1) {
        if (x0 < 0 || y0 < 0 || x1 >= w || y1 >= h) return false;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (grid.getTile(x, y) != tile) return false;
        return true;
    };
    std::vector<int> dist(static_cast<size_t>(w) * h, INT_MAX);
    using Entry = std::pair<int, int>;  // cost, cell
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    dist[sy * w + sx] = 0;
    queue.emplace(0, sy * w + sx);
    while (!queue.empty()) {
        const auto [d, cell] = queue.top();
        queue.pop();
        if (d != dist[cell]) continue;
        const int x = cell % w, y = cell / w;
        for (int dir = 0; dir < 8; ++dir) {
            const int dx = (dir == 1 || dir == 2 || dir == 3) - (dir == 5 || dir == 6 || dir == 7);
            const int dy = (dir == 3 || dir == 4 || dir == 5) - (dir == 7 || dir == 0 || dir == 1);
            const int nx = x + dx, ny = y + dy;
            if (!boxOk(std::min(x, nx), std::min(y, ny), std::max(x, nx) + size,
                       std::max(y, ny) + size))
                continue;
            const int nd = d + (dx != 0 && dy != 0 ? 142 : 100);
            if (nd < dist[ny * w + nx]) {
                dist[ny * w + nx] = nd;
                queue.emplace(nd, ny * w + nx);
            }
        }
    }
    return dist;
}

struct MapCase {
    std::string name;
    std::function<GridPtr()> make;
};

class RandomMaps : public ::testing::TestWithParam<MapCase> {};

TEST_P(RandomMaps, CostsPathsAndConnectivityAgreeWithIndependentChecks) {
    const GridPtr grid = GetParam().make();
    const int w = grid->getWidth(), h = grid->getHeight();
    std::mt19937 rng(12345);
    int reached = 0, unreachable = 0;
    for (int size = 0; size <= 2; ++size) {
        std::vector<std::pair<int, int>> starts;  // positions with a uniform footprint
        for (int y = 0; y + size < h; ++y)
            for (int x = 0; x + size < w; ++x)
                if (grid->isConnected(size, x, y, x, y)) starts.emplace_back(x, y);
        for (int q = 0; q < 40 && !starts.empty(); ++q) {
            const auto [sx, sy] = starts[rng() % starts.size()];
            const std::vector<int> dist = dijkstraCosts(*grid, size, sx, sy);
            for (int g = 0; g < 5; ++g) {
                const int gx = static_cast<int>(rng() % (w - size));
                const int gy = static_cast<int>(rng() % (h - size));
                const int expected = dist[gy * w + gx] == INT_MAX ? -1 : dist[gy * w + gx];
                const Grid::Path before{Grid::NE};
                Grid::Path path = before, refPath = before;
                const int cost = grid->findShortestPath(size, sx, sy, gx, gy, path);
                SCOPED_TRACE("size " + std::to_string(size) + " from " + std::to_string(sx) + "," +
                             std::to_string(sy) + " to " + std::to_string(gx) + "," +
                             std::to_string(gy));
                ASSERT_EQ(cost, expected);
                EXPECT_EQ(grid->isConnected(size, sx, sy, gx, gy), cost >= 0);
                long refExpanded = 0;
                EXPECT_EQ(
                    reference::findShortestPath(*grid, size, sx, sy, gx, gy, refPath, &refExpanded),
                    cost);
                EXPECT_EQ(path, refPath);
                // The counting overload is the same search and counts what it closes.
                Grid::Path counted;
                Grid::SearchStats stats;
                EXPECT_EQ(grid->findShortestPath(size, sx, sy, gx, gy, counted, stats), cost);
                if (cost >= 0) {
                    EXPECT_EQ(counted, path);
                }
                EXPECT_EQ(stats.expanded, refExpanded);
                EXPECT_GE(stats.pushed, stats.expanded);
                if (cost >= 0) {
                    ++reached;
                    EXPECT_TRUE(isValidRoute(*grid, size, sx, sy, gx, gy, path, cost));
                } else {
                    ++unreachable;
                    EXPECT_EQ(path, before);
                }
            }
        }
    }
    // Every map family must exercise both outcomes, or the check proves little.
    EXPECT_GT(reached, 20);
    EXPECT_GT(unreachable, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Families, RandomMaps,
    ::testing::Values(MapCase{"noise", [] { return maps::noise(40, 30, 25, 10, 1); }},
                      MapCase{"sparse", [] { return maps::noise(50, 40, 8, 4, 2); }},
                      MapCase{"rooms", [] { return maps::rooms(60, 45, 9, 3); }},
                      MapCase{"maze1", [] { return maps::maze(41, 31, 1, 4); }},
                      MapCase{"maze3", [] { return maps::maze(49, 41, 3, 5); }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
