#pragma once

#include <iosfwd>

#include "Grid.h"

// Opens a map of either kind: an octile text map when the file starts with
// "type" or, failing a bitmap signature, when its name ends in ".map"; a
// bitmap otherwise, with the bitmap loader's messages unchanged. Messages as
// in loadBitmapGrid and loadOctileGrid.
GridPtr loadMapFile(const char* filename, std::ostream& out);
