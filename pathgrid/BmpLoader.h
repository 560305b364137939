#pragma once

#include <iosfwd>

#include "Grid.h"

// The tile a map pixel stands for: enough blue is water, too little green is
// a wall, the rest is ground. Red takes no part.
Grid::Tile tileFromColor(unsigned char blue, unsigned char green, unsigned char red);

// Reads a 24-bit uncompressed bitmap into a new Grid, one pixel per cell, with
// the top row of the picture as row 0. Once the grid exists "width=W height=H"
// goes to `out`. On failure nothing is returned and `out` gets one line:
// "Cannot read <filename>", plus ": <reason>" when the file opened but cannot
// be used as a map.
GridPtr loadBitmapGrid(const char* filename, std::ostream& out);
