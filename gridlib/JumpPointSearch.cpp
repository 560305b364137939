// Jump point search over the bitmap of the positions where the object fits.
// On that bitmap the Grid's move rule is eight-direction movement without
// corner cutting, so the search follows only canonical routes: diagonal steps
// first, then straight ones, turning only where an obstacle forces a
// neighbour. Straight moves are scanned 54 positions a load, in bitmaps of
// rows for horizontal moves and of columns for vertical ones.

#include <algorithm>
#include <cstdlib>

#include "EstimateCost.h"
#include "Grid.h"
#include "RowScans.h"

namespace {

using Direction = Grid::Direction;
using Node = JumpSearchScratch::Node;
using namespace rowscans;

constexpr Direction directionOf(int dx, int dy) {
    constexpr Direction table[3][3] = {
        {Grid::NW, Grid::W, Grid::SW}, {Grid::N, Grid::N, Grid::S}, {Grid::NE, Grid::E, Grid::SE}};
    return table[dx + 1][dy + 1];
}

template <bool counting, bool recording>
class JumpPointSearch {
  public:
    JumpPointSearch(const PositionBitmap& bitmap, int width, int goalX, int goalY,
                    JumpSearchScratch& scratch, Grid::SearchStats* stats,
                    std::vector<int>* expanded)
        : rows{bitmap.byRow().data(), bitmap.byRow().rowStride()},
          columns{bitmap.byColumn().data(), bitmap.byColumn().rowStride()},
          rowOrigin(bitmap.byRow().bitIndex(0, 0)),
          columnOrigin(bitmap.byColumn().bitIndex(0, 0)),
          width(width),
          goalX(goalX),
          goalY(goalY),
          nodeIndex(scratch.nodeIndex),
          nodes(scratch.nodes),
          open(scratch.open),
          nextUp(scratch.nextUp),
          stats(stats),
          expanded(expanded) {}

    int run(int x1, int y1, Grid::Path& path) {
        nodeIndex.clear();
        nodes.clear();
        open.clear();
        nextUp.clear();
        reach(x1, y1, 0, -1, JumpSearchScratch::kStart);
        int cost = -1;
        for (;;) {
            OpenEntry entry;
            if (!nextUp.empty()) {
                entry = nextUp.back();
                nextUp.pop_back();
            } else if (!open.empty()) {
                entry = open.pop();
            } else {
                break;
            }
            expandingF = openKeyFCost(entry.key);
            const int index = entry.cell;
            Node& node = nodes[std::size_t(index)];
            if (node.closed || openKeyGCost(entry.key) != node.gCost) continue;
            node.closed = true;
            if constexpr (counting) ++stats->expanded;
            if constexpr (recording) expanded->push_back(node.y * width + node.x);
            if (node.x == goalX && node.y == goalY) {
                cost = node.gCost;
                writePath(index, path);
                break;
            }
            expand(index);
        }
        return cost;
    }

  private:
    std::int64_t rowBit(int x, int y) const { return rowOrigin + y * rows.stride + x; }
    std::int64_t columnBit(int x, int y) const { return columnOrigin + x * columns.stride + y; }

    // A route of `gCost` to (x, y) over node `parent`: a new node, or a
    // cheaper way to one not yet expanded.
    void reach(int x, int y, int gCost, int parent, int arrival) {
        std::uint32_t& slot = nodeIndex.nodeOf(std::uint32_t(y * width + x));
        int index;
        if (slot == NodeIndex::kNone) {
            index = int(nodes.size());
            nodes.push_back(Node{x, y, gCost, parent, std::uint8_t(arrival), false});
            slot = std::uint32_t(index);
        } else {
            index = int(slot);
            Node& node = nodes[std::size_t(index)];
            if (node.closed || gCost >= node.gCost) return;
            node.gCost = gCost;
            node.parent = parent;
            node.arrival = std::uint8_t(arrival);
        }
        // No node can have a smaller estimate of its route than the one being
        // expanded, so one with the same needs no ordering: it is next.
        // Such a route to the goal is a cheapest one: the expansion can stop,
        // and the goal comes out next.
        const int fCost = gCost + estimateCost(x, y, goalX, goalY);
        const OpenEntry entry{openKey(fCost, gCost), std::int32_t(index), 0};
        if (fCost == expandingF) {
            nextUp.push_back(entry);
            if (x == goalX && y == goalY) goalSettled = true;
        } else {
            open.push(entry);
        }
        if constexpr (counting) ++stats->pushed;
    }

