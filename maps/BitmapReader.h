#pragma once

#include <iosfwd>
#include <string>

#include "Grid.h"

// The tile a map pixel stands for: enough blue is water, too little green is
// a wall, the rest is ground. Red takes no part.
Grid::Tile tileFromColor(unsigned char blue, unsigned char green, unsigned char red);

// Reads an uncompressed bitmap of 24 bits a pixel, of 32 bits (blue, green,
// red and an unused byte, or any contiguous colour masks, each channel scaled
// to 0..255; alpha is ignored) or of 8 bits with a palette, from `in` (a file
// or a string stream: it seeks) into a new Grid, one pixel per cell, with the
// top row of the picture as row 0. Once the grid exists "width=W height=H"
// goes to `out`. On failure nothing is returned and `out` gets the one line
// "Cannot read <name>: <reason>".
GridPtr readBitmapGrid(std::istream& in, const std::string& name, std::ostream& out);
