#pragma once

#include <cstdint>
#include <vector>

#include "Grid.h"
#include "Query.h"

// `count` queries between positions drawn uniformly, with raw mt19937
// outputs so a seed gives the same queries everywhere, from those where the
// object stands wholly on GROUND or wholly on WATER. Bucket b (0 to 9) holds
// the queries whose straight-line octile distance lies in the b-th tenth of
// the largest possible one. Empty when no position qualifies.
std::vector<Query> makeRandomQueries(const Grid& grid, int size, int count, std::uint32_t seed);
