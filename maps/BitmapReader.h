#pragma once

#include <iosfwd>
#include <string>

#include "Grid.h"

// The tile a map pixel stands for: enough blue is water, too little green is
// a wall, the rest is ground. Red takes no part.
Grid::Tile tileFromColor(unsigned char blue, unsigned char green, unsigned char red);

// Reads a 24-bit uncompressed bitmap from `in` (a file or a string stream: it
// seeks) into a new Grid, one pixel per cell, with the top row of the picture
// as row 0. Once the grid exists "width=W height=H" goes to `out`. On failure
// nothing is returned and `out` gets "Cannot read <name>: <reason>".
GridPtr readBitmapGrid(std::istream& in, const std::string& name, std::ostream& out);
