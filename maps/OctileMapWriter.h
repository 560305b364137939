#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// An octile map as rows of its characters, row 0 at the top.
using OctileRows = std::vector<std::string>;

// The map as an octile text file: header, then one line per row.
void writeOctileMap(std::ostream& out, const OctileRows& rows);
