#include "Grid.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

using Direction = Grid::Direction;
using Action = Direction;  // the step that led to a search node

struct Point {
    int x;
    int y;

    Point(int x, int y) : x(x), y(y) {}
    Point move(Direction d) const { return Point(x + Grid::stepDx(d), y + Grid::stepDy(d)); }
    bool operator==(const Point&) const = default;
};

int getMoveCost(Direction d) {
    return Grid::stepCost(d);
}

// Exact cost of the cheapest route with nothing in the way, so it never
// overestimates and equals the true cost on open ground.
int estimateCost(Point a, Point b) {
    const int dx = std::abs(a.x - b.x);
    const int dy = std::abs(a.y - b.y);
    if (dx > dy) return Grid::DIAGONAL_COST * dy + Grid::CARDINAL_COST * (dx - dy);
    return Grid::DIAGONAL_COST * dx + Grid::CARDINAL_COST * (dy - dx);
}

// One entry of the open list. The node's parent is not stored: the parent of
// every expanded node is the node that closed its cell first, so the route is
// walked back from the goal through the action stored per closed cell.
struct Node {
    int fCost;
    int gCost;
    int cell;  // y * width + x of the node's state
    Action action;
};

// a ranks behind b: larger fCost, or equal fCost and smaller gCost. Heap
// operations see nothing but these answers, so the order in which nodes come
// off the heap is the same as for a queue of separately allocated nodes.
struct LeastCost {
    bool operator()(const Node& a, const Node& b) const {
        return a.fCost > b.fCost || (a.fCost == b.fCost && a.gCost < b.gCost);
    }
};

int checkedCellCount(int width, int height) {
    assert(width > 0 && height > 0);
    assert(static_cast<long long>(width) * height <= INT_MAX);
    return width * height;
}

}  // namespace

Grid::Grid(int width, int height)
    : data(checkedCellCount(width, height), GROUND), width(width), height(height) {
    for (int s = 0; s < 3; ++s) {
        sectors[s].assign(data.size(), 0);
        nextSector[s] = 1;
    }
    sectorsDirty = false;
}

Grid::Tile Grid::getTile(int x, int y) const {
    assert(x >= 0 && x < width);
    assert(y >= 0 && y < height);
    return data[y * width + x];
}

void Grid::setTile(int x, int y, Tile tile) {
    assert(tile >= GROUND && tile <= BLOCKED);
    assert(x >= 0 && x < width);
    assert(y >= 0 && y < height);
    data[y * width + x] = tile;
    sectorsDirty = true;
}

void Grid::ResetSectors() const {
    for (int s = 0; s < 3; ++s) {
        sectors[s].assign(data.size(), 0);
        nextSector[s] = 1;
    }
    sectorsDirty = false;
}

void Grid::TouchSector(int size, int x, int y) const {
    if (sectorsDirty) ResetSectors();
    if (sectors[size][y * width + x] != 0) return;
    FloodFill(size, x, y, data[y * width + x], nextSector[size]);
    ++nextSector[size];
}

// Depth-first over 4-neighbours from an explicit stack: a sector can cover
// the whole map, far more positions than the call stack could hold frames.
// Neighbours outside the valid area or already labelled are not pushed; the
// set labelled is the same whatever the order of visits.
void Grid::FloodFill(int size, int x, int y, int tile, int sector) const {
    if (x < 0 || y < 0 || x + size >= width || y + size >= height) return;
    std::vector<int>& labels = sectors[size];
    const int maxX = width - 1 - size, maxY = height - 1 - size;
    auto isUniform = [&](int px, int py) {
        for (int i = 0; i <= size; ++i) {
            const Tile* row = &data[(py + i) * width + px];
            for (int j = 0; j <= size; ++j)
                if (row[j] != tile) return false;
        }
        return true;
    };
    std::vector<int> pending{y * width + x};
    while (!pending.empty()) {
        const int cell = pending.back();
        pending.pop_back();
        int& spotSector = labels[cell];
        if (spotSector != 0) continue;
        const int px = cell % width, py = cell / width;
        if (!isUniform(px, py)) continue;
        spotSector = sector;
        if (py < maxY && labels[cell + width] == 0) pending.push_back(cell + width);
        if (py > 0 && labels[cell - width] == 0) pending.push_back(cell - width);
        if (px < maxX && labels[cell + 1] == 0) pending.push_back(cell + 1);
        if (px > 0 && labels[cell - 1] == 0) pending.push_back(cell - 1);
    }
}