    int goalAlongRow(int x, int y, int dx) const { return goalY == y ? (goalX - x) * dx : kNoGoal; }
    int goalAlongColumn(int x, int y, int dy) const {
        return goalX == x ? (goalY - y) * dy : kNoGoal;
    }

    // A node being expanded, with the bits of its position in both planes.
    struct Place {
        int index;
        int x, y, gCost;
        std::int64_t rowAt, columnAt;
    };

    // Reaches the stop of a straight move from `from`.
    template <int dx, int dy>
    void jumpStraight(const Place& from) {
        const int steps =
            dy == 0 ? scan<dx>(rows, from.rowAt, goalAlongRow(from.x, from.y, dx))
                    : scan<dy>(columns, from.columnAt, goalAlongColumn(from.x, from.y, dy));
        if (steps != 0)
            reach(from.x + dx * steps, from.y + dy * steps,
                  from.gCost + Grid::CARDINAL_COST * steps, from.index, directionOf(dx, dy));
    }

    // Diagonal steps from `from` while they are free; from each position
    // reached, straight moves along its row and column, whose stops are
    // reached from `from` over the diagonal: diagonal steps first on the
    // route. The diagonal goes on past them, so that its positions need no
    // nodes of their own. Most of those straight moves run into a blocked
    // position within their first window, which the loop tells from the
    // windows it carries along; only the others, and those on the goal's row
    // or column, are scanned in full.
    template <int dx, int dy>
    void jumpDiagonal(const Place& from) {
        const PlaneView rowPlane = rows, columnPlane = columns;
        const int gx = goalX, gy = goalY;
        int x = from.x, y = from.y, gCost = from.gCost;
        std::int64_t rowAt = from.rowAt, columnAt = from.columnAt;
        const std::int64_t rowStep = dy * rowPlane.stride + dx;
        const std::int64_t columnStep = dx * columnPlane.stride + dy;
        Windows alongRow = windowsAt<dx>(rowPlane, rowAt);
        // Often blocked at once, as beside a wall that forced it.
        if (!diagonalFree<dx, dy>(alongRow)) return;
        Windows alongColumn = windowsAt<dy>(columnPlane, columnAt);
        do {
            x += dx;
            y += dy;
            rowAt += rowStep;
            columnAt += columnStep;
            gCost += Grid::DIAGONAL_COST;
            if (x == gx && y == gy) {
                reach(x, y, gCost, from.index, directionOf(dx, dy));
                return;
            }
            alongRow = stepWindows<dx, dy>(rowPlane, rowAt, alongRow);
            alongColumn = stepWindows<dy, dx>(columnPlane, columnAt, alongColumn);
            if (y != gy && x != gx && blockedFirst<dx>(alongRow) && blockedFirst<dy>(alongColumn))
                continue;
            const int rowSteps = scanFrom<dx>(rowPlane, rowAt, goalAlongRow(x, y, dx), alongRow);
            const int columnSteps =
                scanFrom<dy>(columnPlane, columnAt, goalAlongColumn(x, y, dy), alongColumn);
            if (rowSteps != 0)
                reach(x + dx * rowSteps, y, gCost + Grid::CARDINAL_COST * rowSteps, from.index,
                      directionOf(dx, 0));
            if (columnSteps != 0)
                reach(x, y + dy * columnSteps, gCost + Grid::CARDINAL_COST * columnSteps,
                      from.index, directionOf(0, dy));
            if (goalSettled) return;
        } while (diagonalFree<dx, dy>(alongRow));
    }

