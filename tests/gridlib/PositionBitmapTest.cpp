// The bitmaps of fitting positions against the footprint rule read cell by
// cell: built whole (64 rows and columns at a time, so sides around 64
// matter) and changed one cell at a time, in both planes; and their size.

#include <gtest/gtest.h>

#include <random>

#include "Grid.h"
#include "PositionBitmap.h"
#include "TestMaps.h"

namespace {

bool footprintHolds(const Grid& grid, int size, int x, int y, Grid::Tile tile) {
    if (x + size >= grid.getWidth() || y + size >= grid.getHeight()) return false;
    for (int i = 0; i <= size; ++i)
        for (int j = 0; j <= size; ++j)
            if (grid.getTile(x + j, y + i) != tile) return false;
    return true;
}

const std::uint8_t* tilesOf(const Grid& grid) {
    static std::vector<std::uint8_t> tiles;
    tiles.clear();
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x) tiles.push_back(grid.getTile(x, y));
    return tiles.data();
}

// Every position, and the clear bits around the map that stop the scans.
void expectBitmapOf(const Grid& grid, const PositionBitmap& bitmap, int size, Grid::Tile tile) {
    const int w = grid.getWidth(), h = grid.getHeight();
    for (int y = -1; y <= h; ++y) {
        for (int x = -1; x <= w; ++x) {
            const bool want = x >= 0 && y >= 0 && footprintHolds(grid, size, x, y, tile);
            ASSERT_EQ(bitmap.byRow().test(y, x), want) << "row plane at " << x << "," << y;
            ASSERT_EQ(bitmap.byColumn().test(x, y), want) << "column plane at " << x << "," << y;
        }
    }
}

TEST(PositionBitmap, HoldsExactlyTheFittingPositionsAndFollowsCellChanges) {
    std::mt19937 rng(3);
    for (const auto& [w, h] :
         {std::pair{1, 1}, {63, 65}, {64, 64}, {65, 130}, {129, 63}, {200, 3}, {3, 200}}) {
        const GridPtr grid = gridFromRows(noiseRows(w, h, 10, 10, std::uint32_t(w * h)));
        for (int size = 0; size <= 2; ++size) {
            for (const Grid::Tile tile : {Grid::GROUND, Grid::WATER}) {
                SCOPED_TRACE(::testing::Message()
                             << w << "x" << h << " size " << size << " tile " << int(tile));
                PositionBitmap bitmap;
                bitmap.build(tilesOf(*grid), w, h, size, tile);
                expectBitmapOf(*grid, bitmap, size, tile);
                for (int change = 0; change < 30; ++change) {
                    const int x = int(rng() % unsigned(w)), y = int(rng() % unsigned(h));
                    grid->setTile(x, y, Grid::Tile(rng() % 3));
                    bitmap.cellChanged(tilesOf(*grid), x, y);
                }
                expectBitmapOf(*grid, bitmap, size, tile);
            }
        }
    }
}

// Two bits a cell, one in each plane, and no more than a clear bit a row and
// two clear rows (with a few words of margin) besides.
TEST(PositionBitmap, TakesTwoBitsACell) {
    for (const auto& [w, h] : {std::pair{2048, 2048}, {4000, 300}}) {
        const std::vector<std::uint8_t> tiles(std::size_t(w) * std::size_t(h), Grid::GROUND);
        PositionBitmap bitmap;
        bitmap.build(tiles.data(), w, h, 0, Grid::GROUND);
        const std::size_t cells = std::size_t(w) * std::size_t(h);
        const std::size_t extraBits = std::size_t(w + h) + 3 * std::size_t(w + h) + 1024;
        EXPECT_LE(bitmap.memoryBytes(), (2 * cells + extraBits) / 8) << w << "x" << h;
    }
}

}  // namespace
