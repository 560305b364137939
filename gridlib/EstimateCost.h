#pragma once

#include <algorithm>
#include <cstdlib>

#include "Grid.h"

// Exact cost of the cheapest route with nothing in the way, so it never
// overestimates and equals the true cost on open ground: min(dx, dy)
// diagonal steps and the rest straight. Written without a branch, as which
// axis is longer flips unpredictably among the neighbours a search pushes.
inline int estimateCost(int ax, int ay, int bx, int by) {
    const int dx = std::abs(ax - bx), dy = std::abs(ay - by);
    return Grid::CARDINAL_COST * (dx + dy) +
           (Grid::DIAGONAL_COST - 2 * Grid::CARDINAL_COST) * std::min(dx, dy);
}