// The assertion texts are quoted verbatim in diagnostics; keep their spacing.
// clang-format off
bool Grid::isConnected(int size, int x1, int y1, int x2, int y2) const {
    assert(size >= 0 && size <= 2);
    assert(x1 >= 0 && x1+size < width);
    assert(y1 >= 0 && y1+size < height);
    assert(x2 >= 0 && x2+size < width);
    assert(y2 >= 0 && y2+size < height);
    TouchSector(size, x1, y1);
    const int sector1 = sectors[size][y1 * width + x1];
    const int sector2 = sectors[size][y2 * width + x2];
    return sector1 != 0 && sector1 == sector2;
}

template <bool counting, bool recording>
int Grid::SearchPath(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
                     std::vector<int>* expanded) const {
    assert(size >= 0 && size <= 2);
    assert(x1 >= 0 && x1+size < width);
    assert(y1 >= 0 && y1+size < height);
    const Tile tile = getTile(x1, y1);
    for (int y = y1; y <= y1 + size; ++y) {
        for (int x = x1; x <= x1 + size; ++x) {
            assert(getTile(x,y) == tile);
        }
    }
    assert(x2 >= 0 && x2+size < width);
    assert(y2 >= 0 && y2+size < height);
    // clang-format on

    const Point start(x1, y1);
    const Point goal(x2, y2);
    int cost = -1;

    // The closed table is kept between calls and invalidated by bumping the
    // stamp, instead of allocating and clearing width x height entries.
    if (closedStamp.size() != data.size()) {
        closedStamp.assign(data.size(), 0);
        closedAction.assign(data.size(), 0);
        searchStamp = 0;
    }
    if (++searchStamp == 0) {
        std::fill(closedStamp.begin(), closedStamp.end(), 0);
        searchStamp = 1;
    }
    const std::uint32_t stamp = searchStamp;
    auto isClosed = [&](int cell) { return closedStamp[cell] == stamp; };

    // Each expanded position lies in the start's sector, so the three
    // isConnected tests per neighbour reduce to label comparisons once the
    // start's sector is labelled; it is labelled at the first such test.
    const int* labels = nullptr;
    int startSector = 0;
    auto inStartSector = [&](int px, int py) {
        if (labels == nullptr) {
            TouchSector(size, x1, y1);
            labels = sectors[size].data();
            startSector = labels[y1 * width + x1];
        }
        return startSector != 0 && labels[py * width + px] == startSector;
    };

    std::vector<Node> open;
    open.reserve(1024);
    open.push_back(Node{estimateCost(start, goal), 0, y1 * width + x1, Direction::N});
    if constexpr (counting) ++stats->pushed;

    while (!open.empty()) {
        std::pop_heap(open.begin(), open.end(), LeastCost());
        const Node curNode = open.back();
        open.pop_back();
        const int curIndex = curNode.cell;
        if (isClosed(curIndex)) continue;
        closedStamp[curIndex] = stamp;
        closedAction[curIndex] = static_cast<std::uint8_t>(curNode.action);
        if constexpr (counting) ++stats->expanded;
        if constexpr (recording) expanded->push_back(curIndex);
        const Point curState(curIndex % width, curIndex / width);

        if (curState == goal) {
            cost = curNode.gCost;
            Path revPath;
            for (Point p = curState; !(p == start);) {
                const auto action = static_cast<Direction>(closedAction[p.y * width + p.x]);
                revPath.push_back(action);
                p = Point(p.x - stepDx(action), p.y - stepDy(action));
            }
            path.assign(revPath.rbegin(), revPath.rend());
            break;
        }

        for (int d = N; d <= NW; ++d) {
            const auto direction = static_cast<Direction>(d);
            const Point nextState = curState.move(direction);
            const int moveX0 = std::min(curState.x, nextState.x);
            const int moveX1 = std::max(curState.x, nextState.x) + size;
            const int moveY0 = std::min(curState.y, nextState.y);
            const int moveY1 = std::max(curState.y, nextState.y) + size;
            if (moveX0 < 0 || moveX1 >= width || moveY0 < 0 || moveY1 >= height) continue;
            const int nextIndex = nextState.y * width + nextState.x;
            if (isClosed(nextIndex)) continue;
            if (!inStartSector(nextState.x, nextState.y) ||
                !inStartSector(nextState.x, curState.y) || !inStartSector(curState.x, nextState.y))
                continue;
            const int gCost = curNode.gCost + getMoveCost(direction);
            open.push_back(
                Node{gCost + estimateCost(nextState, goal), gCost, nextIndex, direction});
            std::push_heap(open.begin(), open.end(), LeastCost());
            if constexpr (counting) ++stats->pushed;
        }
    }
    return cost;
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path) const {
    return SearchPath<false, false>(size, x1, y1, x2, y2, path, nullptr, nullptr);
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                           SearchStats& stats) const {
    return SearchPath<true, false>(size, x1, y1, x2, y2, path, &stats, nullptr);
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                           SearchStats& stats, std::vector<int>& expanded) const {
    return SearchPath<true, true>(size, x1, y1, x2, y2, path, &stats, &expanded);
}