    // The successors of a position reached by a straight move (dx, dy): the
    // move goes on, and a side neighbour is forced when the position behind
    // it is not free, as then only a route through here reaches it at its
    // best: from here, a straight move towards it and a diagonal one past it.
    template <int dx, int dy>
    void expandStraight(const Place& at) {
        jumpStraight<dx, dy>(at);
        expandSide<dx, dy, dy, dx>(at);
        expandSide<dx, dy, -dy, -dx>(at);
    }
    template <int dx, int dy, int sx, int sy>
    __attribute__((always_inline)) void expandSide(const Place& at) {
        const std::int64_t side = at.rowAt + sy * rows.stride + sx;
        if (!goalSettled && !BitPlane::test(rows.bytes, side - dy * rows.stride - dx) &&
            BitPlane::test(rows.bytes, side)) {
            jumpStraight<sx, sy>(at);
            if (!goalSettled) jumpDiagonal<dx + sx, dy + sy>(at);
        }
    }

    // Whether the route that goes diagonally towards the goal until level
    // with it and then straight is free. It costs no more than the estimate,
    // so it is a cheapest one: on open ground the search ends at once.
    bool directRouteFree(const Place& at, int dx, int dy) const {
        int x = at.x, y = at.y;
        std::int64_t bit = at.rowAt;
        const std::int64_t down = dy * rows.stride;
        for (; x != goalX && y != goalY; x += dx, y += dy, bit += down + dx) {
            if (!BitPlane::test(rows.bytes, bit + dx) || !BitPlane::test(rows.bytes, bit + down) ||
                !BitPlane::test(rows.bytes, bit + down + dx))
                return false;
        }
        const std::int64_t step = x == goalX ? down : dx;
        for (; x != goalX || y != goalY; x += x == goalX ? 0 : dx, y += y == goalY ? 0 : dy) {
            bit += step;
            if (!BitPlane::test(rows.bytes, bit)) return false;
        }
        return true;
    }

    // The start looks every way, first where the goal lies (straight when it
    // is on the start's row or column, else along the diagonal its canonical
    // routes begin with), so that a goal in plain view is settled before the
    // other ways are scanned.
    void expandStart(const Place& at) {
        const int dx = (goalX > at.x) - (goalX < at.x), dy = (goalY > at.y) - (goalY < at.y);
        if (directRouteFree(at, dx, dy)) {
            reach(goalX, goalY, at.gCost + estimateCost(at.x, at.y, goalX, goalY), at.index,
                  directionOf(dx, dy));
            return;
        }
        const int first = dx == 0 && dy == 0 ? Grid::N : directionOf(dx, dy);
        for (int turn = 0; turn < 8 && !goalSettled; ++turn) {
            jumpTowards(Direction((first + turn) % 8), at);
        }
    }

    void jumpTowards(Direction direction, const Place& at) {
        switch (direction) {
            case Grid::N: return jumpStraight<0, -1>(at);
            case Grid::NE: return jumpDiagonal<1, -1>(at);
            case Grid::E: return jumpStraight<1, 0>(at);
            case Grid::SE: return jumpDiagonal<1, 1>(at);
            case Grid::S: return jumpStraight<0, 1>(at);
            case Grid::SW: return jumpDiagonal<-1, 1>(at);
            case Grid::W: return jumpStraight<-1, 0>(at);
            case Grid::NW: return jumpDiagonal<-1, -1>(at);
        }
    }

