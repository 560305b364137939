// Sector labels over long sessions: none used up by mixed footprints, the counter restarting.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Grid.h"
#include "GridTestAccess.h"
#include "TestMaps.h"

namespace {

constexpr std::uint32_t kLastLabel = UINT32_MAX - 1;

// A pond on the left gives size 1 mixed footprints; a wall gives several sectors per size.
// clang-format off
const MapRows kSplitMap = {
    "......#......",
    "..~~..#......",
    "..~~..#......",
    "......#......",
    "......#......",
};
// clang-format on

// What reach mode asks every frame with the pointer on the pond's rim: no label used up.
TEST(SectorLabels, QuestionsFromAMixedFootprintUseNoLabel) {
    const GridPtr grid = gridFromRows(kSplitMap);
    GridTestAccess::startSectorLabelsAt(*grid, kLastLabel);
    for (int frame = 0; frame < 2000; ++frame)
        for (int y = 0; y + 1 < grid->getHeight(); ++y)
            for (int x = 0; x + 1 < grid->getWidth(); ++x)
                ASSERT_FALSE(grid->isConnected(1, 1, 0, x, y));  // cells (1..2, 0..1) mix
    EXPECT_EQ(GridTestAccess::nextSector(*grid, 1), kLastLabel);
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 4, 3));  // the next plain question takes the last
    EXPECT_EQ(GridTestAccess::nextSector(*grid, 1), kLastLabel + 1);
}

TEST(SectorLabels, AnExhaustedCounterStartsAgainWithTheSameAnswers) {
    // Same questions through tile changes; one counter runs out and restarts several times.
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
