#include "CompactPicture.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "Palette.h"

bool CompactPicture::update(const Grid& grid, const MapView& view, const Layers& layers) {
    if (shownView == view && layers == shownLayers) return false;
    compose(grid, view, layers);
    shownView = view;
    shownLayers = layers;
    return true;
}

void CompactPicture::compose(const Grid& grid, const MapView& view, const Layers& layers) {
    if (view.mixesCells()) {
        composeMixed(grid, view, layers);
        return;
    }
    const int W = view.windowWidth(), H = view.windowHeight();
    const int w = grid.getWidth(), h = grid.getHeight();
    const int size = layers.reachSize;
    pixels.assign(static_cast<std::size_t>(W) * H * 3, 0);

    std::vector<int> columnCell(W);
    for (int px = 0; px < W; ++px) columnCell[px] = view.cellAtPixelCentreX(px);

    // A cell is yellow when some reachable position's footprint covers it.
    auto reached = [&](int cx, int cy) {
        for (int y = std::max(cy - size, 0); y <= std::min(cy, h - 1 - size); ++y)
            for (int x = std::max(cx - size, 0); x <= std::min(cx, w - 1 - size); ++x)
                if (layers.reach->reaches(x, y)) return true;
        return false;
    };
    auto colorOf = [&](int cx, int cy) {
        if (layers.reach && reached(cx, cy)) return kYellowRgb;
        const Rgb8 tile = kTileRgb[grid.getTile(cx, cy)];
        if (layers.expanded && (*layers.expanded)[static_cast<std::size_t>(cy) * w + cx])
            return tinted(tile);
        return tile;
    };

    int previousCellRow = -2;
    for (int py = 0; py < H; ++py) {
        const int cy = view.cellAtPixelCentreY(py);
        std::uint8_t* row = &pixels[static_cast<std::size_t>(H - 1 - py) * W * 3];
        if (cy == previousCellRow) {
            // Same cells as the row just composed (the one below in memory).
            std::memcpy(row, row + static_cast<std::size_t>(W) * 3, static_cast<std::size_t>(W) * 3);
            continue;
        }
        previousCellRow = cy;
        if (cy < 0 || cy >= h) continue;  // beyond the map: background
        int previousCell = -2;
        Rgb8 color{};
        for (int px = 0; px < W; ++px) {
            const int cx = columnCell[px];
            if (cx < 0 || cx >= w) continue;
            if (cx != previousCell) {
                color = colorOf(cx, cy);
                previousCell = cx;
            }
            row[px * 3] = color.r;
            row[px * 3 + 1] = color.g;
            row[px * 3 + 2] = color.b;
        }
    }
}

namespace {

// The colours of the cells of one map row at a time, rows in increasing
// order, over the columns [x0, x1]: the tile, tinted where the search
// expanded, yellow where a reached position's footprint covers the cell.
// The rows of tiles and of reach answers in use are kept, so that each tile
// is read and each position asked about once.
class RowColours {
  public:
    RowColours(const Grid& grid, const CompactPicture::Layers& layers, int x0, int x1)
        : grid(grid),
          layers(layers),
          size(layers.reach ? layers.reachSize : 0),
          x0(x0),
          x1(x1),
          tx0(std::max(x0 - size, 0)),
          tx1(std::min(x1 + size, grid.getWidth() - 1)),
          lastPosition(std::min(x1, grid.getWidth() - 1 - size)),
          colours(x1 - x0 + 1) {
        const int slots = 2 * size + 2;
        tileRows.assign(slots, std::vector<Grid::Tile>(tx1 - tx0 + 1));
        tileRowOf.assign(slots, -1);
        if (layers.reach) {
            positionRows.assign(size + 1, std::vector<char>(x1 - tx0 + 1, 0));
            positionRowOf.assign(size + 1, -1);
            columnReached.resize(x1 - tx0 + 1);
            columnTile.resize(tx1 - tx0 + 1);
            columnRun.resize(tx1 - tx0 + 1);
        }
    }

