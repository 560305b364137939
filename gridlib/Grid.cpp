#include "Grid.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "EstimateCost.h"

namespace {

using Direction = Grid::Direction;

// The row of a cell by a multiply and a shift instead of a division, which
// would cost as much as the rest of an expansion's bookkeeping. With
// shift = 31 + ceil(log2 width) and magic = ceil(2^shift / width) the
// quotient is exact for every cell below 2^31, and a map has fewer cells.
class RowOfCell {
  public:
    explicit RowOfCell(int width)
        : shift(31 + std::bit_width(std::uint32_t(width - 1))),
          magic(((std::uint64_t(1) << shift) + std::uint64_t(width) - 1) / std::uint64_t(width)) {}
    int operator()(int cell) const { return int(std::uint64_t(cell) * magic >> shift); }

  private:
    int shift;
    std::uint64_t magic;
};

std::uint64_t loadWord(const Grid::Tile* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Index, in memory order, of the first nonzero byte of a nonzero word.
int firstNonzeroByte(std::uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(word) / 8;
    return std::countl_zero(word) / 8;
}

// Scanline fill of the sector of the uniform, unlabelled position (x, y),
// from an explicit list of spans still to extend: a sector can cover the
// whole map, far more positions than the call stack could hold frames. A run
// of uniform positions in a row is always labelled whole, so one seed per run
// of the rows above and below suffices, and the run a span came from is not
// scanned again. Footprints are tested column by column, eight columns at a
// time, so a position costs about one tile read per footprint row rather
// than (size + 1)^2; the size is a template argument so those loops unroll.
template <int size>
void fillSector(std::uint32_t* labels, const Grid::Tile* tiles, int w, int h, int x, int y,
                Grid::Tile tile, std::uint32_t sector) {
    const int maxX = w - 1 - size, maxY = h - 1 - size;
    const std::uint64_t tileBytes = 0x0101010101010101ull * tile;

    // Whether the size + 1 cells of column c, from row `row` down, hold `tile`.
    auto columnFits = [=](int row, int c) __attribute__((always_inline)) {
        const Grid::Tile* const cell = tiles + row * w + c;
        bool fits = true;
        for (int i = 0; i <= size; ++i) fits &= cell[i * w] == tile;
        return fits;
    };
    // The first column in [from, to] that does not fit, or to + 1.
    auto firstMisfit = [=](int row, int from, int to) __attribute__((always_inline)) {
        const Grid::Tile* const base = tiles + row * w;
        int c = from;
        for (; c + 7 <= to; c += 8) {
            std::uint64_t misfits = 0;  // a nonzero byte per column that does not fit
            for (int i = 0; i <= size; ++i) misfits |= loadWord(base + i * w + c) ^ tileBytes;
            if (misfits != 0) return c + firstNonzeroByte(misfits);
        }
        while (c <= to && columnFits(row, c)) ++c;
        return c;
    };

    struct Span {
        int x, y;       // a uniform position to extend from
        int parentRow;  // the row of the run that seeded it, or -1
        int parentLeft, parentRight;
    };
    std::vector<Span> pending{{x, y, -1, 0, -1}};
    // Seeds every unlabelled run of uniform positions in [x0, x1] of `row`.
    auto seedRuns = [&](int row, int x0, int x1, const Span& from) __attribute__((always_inline)) {
        const std::uint32_t* const rowLabels = labels + row * w;
        for (int px = x0; px <= x1;) {
            if (rowLabels[px] == sector) {
                ++px;
                continue;
            }
            const int misfit = firstMisfit(row, px, px + size);
            if (misfit <= px + size) {  // every position up to the misfit column mixes
                px = misfit + 1;
                continue;
            }
            pending.push_back(Span{px, row, from.y, from.parentLeft, from.parentRight});
            px = firstMisfit(row, px + size + 1, x1 + size) + 1;
        }
    };

    while (!pending.empty()) {
        const Span span = pending.back();
        pending.pop_back();
        std::uint32_t* const rowLabels = labels + span.y * w;
        if (rowLabels[span.x] == sector) continue;
        int left = span.x;
        while (left > 0 && columnFits(span.y, left - 1)) --left;
        const int right = firstMisfit(span.y, span.x + size + 1, maxX + size) - size - 1;
        // Other threads may read these labels meanwhile. Release: one that
        // reads a label written after a clear then sees the clear's count.
        // (On common hardware a plain store.)
        for (int px = left; px <= right; ++px)
            std::atomic_ref<std::uint32_t>(rowLabels[px]).store(sector, std::memory_order_release);
        const Span run{left, span.y, -1, left, right};  // parent of the seeds it makes
        for (const int row : {span.y - 1, span.y + 1}) {
            if (row < 0 || row > maxY) continue;
            if (row != span.parentRow) {
                seedRuns(row, left, right, run);
                continue;
            }
            // The parent run itself is labelled; only what sticks out is new.
            if (left < span.parentLeft)
                seedRuns(row, left, std::min(right, span.parentLeft - 1), run);
            if (right > span.parentRight)
                seedRuns(row, std::max(left, span.parentRight + 1), right, run);
        }
    }
}

// Whether the size + 1 tiles from `first` along a row are all `tile`,
// compared two at a time: the search asks this four times an expansion.
template <int size>
bool footprintRowFits(const Grid::Tile* first, Grid::Tile tile) {
    if constexpr (size == 0) {
        return *first == tile;
    } else {
        const std::uint16_t pair = std::uint16_t(0x0101u * tile);
        std::uint16_t head, tail;
        std::memcpy(&head, first, sizeof head);
        std::memcpy(&tail, first + size - 1, sizeof tail);  // overlaps head for size 2
        return ((head ^ pair) | (tail ^ pair)) == 0;
    }
}

// Label values run from 1 up to this one, which is never handed out: a
// table that reaches it is cleared and starts again at 1.
constexpr std::uint32_t kNoFreshSector = UINT32_MAX;

// The stamp of a search shares a word with the action of the cell it closes.
constexpr std::uint32_t kActionBits = 3;
constexpr std::uint32_t kActionMask = (1u << kActionBits) - 1;
constexpr std::uint32_t kStampLimit = std::uint32_t(1) << (32 - kActionBits);

int checkedCellCount(int width, int height) {
    assert(width > 0 && height > 0);
    assert(static_cast<long long>(width) * height <= INT_MAX);
    return width * height;
}

}  // namespace

Grid::Grid(int width, int height)
    : data(checkedCellCount(width, height), GROUND), width(width), height(height) {
    for (int s = 0; s < 3; ++s) {
        sectors[s].assign(data.size(), 0);
        nextSector[s] = firstSector[s] = 1;
    }
}

Grid::Tile Grid::getTile(int x, int y) const {
    assert(x >= 0 && x < width);
    assert(y >= 0 && y < height);
    return data[y * width + x];
}

void Grid::setTile(int x, int y, Tile tile) {
    assert(tile >= GROUND && tile <= BLOCKED);
    assert(x >= 0 && x < width);
    assert(y >= 0 && y < height);
    data[y * width + x] = tile;
    // Every label handed out so far becomes stale at once: the new
    // generation's labels are all at least the next one to hand out.
    for (int s = 0; s < 3; ++s) firstSector[s].store(nextSector[s], std::memory_order_relaxed);
    if (anyPositionBitmap) {
        for (auto& bySize : positionBitmaps)
            for (PositionBitmap& bitmap : bySize)
                if (bitmap.built())
                    bitmap.cellChanged(reinterpret_cast<const std::uint8_t*>(data.data()), x, y);
    }
}

bool Grid::isUniform(int size, int x, int y, Tile tile) const {
    for (int i = 0; i <= size; ++i) {
        const Tile* row = &data[(y + i) * width + x];
        for (int j = 0; j <= size; ++j)
            if (row[j] != tile) return false;
    }
    return true;
}

// A label is used up only by a fill that labels something, so questions from
// a mixed footprint, however many, leave the counter alone.
void Grid::LabelSector(int size, int x, int y) const {
    const int cell = y * width + x;
    if (sectors[size][cell] >= firstSector[size]) return;
    const Tile tile = data[cell];
    if (!isUniform(size, x, y, tile)) return;
    if (nextSector[size] == kNoFreshSector) {
        // Readers without the lock see labelClears change and ask again.
        labelClears.fetch_add(1, std::memory_order_relaxed);
        for (std::uint32_t& label : sectors[size])
            std::atomic_ref<std::uint32_t>(label).store(0, std::memory_order_release);
        firstSector[size].store(1, std::memory_order_relaxed);
        nextSector[size].store(1, std::memory_order_relaxed);
        labelClears.fetch_add(1, std::memory_order_release);
    }
    const std::uint32_t sector = nextSector[size].load(std::memory_order_relaxed);
    FloodFill(size, x, y, tile, sector);
    nextSector[size].store(sector + 1, std::memory_order_release);  // the sector is whole
}

void Grid::startSectorLabelsAt(std::uint32_t next) const {
    for (int s = 0; s < 3; ++s) nextSector[s] = firstSector[s] = next;
}

void Grid::FloodFill(int size, int x, int y, Tile tile, std::uint32_t sector) const {
    std::uint32_t* const labels = sectors[size].data();
    if (size == 0) fillSector<0>(labels, data.data(), width, height, x, y, tile, sector);
    if (size == 1) fillSector<1>(labels, data.data(), width, height, x, y, tile, sector);
    if (size == 2) fillSector<2>(labels, data.data(), width, height, x, y, tile, sector);
}

// The assertion texts are quoted verbatim in diagnostics; keep their spacing.
// clang-format off
bool Grid::isConnected(int size, int x1, int y1, int x2, int y2) const {
    assert(size >= 0 && size <= 2);
    assert(x1 >= 0 && x1+size < width);
    assert(y1 >= 0 && y1+size < height);
    assert(x2 >= 0 && x2+size < width);
    assert(y2 >= 0 && y2+size < height);
    // clang-format on
    std::uint32_t* const labels = sectors[size].data();
    // Acquire: the count of clears read after these loads is at least that
    // of the clear, or of the fill, that wrote what they read.
    auto label = [&](int x, int y) {
        return std::atomic_ref<std::uint32_t>(labels[y * width + x]).load(std::memory_order_acquire);
    };
    // Without the lock, from labels of finished sectors, unless a clear ran meanwhile.
    const std::uint32_t clears = labelClears.load(std::memory_order_acquire);
    const std::uint32_t first = firstSector[size].load(std::memory_order_relaxed);
    const std::uint32_t next = nextSector[size].load(std::memory_order_acquire);
    const std::uint32_t sector1 = label(x1, y1), sector2 = label(x2, y2);
    const bool unchanged = clears % 2 == 0 && labelClears.load(std::memory_order_relaxed) == clears;
    if (unchanged && sector1 >= first && sector1 < next) return sector1 == sector2;
    // A mixed footprint has no sector, and asks for no fill.
    if (!isUniform(size, x1, y1, data[y1 * width + x1])) return false;

    const std::lock_guard<std::mutex> lock(labelMutex);
    LabelSector(size, x1, y1);
    const std::uint32_t labelled = label(x1, y1);
    return labelled >= firstSector[size] && labelled == label(x2, y2);
}

template <int size, bool counting, bool recording>
int Grid::SearchPath(SearchScratch& scratch, int x1, int y1, int x2, int y2, Path& path,
                     SearchStats* stats, std::vector<int>* expanded) const {
    const int w = width;
    const int start = y1 * w + x1, goal = y2 * w + x2;
    int cost = -1;

    auto& closed = scratch.closed;
    if (closed.size() != data.size()) {
        closed.assign(data.size(), 0);
        scratch.searchStamp = 0;
    }
    if (++scratch.searchStamp == kStampLimit) {
        std::fill(closed.begin(), closed.end(), 0);
        scratch.searchStamp = 1;
    }
    const std::uint32_t stampBits = scratch.searchStamp << kActionBits;
    std::uint32_t* const closedCells = closed.data();
    auto isClosed = [&](int cell) { return (closedCells[cell] & ~kActionMask) == stampBits; };

    // Every expanded position lies in the start's sector, and a position
    // beside one in the sector is in it exactly when its footprint is all of
    // the start's tile. So the three isConnected tests per neighbour read the
    // tiles, and only those the step adds to the footprint: the search needs
    // no sector labels, and a search after a tile change pays no fill.
    const Tile* const tiles = data.data();
    const Tile tile = tiles[start];
    auto rowFits = [&](int first) __attribute__((always_inline)) {
        return footprintRowFits<size>(tiles + first, tile);
    };
    auto columnFits = [&](int first) __attribute__((always_inline)) {
        const Tile* const top = tiles + first;
        unsigned misfits = 0;
        // Unrolled by request: GCC keeps this three-pass loop a loop otherwise.
#pragma GCC unroll 3
        for (int i = 0; i <= size; ++i) misfits |= top[i * w] ^ tile;
        return misfits == 0;
    };
    const int below = (size + 1) * w;  // from a footprint's top row to the row under it

    const RowOfCell rowOf(w);
    const int maxX = w - 1 - size, maxY = height - 1 - size;
    // For the step that reached a position, the byte offsets of the closed
    // words and the tile row that a search going on in its vertical direction
    // reads three rows on; 64-bit, as three rows of a very wide map exceed an int.
    std::int64_t closedAhead[8], tilesAhead[8];
    int stepOffset[8];  // from a cell to its neighbour
    for (int d = N; d <= NW; ++d) {
        const std::int64_t dy = stepDy(Direction(d)), rows = std::int64_t(w);
        closedAhead[d] = 3 * dy * rows * std::int64_t(sizeof *closedCells);
        tilesAhead[d] = dy > 0 ? (size + 3) * rows : 3 * dy * rows;
        stepOffset[d] = stepDx(Direction(d)) + stepDy(Direction(d)) * w;
    }
    // A prefetch never faults, so near the map's edges its address may lie
    // outside the tables; it is computed as an integer, which a pointer may not.
    auto prefetch = [](const void* from, std::int64_t offset) __attribute__((always_inline)) {
        __builtin_prefetch(reinterpret_cast<const void*>(
            reinterpret_cast<std::uintptr_t>(from) + std::uintptr_t(offset)));
    };
    OpenList& open = scratch.openList;
    open.clear();
    open.push(OpenEntry{openKey(estimateCost(x1, y1, x2, y2), 0), start, N});
    if constexpr (counting) ++stats->pushed;

    while (!open.empty()) {
        const OpenEntry cur = open.top();
        const int cell = cur.cell;
        open.pop();
        if (isClosed(cell)) continue;
        closedCells[cell] = stampBits | cur.action;
        if constexpr (counting) ++stats->expanded;
        if constexpr (recording) expanded->push_back(cell);

        if (cell == goal) {
            cost = openKeyGCost(cur.key);
            // No step costs less than a straight one, so the route fits in
            // cost / CARDINAL_COST steps: it is written from its end, in
            // place, and the room left in front removed.
            path.resize(cost / CARDINAL_COST);
            auto step = path.end();
            for (int c = cell; c != start;) {
                // Each step reads the word of a neighbour, which a long route
                // closed long ago: the rows three steps on load meanwhile.
                prefetch(closedCells + c, closedAhead[N]);
                prefetch(closedCells + c, closedAhead[S]);
                const auto action = static_cast<Direction>(closedCells[c] & kActionMask);
                *--step = action;
                c -= stepOffset[action];
            }
            path.erase(path.begin(), step);
            break;
        }

        const int y = rowOf(cell), x = cell - y * w;
        const int gCost = openKeyGCost(cur.key);
        // Along a corridor or a diagonal a route keeps going up or down: the
        // rows it will need a few positions on load while this one expands.
        prefetch(closedCells + cell, closedAhead[cur.action]);
        prefetch(tiles + cell, tilesAhead[cur.action]);
        // A straight step needs the row or column it adds to fit (and to stay
        // inside the valid area); a diagonal one also both straight steps
        // beside it, which leave only the far corner of its footprint unread.
        const bool toN = y > 0 && rowFits(cell - w);
        const bool toS = y < maxY && rowFits(cell + below);
        const bool toW = x > 0 && columnFits(cell - 1);
        const bool toE = x < maxX && columnFits(cell + size + 1);
        open.reserveFor(8);
        auto tryStep = [&](Direction d, bool allowed) __attribute__((always_inline)) {
            const int next = cell + stepOffset[d];
            if (!allowed || isClosed(next)) return;
            const int nextG = gCost + stepCost(d);
            const int nextF = nextG + estimateCost(x + stepDx(d), y + stepDy(d), x2, y2);
            open.pushReserved(OpenEntry{openKey(nextF, nextG), next, std::uint32_t(d)});
            if constexpr (counting) ++stats->pushed;
        };
        tryStep(N, toN);
        tryStep(NE, toN && toE && tiles[cell - w + size + 1] == tile);
        tryStep(E, toE);
        tryStep(SE, toS && toE && tiles[cell + below + size + 1] == tile);
        tryStep(S, toS);
        tryStep(SW, toS && toW && tiles[cell + below - 1] == tile);
        tryStep(W, toW);
        tryStep(NW, toN && toW && tiles[cell - w - 1] == tile);
    }
    return cost;
}

// clang-format off
void Grid::CheckSearchPreconditions(int size, int x1, int y1, int x2, int y2) const {
    assert(size >= 0 && size <= 2);
    assert(x1 >= 0 && x1+size < width);
    assert(y1 >= 0 && y1+size < height);
    const Tile tile = getTile(x1, y1);
    for (int y = y1; y <= y1 + size; ++y) {
        for (int x = x1; x <= x1 + size; ++x) {
            assert(getTile(x,y) == tile);
        }
    }
    assert(x2 >= 0 && x2+size < width);
    assert(y2 >= 0 && y2+size < height);
    // clang-format on
}

template <bool counting, bool recording>
int Grid::CheckedSearch(int size, int x1, int y1, int x2, int y2, Path& path, SearchStats* stats,
                        std::vector<int>* expanded) const {
    CheckSearchPreconditions(size, x1, y1, x2, y2);
    const ScratchPool::Lease scratch(scratchPool);
    if (size == 0)
        return SearchPath<0, counting, recording>(*scratch, x1, y1, x2, y2, path, stats, expanded);
    if (size == 1)
        return SearchPath<1, counting, recording>(*scratch, x1, y1, x2, y2, path, stats, expanded);
    return SearchPath<2, counting, recording>(*scratch, x1, y1, x2, y2, path, stats, expanded);
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path) const {
    return CheckedSearch<false, false>(size, x1, y1, x2, y2, path, nullptr, nullptr);
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                           SearchStats& stats) const {
    return CheckedSearch<true, false>(size, x1, y1, x2, y2, path, &stats, nullptr);
}

int Grid::findShortestPath(int size, int x1, int y1, int x2, int y2, Path& path,
                           SearchStats& stats, std::vector<int>& expanded) const {
    return CheckedSearch<true, true>(size, x1, y1, x2, y2, path, &stats, &expanded);
}
