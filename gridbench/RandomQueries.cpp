#include "RandomQueries.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

std::int64_t octileDistance(int dx, int dy) {
    dx = std::abs(dx);
    dy = std::abs(dy);
    return Grid::DIAGONAL_COST * std::int64_t(std::min(dx, dy)) +
           Grid::CARDINAL_COST * std::int64_t(std::max(dx, dy) - std::min(dx, dy));
}

bool standsOnOneOpenTile(const Grid& grid, int size, int x, int y) {
    const Grid::Tile tile = grid.getTile(x, y);
    if (tile == Grid::BLOCKED) return false;
    for (int i = 0; i <= size; ++i) {
        for (int j = 0; j <= size; ++j) {
            if (grid.getTile(x + j, y + i) != tile) return false;
        }
    }
    return true;
}

}  // namespace

std::vector<Query> makeRandomQueries(const Grid& grid, int size, int count, std::uint32_t seed) {
    const int width = grid.getWidth();
    const int height = grid.getHeight();
    std::vector<int> places;
    for (int y = 0; y + size < height; ++y) {
        for (int x = 0; x + size < width; ++x) {
            if (standsOnOneOpenTile(grid, size, x, y)) places.push_back(y * width + x);
        }
    }
    std::vector<Query> queries;
    if (places.empty()) return queries;

    const std::int64_t longest =
        std::max<std::int64_t>(1, octileDistance(width - 1 - size, height - 1 - size));
    std::mt19937 rng(seed);
    const auto draw = [&] { return places[rng() % places.size()]; };
    for (int i = 0; i < count; ++i) {
        Query q;
        const int start = draw();
        const int goal = draw();
        q.startX = start % width;
        q.startY = start / width;
        q.goalX = goal % width;
        q.goalY = goal / width;
        const std::int64_t d = octileDistance(q.goalX - q.startX, q.goalY - q.startY);
        q.bucket = int(std::min<std::int64_t>(9, 10 * d / longest));
        queries.push_back(q);
    }
    return queries;
}
