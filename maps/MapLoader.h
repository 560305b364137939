#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "Grid.h"

// Opens a map of either kind: an octile text map when it starts with "type"
// or, failing a bitmap signature, when its name ends in ".map"; a bitmap
// otherwise. The console lines are those of readBitmapGrid and
// readOctileGrid; a file that cannot be opened gives "Cannot read <name>: "
// and the reason ("no such file", "permission denied", "is a directory",
// "not a regular file").
GridPtr loadMapFile(const char* filename, std::ostream& out);

// The same from a stream that allows seeking, named `name` for the choice of
// kind and the messages.
GridPtr readMapGrid(std::istream& in, const std::string& name, std::ostream& out);

// The same from bytes in memory.
GridPtr readMapBytes(std::string_view bytes, const std::string& name, std::ostream& out);
