#pragma once

#include <cstdint>

#include "Grid.h"

// The Grid lets tests reach its label counter, to start it near its end.
struct GridTestAccess {
    static void startSectorLabelsAt(const Grid& g, std::uint32_t n) { g.startSectorLabelsAt(n); }
    static std::uint32_t nextSector(const Grid& grid, int size) { return grid.nextSector[size]; }
};
