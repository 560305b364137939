// The sector label cache over long sessions: questions from mixed footprints
// use up no labels, and a counter at the end of its range starts again
// without changing an answer.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Grid.h"
#include "GridTestAccess.h"
#include "TestMaps.h"

namespace {

constexpr std::uint32_t kLastLabel = UINT32_MAX - 1;

// Ground halves split by a wall, a pond in the left one, so that size 1 has
// mixed footprints on the pond's rim and several sectors per size.
// clang-format off
const MapRows kSplitMap = {
    "......#......",
    "..~~..#......",
    "..~~..#......",
    "......#......",
    "......#......",
};
// clang-format on

TEST(SectorLabels, QuestionsFromAMixedFootprintUseNoLabel) {
    // What reach mode asks every frame while the pointer is on the pond's rim.
    const GridPtr grid = gridFromRows(kSplitMap);
    GridTestAccess::startSectorLabelsAt(*grid, kLastLabel);
    for (int frame = 0; frame < 2000; ++frame)
        for (int y = 0; y + 1 < grid->getHeight(); ++y)
            for (int x = 0; x + 1 < grid->getWidth(); ++x)
                ASSERT_FALSE(grid->isConnected(1, 1, 0, x, y));  // cells (1..2, 0..1) mix
    EXPECT_EQ(GridTestAccess::nextSector(*grid, 1), kLastLabel);
    // The next plain question takes the last label and answers as usual.
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 4, 3));
    EXPECT_FALSE(grid->isConnected(1, 0, 0, 7, 0));
    EXPECT_EQ(GridTestAccess::nextSector(*grid, 1), kLastLabel + 1);
}

// The search answers its connectivity tests from the tiles, so a search
// right after a tile change labels nothing and costs no fill.
TEST(SectorLabels, SearchesLabelNothing) {
    const GridPtr grid = gridFromRows(kSplitMap);
    grid->setTile(12, 4, Grid::GROUND);
    Grid::Path path;
    // Open ground on the right half, then across the wall.
    EXPECT_EQ(grid->findShortestPath(0, 7, 0, 12, 4, path), 4 * 142 + 100);
    EXPECT_EQ(grid->findShortestPath(1, 7, 0, 11, 3, path), 3 * 142 + 100);
    EXPECT_EQ(grid->findShortestPath(2, 7, 0, 10, 2, path), 2 * 142 + 100);
    EXPECT_EQ(grid->findShortestPath(0, 0, 0, 12, 0, path), -1);
    for (int size = 0; size <= 2; ++size) EXPECT_EQ(GridTestAccess::nextSector(*grid, size), 1u);
    EXPECT_TRUE(grid->isConnected(0, 7, 0, 12, 4));  // a question labels, as ever
    EXPECT_EQ(GridTestAccess::nextSector(*grid, 0), 2u);
}

TEST(SectorLabels, AnExhaustedCounterStartsAgainWithTheSameAnswers) {
    // Two grids answer the same random questions through tile changes, one
    // with its counter a few labels before the end; it must run out and
    // start again, several times, without an answer changing.
    const GridPtr fresh = gridFromRows(kSplitMap), nearEnd = gridFromRows(kSplitMap);
    GridTestAccess::startSectorLabelsAt(*nearEnd, kLastLabel - 3);
    const int w = fresh->getWidth(), h = fresh->getHeight();
    std::mt19937 rng(99);
    int restarts = 0;
    for (int q = 0; q < 3000; ++q) {
        if (q % 10 == 0) {
            const int x = int(rng() % w), y = int(rng() % h);
            const auto tile = Grid::Tile(rng() % 3);
            for (Grid* grid : {fresh.get(), nearEnd.get()}) grid->setTile(x, y, tile);
        }
        const int size = int(rng() % 3);
        const int x1 = int(rng() % (w - size)), y1 = int(rng() % (h - size));
        const int x2 = int(rng() % (w - size)), y2 = int(rng() % (h - size));
        const std::uint32_t before = GridTestAccess::nextSector(*nearEnd, size);
        ASSERT_EQ(nearEnd->isConnected(size, x1, y1, x2, y2),
                  fresh->isConnected(size, x1, y1, x2, y2))
            << "question " << q;
        if (GridTestAccess::nextSector(*nearEnd, size) < before) ++restarts;
        ASSERT_NE(GridTestAccess::nextSector(*nearEnd, size), 0u);
    }
    EXPECT_GE(restarts, 3);  // each size ran out at least once
}

}  // namespace
