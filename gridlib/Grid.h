#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "HugePages.h"       // the tables in GridPriv.h
#include "PositionBitmap.h"  // the jump search's bitmaps in GridPriv.h
#include "SearchScratch.h"   // the searches' scratch in GridPriv.h

// A rectangular tile map that answers, for square objects of 1x1, 2x2 or 3x3
// cells, whether two positions are connected and what the cheapest
// eight-direction route between them is. Cells are (x, y): x grows east, y
// grows south, storage is row-major. The position of an object is the cell
// of its footprint's top-left corner.
//
// Threads: the const operations may be called from any number of threads at
// once on one Grid and answer as if called one after another; each search
// running alongside others gets scratch tables of its own, kept until the
// Grid goes. setTile must not run while any other call on the Grid does: the
// caller keeps the others out. A Grid is neither copied nor moved; hold it
// by GridPtr.
class Grid {
  public:
    // One byte per cell keeps large maps compact; any byte value is a valid
    // enumerator value, so an out-of-range tile reaches the assertion.
    enum Tile : std::uint8_t { GROUND = 0, WATER = 1, BLOCKED = 2 };

    // Clockwise from north; even values are straight steps, odd ones diagonal.
    enum Direction { N = 0, NE = 1, E = 2, SE = 3, S = 4, SW = 5, W = 6, NW = 7 };

    static constexpr int CARDINAL_COST = 100;
    static constexpr int DIAGONAL_COST = 142;

    using Path = std::vector<Direction>;
    using GridPtr = std::unique_ptr<Grid>;

    static constexpr int stepDx(Direction d) { return kStepDx[d]; }
    static constexpr int stepDy(Direction d) { return kStepDy[d]; }
    static constexpr int stepCost(Direction d) { return (d & 1) ? DIAGONAL_COST : CARDINAL_COST; }

    Grid(int width, int height);
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    Tile getTile(int x, int y) const;
    void setTile(int x, int y, Tile tile);

    // True when the object of `size` (0, 1 or 2) standing at (x1, y1) on a
    // footprint of one tile type can reach (x2, y2) without leaving it.
    bool isConnected(int size, int x1, int y1, int x2, int y2) const;

    // Cheapest route cost (100 per straight, 142 per diagonal step), 0 when
    // start equals goal, -1 when unreachable; on success `path` holds the
    // steps, on failure it is left untouched.
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path) const;

    // Work one search did, for tools and benchmarks that report it.
    struct SearchStats {
        std::int64_t expanded = 0;  // positions taken from the open list and closed
        std::int64_t pushed = 0;    // entries put on the open list, start included
    };

    // The same search, also adding its work to `stats`. The plain overload
    // above is compiled without the counting.
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                         SearchStats& stats) const;

    // The same search, also appending every position it expanded, in the
    // order it expanded them, to `expanded` as cell indices y * width + x.
    // Only this overload pays for the recording.
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                         SearchStats& stats, std::vector<int>& expanded) const;

    // Jump point search: the same question, preconditions and result as
    // findShortestPath, and the same cost on every query, usually far faster
    // on maps with open areas. The route may be another of the cheapest ones;
    // every step is one findShortestPath could take. An unreachable goal is
    // answered from the sector labels before any search. It scans bitmaps of
    // the positions where the object fits, one per size and tile type, built
    // on first use and kept up to date by setTile; the statistics and the
    // recorded positions are its jump points.
    int findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path) const;
    int findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path,
                          SearchStats& stats) const;
    int findJumpPointPath(int size, int x1, int y1, int x2, int y2, Path& path,
                          SearchStats& stats, std::vector<int>& expanded) const;

  private:
    static constexpr int kStepDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int kStepDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

#include "GridPriv.h"
};

using GridPtr = Grid::GridPtr;
