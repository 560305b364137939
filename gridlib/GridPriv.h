// Private members of Grid; included inside the class's private section.

std::vector<Tile, HugePageAllocator<Tile>> data;
int width;
int height;

// Sector label cache, one table per object size; see isConnected. A tile
// change does not clear the tables: it starts a new generation, and a label
// below firstSector[size] counts as none. Only a table that has handed out
// all its label values is cleared, so no count of queries can exhaust it.
mutable std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> sectors[3];
mutable std::uint32_t nextSector[3];
mutable std::uint32_t firstSector[3];
mutable bool sectorsDirty;

// Scratch kept between searches so that a search neither allocates nor clears
// per call. closed[cell] is searchStamp << 3 | action while the cell is
// closed in the current search, action being the step that reached it (enough
// to walk the route back); an older stamp means open. One word for both: the
// search reads the stamp of every neighbour, and writes both together.
mutable std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> closed;
mutable std::uint32_t searchStamp = 0;
mutable OpenList openList;

// The jump search's bitmaps, [size][tile], each built when a search first
// needs it; setTile keeps the built ones up to date cell by cell.
mutable PositionBitmap positionBitmaps[3][3];
// Whether any is built: a map is loaded by a setTile for every cell, which
// then looks at none of them.
mutable bool anyPositionBitmap = false;
mutable JumpSearchScratch jumpScratch;

void ResetSectors() const;
void TouchSector(int size, int x, int y) const;
void FloodFill(int size, int x, int y, Tile tile, std::uint32_t sector) const;
bool isUniform(int size, int x, int y, Tile tile) const;

// Tests reach the label counter through this to start it near its end.
friend struct GridTestAccess;
void startSectorLabelsAt(std::uint32_t next) const;

void CheckSearchPreconditions(int size, int x1, int y1, int x2, int y2) const;
template <bool counting, bool recording>
int JumpSearch(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
               std::vector<int>* expanded) const;
template <bool counting, bool recording>
int CheckedSearch(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
                  std::vector<int>* expanded) const;
template <int size, bool counting, bool recording>
int SearchPath(int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
               std::vector<int>* expanded) const;
