#pragma once

#include <cstddef>
#include <cstdint>

#include "Grid.h"

// Asks a loaded map a few isConnected and findShortestPath questions at
// positions taken from `data`, within the Grid's preconditions, and stops the
// process when the answers contradict each other: a connected pair must have
// a route, a route must lead to the goal and cost what is returned, and a
// pair that is not connected must have none.
void probeGrid(const Grid& grid, const std::uint8_t* data, std::size_t size);
