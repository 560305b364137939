#include "GridProbe.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kQueries = 3;

// Reads bytes from the end of the input backwards, so that the questions
// change with the last pixels or rows while the header stays readable.
class ByteSource {
  public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data(data), left(size) {}
    unsigned next() { return left > 0 ? data[--left] : 0; }
    int below(int limit) {
        const unsigned high = next();
        return int(((high << 8) | next()) % unsigned(limit));
    }

  private:
    const std::uint8_t* data;
    std::size_t left;
};

void expect(bool condition) {
    if (!condition) std::abort();
}

// Whether every cell of the box [x0, x1] x [y0, y1] lies on the map and has `tile`.
bool boxIsTile(const Grid& grid, int x0, int y0, int x1, int y1, Grid::Tile tile) {
    if (x0 < 0 || y0 < 0 || x1 >= grid.getWidth() || y1 >= grid.getHeight()) return false;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (grid.getTile(x, y) != tile) return false;
    return true;
}

// Walks `path` from (x1, y1) and checks that it ends at (x2, y2) for `cost`
// with every step legal: the box the object sweeps, its footprint before and
// after the step, stays on the start's tile. This is what keeps corners uncut.
bool routeReplays(const Grid& grid, int size, int x1, int y1, int x2, int y2,
                  const Grid::Path& path, int cost) {
    const Grid::Tile tile = grid.getTile(x1, y1);
    int x = x1, y = y1, sum = 0;
    for (Grid::Direction d : path) {
        const int nx = x + Grid::stepDx(d), ny = y + Grid::stepDy(d);
        if (!boxIsTile(grid, std::min(x, nx), std::min(y, ny), std::max(x, nx) + size,
                       std::max(y, ny) + size, tile))
            return false;
        x = nx;
        y = ny;
        sum += Grid::stepCost(d);
    }
    return x == x2 && y == y2 && sum == cost;
}

}  // namespace

void probeGrid(const Grid& grid, const std::uint8_t* data, std::size_t size) {
    ByteSource bytes(data, size);
    for (int i = 0; i < kQueries; ++i) {
        const int objectSize = int(bytes.next() % 3);
        // Loaded maps are at least 3 x 3, so every object size has a place.
        const int spanX = grid.getWidth() - objectSize;
        const int spanY = grid.getHeight() - objectSize;
        const int x1 = bytes.below(spanX), y1 = bytes.below(spanY);
        const int x2 = bytes.below(spanX), y2 = bytes.below(spanY);
        const bool connected = grid.isConnected(objectSize, x1, y1, x2, y2);
        if (!boxIsTile(grid, x1, y1, x1 + objectSize, y1 + objectSize, grid.getTile(x1, y1))) {
            expect(!connected);
            continue;
        }
        Grid::Path path;
        const int cost = grid.findShortestPath(objectSize, x1, y1, x2, y2, path);
        expect(connected == (cost >= 0));
        // The jump search must find a route of the same cost, perhaps another one.
        Grid::Path jumpPath;
        const int jumpCost = grid.findJumpPointPath(objectSize, x1, y1, x2, y2, jumpPath);
        expect(jumpCost == cost);
        if (cost >= 0) {
            expect(routeReplays(grid, objectSize, x1, y1, x2, y2, path, cost));
            expect(routeReplays(grid, objectSize, x1, y1, x2, y2, jumpPath, cost));
        }
    }
}
