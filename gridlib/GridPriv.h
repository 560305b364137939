// Private members of Grid; included inside the class's private section.

std::vector<Tile, HugePageAllocator<Tile>> data;
int width;
int height;

// Sector label cache, one table per object size; see isConnected. A tile
// change does not clear the tables: it starts a new generation, and a label
// below firstSector[size] counts as none. Only a table that has handed out
// all its label values is cleared, so no count of queries can exhaust it.
//
// Queries from many threads: fills run one at a time under labelMutex, and a
// fill raises nextSector[size] past its label only once its sector is
// labelled whole, so a label in [firstSector, nextSector) belongs to a
// finished sector and is read without the lock. Labels are written and read
// without it through atomic_ref. labelClears is odd while a table is cleared,
// so that a reader who raced a clear asks again under the lock.
mutable std::vector<std::uint32_t, HugePageAllocator<std::uint32_t>> sectors[3];
mutable std::atomic<std::uint32_t> nextSector[3];
mutable std::atomic<std::uint32_t> firstSector[3];
mutable std::atomic<std::uint32_t> labelClears{0};
mutable std::mutex labelMutex;

// Scratch of the searches, one for each search running at the same time.
mutable ScratchPool scratchPool;

// The jump search's bitmaps, [size][tile], each built by the first search
// that needs it (under bitmapMutex; bitmapReady tells the others it is done);
// setTile keeps the built ones up to date cell by cell.
mutable PositionBitmap positionBitmaps[3][3];
mutable std::atomic<bool> bitmapReady[3][3] = {};
mutable std::mutex bitmapMutex;
// Whether any is built: a map is loaded by a setTile for every cell, which
// then looks at none of them.
mutable bool anyPositionBitmap = false;

// Labels (x, y)'s sector if it is uniform and unlabelled; the caller holds labelMutex.
void LabelSector(int size, int x, int y) const;
void FloodFill(int size, int x, int y, Tile tile, std::uint32_t sector) const;
bool isUniform(int size, int x, int y, Tile tile) const;
const PositionBitmap& ReadyBitmap(int size, Tile tile) const;

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
int SearchPath(SearchScratch& scratch, int x1, int y1, int x2, int y2, Path& path,
               SearchStats* stats, std::vector<int>* expanded) const;
