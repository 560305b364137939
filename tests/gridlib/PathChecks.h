#pragma once

#include <gtest/gtest.h>

#include "Grid.h"

// Replays `path` from (x, y) and checks every step: the whole box the object
// sweeps stays on the start's tile type (so no corner is cut), the steps add
// up to `cost`, and the walk ends at the goal.
inline ::testing::AssertionResult isValidRoute(const Grid& grid, int size, int x, int y, int gx,
                                               int gy, const Grid::Path& path, int cost) {
    const Grid::Tile tile = grid.getTile(x, y);
    auto boxIsTile = [&](int x0, int y0, int x1, int y1) {
        if (x0 < 0 || y0 < 0 || x1 >= grid.getWidth() || y1 >= grid.getHeight()) return false;
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx)
                if (grid.getTile(cx, cy) != tile) return false;
        return true;
    };
    int sum = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const int nx = x + Grid::stepDx(path[i]), ny = y + Grid::stepDy(path[i]);
        if (!boxIsTile(std::min(x, nx), std::min(y, ny), std::max(x, nx) + size,
                       std::max(y, ny) + size))
            return ::testing::AssertionFailure() << "step " << i << " leaves the tile type";
        sum += Grid::stepCost(path[i]);
        x = nx;
        y = ny;
    }
    if (x != gx || y != gy) return ::testing::AssertionFailure() << "ends at " << x << "," << y;
    if (sum != cost)
        return ::testing::AssertionFailure() << "steps cost " << sum << ", not " << cost;
    return ::testing::AssertionSuccess();
}