    // Colour of cell x0 + i at index i.
    const std::vector<Rgb8>& row(int cy) {
        const int w = grid.getWidth();
        const std::vector<Grid::Tile>& tile = tiles(cy);
        for (int x = x0; x <= x1; ++x) {
            const Rgb8 c = kTileRgb[tile[x - tx0]];
            const bool tint =
                layers.expanded && (*layers.expanded)[static_cast<std::size_t>(cy) * w + x];
            colours[x - x0] = tint ? tinted(c) : c;
        }
        if (layers.reach) paintReach(cy);
        return colours;
    }

  private:
    // The tiles of map row r over [tx0, tx1].
    const std::vector<Grid::Tile>& tiles(int r) {
        const int slot = r % static_cast<int>(tileRows.size());
        if (tileRowOf[slot] != r) {
            tileRowOf[slot] = r;
            for (int x = tx0; x <= tx1; ++x) tileRows[slot][x - tx0] = grid.getTile(x, r);
        }
        return tileRows[slot];
    }

    // Whether each position of row y from tx0 to x1 reaches. A position
    // whose footprint mixes tiles reaches nothing; one whose footprint and
    // its left neighbour's are one tile together is a step from it, so it
    // reaches what that one reaches. Only the first of each such run is
    // asked.
    const std::vector<char>& positions(int y) {
        const int slot = y % static_cast<int>(positionRows.size());
        std::vector<char>& flags = positionRows[slot];
        if (positionRowOf[slot] == y) return flags;
        positionRowOf[slot] = y;
        std::fill(flags.begin(), flags.end(), 0);
        if (y > grid.getHeight() - 1 - size || lastPosition < tx0) return flags;
        // Columns whose cells in rows y .. y + size are one tile, and how
        // many such columns of that tile end at each.
        constexpr int kMixed = -1;
        const int lastColumn = lastPosition + size;
        const std::vector<Grid::Tile>& top = tiles(y);
        for (int c = tx0; c <= lastColumn; ++c) columnTile[c - tx0] = top[c - tx0];
        for (int r = y + 1; r <= y + size; ++r) {
            const std::vector<Grid::Tile>& tile = tiles(r);
            for (int c = tx0; c <= lastColumn; ++c)
                if (columnTile[c - tx0] != tile[c - tx0]) columnTile[c - tx0] = kMixed;
        }
        for (int c = tx0; c <= lastColumn; ++c) {
            const int i = c - tx0;
            columnRun[i] = columnTile[i] == kMixed                       ? 0
                           : i > 0 && columnTile[i] == columnTile[i - 1] ? columnRun[i - 1] + 1
                                                                         : 1;
        }
        for (int x = tx0; x <= lastPosition; ++x) {
            const int run = columnRun[x + size - tx0];
            if (run < size + 1) continue;  // mixed footprint
            flags[x - tx0] = run >= size + 2 ? flags[x - 1 - tx0]
                                             : static_cast<char>(layers.reach->reaches(x, y));
        }
        return flags;
    }

    void paintReach(int cy) {
        std::fill(columnReached.begin(), columnReached.end(), 0);
        for (int y = std::max(cy - size, 0); y <= cy; ++y) {
            const std::vector<char>& flags = positions(y);
            for (std::size_t i = 0; i < flags.size(); ++i) columnReached[i] |= flags[i];
        }
        for (int x = x0; x <= x1; ++x) {
            bool reached = false;
            for (int p = std::max(x - size, tx0); p <= x && !reached; ++p)
                reached = columnReached[p - tx0] != 0;
            if (reached) colours[x - x0] = kYellowRgb;
        }
    }

    const Grid& grid;
    const CompactPicture::Layers& layers;
    const int size;      // of the reach layer's object, else 0
    const int x0, x1;    // the cells coloured
    const int tx0, tx1;  // the tiles read: footprints reach size cells further
    const int lastPosition;
    std::vector<Rgb8> colours;
    std::vector<std::vector<Grid::Tile>> tileRows;
    std::vector<int> tileRowOf;
    std::vector<std::vector<char>> positionRows;  // from tx0 to x1
    std::vector<int> positionRowOf;
    std::vector<char> columnReached;
    std::vector<int> columnTile, columnRun;
};

}  // namespace