    void expand(int index) {
        const Node& node = nodes[std::size_t(index)];
        const Place at{
            index, node.x, node.y, node.gCost, rowBit(node.x, node.y), columnBit(node.x, node.y)};
        switch (node.arrival) {
            case Grid::N: return expandStraight<0, -1>(at);
            case Grid::E: return expandStraight<1, 0>(at);
            case Grid::S: return expandStraight<0, 1>(at);
            case Grid::W: return expandStraight<-1, 0>(at);
        }
        // The start. (A diagonal move reaches only the goal, which is never
        // expanded.)
        expandStart(at);
    }

    // Each jump goes diagonally first and then straight, as the scans took it.
    void writePath(int goalIndex, Grid::Path& path) const {
        std::size_t steps = 0;
        for (int i = goalIndex; nodes[std::size_t(i)].parent >= 0;
             i = nodes[std::size_t(i)].parent) {
            const Node& to = nodes[std::size_t(i)];
            const Node& from = nodes[std::size_t(to.parent)];
            steps += std::size_t(std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)));
        }
        path.resize(steps);
        auto step = path.end();
        for (int i = goalIndex; nodes[std::size_t(i)].parent >= 0;
             i = nodes[std::size_t(i)].parent) {
            const Node& to = nodes[std::size_t(i)];
            const Node& from = nodes[std::size_t(to.parent)];
            const int dx = to.x - from.x, dy = to.y - from.y;
            const int ax = std::abs(dx), ay = std::abs(dy);
            const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
            const Direction straight = ax > ay ? directionOf(sx, 0) : directionOf(0, sy);
            for (int k = std::max(ax, ay) - std::min(ax, ay); k > 0; --k) *--step = straight;
            for (int k = std::min(ax, ay); k > 0; --k) *--step = directionOf(sx, sy);
        }
    }

    const PlaneView rows, columns;
    const std::int64_t rowOrigin, columnOrigin;
    const int width;
    const int goalX, goalY;
    NodeIndex& nodeIndex;
    std::vector<Node>& nodes;
    OpenList& open;
    std::vector<OpenEntry>& nextUp;  // nodes of the estimate being expanded, to expand next
    int expandingF = -1;
    bool goalSettled = false;  // a cheapest route to the goal is next out
    Grid::SearchStats* const stats;
    std::vector<int>* const expanded;
};

}  // namespace

template <bool counting, bool recording>
int Grid::JumpSearch(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
                     std::vector<int>* expanded) const {
    CheckSearchPreconditions(size, x1, y1, x2, y2);
    if (!isConnected(size, x1, y1, x2, y2)) return -1;
    const PositionBitmap& bitmap = ReadyBitmap(size, data[y1 * width + x1]);
    const ScratchPool::Lease scratch(scratchPool);
    return JumpPointSearch<counting, recording>(bitmap, width, x2, y2, scratch->jump, stats,
                                                expanded)
        .run(x1, y1, path);
}

const PositionBitmap& Grid::ReadyBitmap(int size, Tile tile) const {
    std::atomic<bool>& ready = bitmapReady[size][tile];
    if (!ready.load(std::memory_order_acquire)) {
        // One thread builds it; the others that need it wait here.
        const std::lock_guard<std::mutex> lock(bitmapMutex);
        if (!ready.load(std::memory_order_relaxed)) {
            positionBitmaps[size][tile].build(reinterpret_cast<const std::uint8_t*>(data.data()),
                                              width, height, size, tile);
            anyPositionBitmap = true;
            ready.store(true, std::memory_order_release);
        }
    }
    return positionBitmaps[size][tile];
}

int Grid::findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path) const {
    return JumpSearch<false, false>(size, x1, y1, x2, y2, path, nullptr, nullptr);
}

int Grid::findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path,
                            SearchStats& stats) const {
    return JumpSearch<true, false>(size, x1, y1, x2, y2, path, &stats, nullptr);
}

int Grid::findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path,
                            SearchStats& stats, std::vector<int>& expanded) const {
    return JumpSearch<true, true>(size, x1, y1, x2, y2, path, &stats, &expanded);
}
