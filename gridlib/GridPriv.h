// Private members of Grid; included inside the class's private section.

std::vector<Tile> data;
int width;
int height;

// Sector label cache, one table per object size; see isConnected.
mutable std::vector<int> sectors[3];
mutable int nextSector[3];
mutable bool sectorsDirty;

// Scratch kept between searches so that a search does not allocate and clear
// a width x height closed table each time: a cell is closed in the current
// search when its stamp equals searchStamp; closedAction holds the step that
// reached it, enough to walk the route back from the goal.
mutable std::vector<std::uint32_t> closedStamp;
mutable std::vector<std::uint8_t> closedAction;
mutable std::uint32_t searchStamp = 0;

void ResetSectors() const;
void TouchSector(int size, int x, int y) const;
void FloodFill(int size, int x, int y, int tile, int sector) const;

template <bool counting, bool recording>
int SearchPath(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
               std::vector<int>* expanded) const;
