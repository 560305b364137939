#pragma once

// Maps for the tests and benchmarks, written as rows of characters.

#include <cstdint>
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
