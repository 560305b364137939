#include "GridProbe.h"

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

bool footprintIsOneTile(const Grid& grid, int size, int x, int y) {
    const Grid::Tile tile = grid.getTile(x, y);
    for (int dy = 0; dy <= size; ++dy)
        for (int dx = 0; dx <= size; ++dx)
            if (grid.getTile(x + dx, y + dy) != tile) return false;
    return true;
}

void expect(bool condition) {
    if (!condition) std::abort();
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
        if (!footprintIsOneTile(grid, objectSize, x1, y1)) {
            expect(!connected);
            continue;
        }
        Grid::Path path;
        const int cost = grid.findShortestPath(objectSize, x1, y1, x2, y2, path);
        expect(connected == (cost >= 0));
        int x = x1, y = y1, sum = 0;
        for (Grid::Direction d : path) {
            x += Grid::stepDx(d);
            y += Grid::stepDy(d);
            sum += Grid::stepCost(d);
        }
        if (cost >= 0) expect(x == x2 && y == y2 && sum == cost);
    }
}
