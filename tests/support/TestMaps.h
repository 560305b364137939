#pragma once

// Maps for the tests and benchmarks, written as rows of characters.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "BitmapWriter.h"
#include "Grid.h"

// Row 0 is y = 0. '~' and 'W' are water; '#', '@' and 'T' are blocked; any
// other character ('.', 'S') is ground. So the generated octile maps of
// maps/OctileMapGenerators.h read as they are.
using MapRows = std::vector<std::string>;

GridPtr gridFromRows(const MapRows& rows);

// The tiles as digits, a line per row, so that a failure shows where grids differ.
std::string tileText(const Grid& grid);

// A bitmap whose colours load as the tiles of `rows`, away from the thresholds.
RgbImage imageFromRows(const MapRows& rows);

// Every cell blocked or water at random with the given percentages. Only raw
// engine outputs are used, so a seed gives the same map everywhere.
MapRows noiseRows(int width, int height, int blockedPercent, int waterPercent, std::uint32_t seed);

// May an object of `size` standing on `tile` step from (x, y) to (nx, ny)?
// The whole box it sweeps must lie in the map on that tile, so no corner is
// cut. Written from the rule, not from the library's code.
bool stepAllowed(const Grid& grid, Grid::Tile tile, int size, int x, int y, int nx, int ny);

// Replays `path` from (x1, y1) under the move rule: the empty string when it
// ends at (x2, y2) and its steps cost `cost`, else what is wrong.
std::string routeProblem(const Grid& grid, int size, int x1, int y1, int x2, int y2,
                         const Grid::Path& path, int cost);

// A generated map with a name, for tests run on each of a list of maps.
struct NamedMap {
    const char* name;
    MapRows rows;
    friend void PrintTo(const NamedMap& map, std::ostream* out) { *out << map.name; }
};

// One small map of each family the generators make: noise with water, rooms,
// mazes with corridors 1 and 3 wide, and lakes.
std::vector<NamedMap> mapFamilies();
