#pragma once

#include <cstddef>
#include <cstdint>

#include "Grid.h"

// Asks a loaded map a few isConnected, findShortestPath and findJumpPointPath
// questions at positions taken from `data`, within the Grid's preconditions,
// and stops the process when the answers contradict each other: a connected
// pair must have a route, both searches must return the same cost, each route
// must obey the move rule and lead to the goal for the cost returned, and a
// pair that is not connected must have none.
void probeGrid(const Grid& grid, const std::uint8_t* data, std::size_t size);
