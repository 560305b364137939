#pragma once

#include <cstdint>
#include <vector>

#include "Grid.h"

// Cheapest route costs found by plain Dijkstra, sharing nothing with the
// library's search but the map: the object stays on positions whose whole
// footprint holds the start's tile, and a diagonal step also needs both
// positions beside it, so no corner is cut. Straight steps cost 100,
// diagonal ones 142. cost() keeps its scratch in the object, so each thread
// needs an object of its own; a copy is one.
class ReferenceDijkstra {
  public:
    ReferenceDijkstra(const Grid& grid, int size);

    // -1 when the goal cannot be reached or the start footprint mixes tiles.
    int cost(int x1, int y1, int x2, int y2) const;

    // The tile under the whole footprint at (x, y); -1 when it is mixed or
    // the object would stick out of the map.
    int standTile(int x, int y) const;

    // Whether an object standing on `tile` at (x, y) may take the step.
    bool stepAllowed(int x, int y, Grid::Direction d, int tile) const;

  private:
    int width;
    int height;
    std::vector<std::int8_t> stand;
    mutable std::vector<int> dist;  // kept between calls; only touched entries are reset
    mutable std::vector<int> touched;
};