void CompactPicture::composeMixed(const Grid& grid, const MapView& view, const Layers& layers) {
    const int W = view.windowWidth(), H = view.windowHeight();
    const int h = grid.getHeight();
    pixels.assign(static_cast<std::size_t>(W) * H * 3, 0);
    const int firstX = view.firstVisibleX(), lastX = view.lastVisibleX();
    const std::int64_t perPixel = view.sharesPerPixel();
    // A pixel's sums reach perPixel^2 x 255, within 64 bits for any map
    // that fits in memory.
    assert(perPixel < (std::int64_t{1} << 27));
    // Cells a pixel touches at most along an axis: its width in cells, plus
    // one for a cell it only starts or ends in.
    const std::int64_t touched = perPixel / view.shareDenominator() + 2;

    // A cell is smaller than a pixel, so it lies in at most two pixel
    // columns: its share of the first, `pixel`, and of the next.
    const int cells = lastX - firstX + 1;
    std::vector<int> pixel(cells, -1);
    std::vector<std::int64_t> share(cells, 0), nextShare(cells, 0);
    for (int px = 0; px < W; ++px) {
        const std::int64_t first = view.firstShareCellX(px);
        for (std::int64_t c = first; c < first + touched; ++c) {
            const std::int64_t part = view.shareOfCellX(px, c);
            if (part == 0) continue;
            const std::size_t i = static_cast<std::size_t>(c - firstX);
            if (pixel[i] < 0) {
                pixel[i] = px;
                share[i] = part;
            } else {
                nextShare[i] = part;
            }
        }
    }

    // Per map row, each pixel column's share-weighted colour sum; the last
    // row's is kept, as the next pixel row may start in the same map row.
    RowColours rowColours(grid, layers, firstX, lastX);
    std::vector<std::int64_t> rowSums(static_cast<std::size_t>(W) * 3);
    int summedRow = -1;
    auto sumsOf = [&](int cy) -> const std::vector<std::int64_t>& {
        if (cy == summedRow) return rowSums;
        const std::vector<Rgb8>& colours = rowColours.row(cy);
        std::fill(rowSums.begin(), rowSums.end(), 0);
        for (int i = 0; i < cells; ++i) {
            if (pixel[i] < 0) continue;
            const Rgb8 c = colours[i];
            std::int64_t* sum = &rowSums[static_cast<std::size_t>(pixel[i]) * 3];
            sum[0] += share[i] * c.r;
            sum[1] += share[i] * c.g;
            sum[2] += share[i] * c.b;
            if (nextShare[i] != 0) {
                sum[3] += nextShare[i] * c.r;
                sum[4] += nextShare[i] * c.g;
                sum[5] += nextShare[i] * c.b;
            }
        }
        summedRow = cy;
        return rowSums;
    };

    // Shares of a pixel add up to perPixel on each axis.
    const double toByte = 1.0 / static_cast<double>(perPixel * perPixel);
    std::vector<std::int64_t> sums(static_cast<std::size_t>(W) * 3);
    for (int py = 0; py < H; ++py) {
        std::fill(sums.begin(), sums.end(), 0);
        const std::int64_t first = view.firstShareCellY(py);
        bool any = false;
        for (std::int64_t c = std::max<std::int64_t>(first, 0);
             c < std::min<std::int64_t>(first + touched, h); ++c) {
            const std::int64_t part = view.shareOfCellY(py, c);
            if (part == 0) continue;
            any = true;
            const std::vector<std::int64_t>& rowSum = sumsOf(static_cast<int>(c));
            for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += part * rowSum[i];
        }
        if (!any) continue;  // beyond the map: background
        std::uint8_t* row = &pixels[static_cast<std::size_t>(H - 1 - py) * W * 3];
        for (std::size_t i = 0; i < sums.size(); ++i)
            row[i] = static_cast<std::uint8_t>(static_cast<double>(sums[i]) * toByte + 0.5);
    }
}
