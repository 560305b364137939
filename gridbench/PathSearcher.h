#pragma once

#include "Grid.h"

// The two questions the benchmark asks, behind an interface so that the
// answer checker can be tried on a searcher that is wrong on purpose.
class PathSearcher {
  public:
    virtual ~PathSearcher() = default;
    virtual bool isConnected(int size, int x1, int y1, int x2, int y2) const = 0;
    virtual int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                                 Grid::SearchStats& stats) const = 0;
};

// The Grid library's own answers, from its exact A* search or from its
// jump point search.
class GridSearcher : public PathSearcher {
  public:
    enum Search { EXACT, JUMP };
    explicit GridSearcher(const Grid& grid, Search search = EXACT) : grid(grid), search(search) {}
    bool isConnected(int size, int x1, int y1, int x2, int y2) const override {
        return grid.isConnected(size, x1, y1, x2, y2);
    }
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        return search == JUMP ? grid.findJumpPointPath(size, x1, y1, x2, y2, path, stats)
                              : grid.findShortestPath(size, x1, y1, x2, y2, path, stats);
    }

  private:
    const Grid& grid;
    Search search;
};
