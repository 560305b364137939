#pragma once

#include <iosfwd>
#include <string>

#include "Grid.h"

// The tile an octile map character stands for: '.', 'G' and 'S' are ground,
// 'W' is water, '@', 'O' and 'T' are blocked. False for any other character.
bool tileFromOctileChar(char c, Grid::Tile& tile);

// Reads an octile text map ("type octile", "height H", "width W", "map", then
// H rows of W characters, row 0 at the top). On failure returns null and sets
// `error` to "line N: <reason>".
GridPtr parseOctileMap(std::istream& in, std::string& error);

// The same with the console lines: once the grid exists "width=W height=H"
// goes to `out`; on failure "Cannot read <name>: line N: <reason>".
GridPtr readOctileGrid(std::istream& in, const std::string& name, std::ostream& out);
