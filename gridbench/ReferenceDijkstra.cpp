#include "ReferenceDijkstra.h"

#include <climits>
#include <functional>
#include <queue>
#include <utility>

ReferenceDijkstra::ReferenceDijkstra(const Grid& grid, int size)
    : width(grid.getWidth()),
      height(grid.getHeight()),
      stand(std::size_t(width) * height, -1),
      dist(std::size_t(width) * height, INT_MAX) {
    for (int y = 0; y + size < height; ++y) {
        for (int x = 0; x + size < width; ++x) {
            const int tile = grid.getTile(x, y);
            bool uniform = true;
            for (int i = 0; i <= size && uniform; ++i) {
                for (int j = 0; j <= size && uniform; ++j) {
                    uniform = grid.getTile(x + j, y + i) == tile;
                }
            }
            if (uniform) stand[std::size_t(y) * width + x] = std::int8_t(tile);
        }
    }
}

int ReferenceDijkstra::standTile(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    return stand[std::size_t(y) * width + x];
}

bool ReferenceDijkstra::stepAllowed(int x, int y, Grid::Direction d, int tile) const {
    const int dx = Grid::stepDx(d);
    const int dy = Grid::stepDy(d);
    if (standTile(x + dx, y + dy) != tile) return false;
    if (dx != 0 && dy != 0) {
        return standTile(x + dx, y) == tile && standTile(x, y + dy) == tile;
    }
    return true;
}

int ReferenceDijkstra::cost(int x1, int y1, int x2, int y2) const {
    const int tile = standTile(x1, y1);
    if (tile < 0 || standTile(x2, y2) != tile) return -1;

    using Entry = std::pair<int, int>;  // cost so far, cell index
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    const int start = y1 * width + x1;
    const int goal = y2 * width + x2;
    dist[start] = 0;
    touched.push_back(start);
    open.push({0, start});
    int result = -1;
    while (!open.empty()) {
        const auto [d, index] = open.top();
        open.pop();
        if (d > dist[index]) continue;  // an outdated entry
        if (index == goal) {
            result = d;
            break;
        }
        const int x = index % width;
        const int y = index / width;
        for (int k = 0; k < 8; ++k) {
            const auto dir = static_cast<Grid::Direction>(k);
            if (!stepAllowed(x, y, dir, tile)) continue;
            const int next = (y + Grid::stepDy(dir)) * width + x + Grid::stepDx(dir);
            const int nd = d + ((k & 1) ? 142 : 100);
            if (nd < dist[next]) {
                if (dist[next] == INT_MAX) touched.push_back(next);
                dist[next] = nd;
                open.push({nd, next});
            }
        }
    }
    for (int index : touched) dist[index] = INT_MAX;
    touched.clear();
    return result;
}
