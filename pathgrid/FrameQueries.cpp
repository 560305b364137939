#include "FrameQueries.h"

#include <chrono>

namespace {

// The route from `search`, with its statistics and, given `cells`, the
// positions it expanded; only the recording overloads pay for the recording.
int findRoute(const Grid& grid, RouteSearch search, int size, int x0, int y0, int x1, int y1,
              Grid::Path& path, Grid::SearchStats& stats, std::vector<int>* cells) {
    if (search == RouteSearch::JUMP) {
        return cells ? grid.findJumpPointPath(size, x0, y0, x1, y1, path, stats, *cells)
                     : grid.findJumpPointPath(size, x0, y0, x1, y1, path, stats);
    }
    return cells ? grid.findShortestPath(size, x0, y0, x1, y1, path, stats, *cells)
                 : grid.findShortestPath(size, x0, y0, x1, y1, path, stats);
}

}  // namespace

const FrameQueries::PathAnswer& FrameQueries::path(int size, int x0, int y0, int x1, int y1,
                                                   bool record) {
    const PathKey key{routeSearch, size, x0, y0, x1, y1};
    if (pathKey == key && (answer.recorded || !record)) return answer;
    pathKey = key;
    ++pathGeneration;
    answer = PathAnswer{};
    answer.recorded = record;  // without a search, nothing was expanded
    answer.connected = grid.isConnected(size, x0, y0, x1, y1);
    if (!answer.connected) return answer;

    ++searches;
    std::vector<int> cells;
    const auto begin = std::chrono::steady_clock::now();
    answer.cost = findRoute(grid, routeSearch, size, x0, y0, x1, y1, answer.path, answer.stats,
                            record ? &cells : nullptr);
    const auto end = std::chrono::steady_clock::now();
    answer.searchMs = std::chrono::duration<double, std::milli>(end - begin).count();
    if (record) {
        answer.expanded.assign(static_cast<std::size_t>(grid.getWidth()) * grid.getHeight(), false);
        for (int cell : cells) answer.expanded[cell] = true;
    }
    return answer;
}

void FrameQueries::setReachFrom(int size, int px, int py) {
    if (haveReach && size == reachSize) {
        // Same sector, same set; and a position that is not uniform reaches
        // nothing, like the one before if it was not uniform either.
        const bool wasUniform = grid.isConnected(size, reachX, reachY, reachX, reachY);
        if (wasUniform ? grid.isConnected(size, reachX, reachY, px, py)
                       : !grid.isConnected(size, px, py, px, py)) {
            reachX = px;
            reachY = py;
            return;
        }
    }
    haveReach = true;
    reachSize = size;
    reachX = px;
    reachY = py;
    ++reachGeneration;
}

bool FrameQueries::reaches(int x, int y) const {
    return grid.isConnected(reachSize, reachX, reachY, x, y);
}

const FrameQueries::PathAnswer* FrameQueries::lastPath(bool record) {
    if (!pathKey) return nullptr;
    return &path(pathKey->size, pathKey->x0, pathKey->y0, pathKey->x1, pathKey->y1, record);
}
