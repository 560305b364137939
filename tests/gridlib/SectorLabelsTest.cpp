// The sector label cache over long sessions: questions from mixed footprints
// use up no labels, and a counter at the end of its range starts again
// without changing an answer.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "Grid.h"
#include "TestMaps.h"

// The Grid lets this reach its label counter.
struct GridTestAccess {
    static void startSectorLabelsAt(const Grid& grid, std::uint32_t next) {
        grid.startSectorLabelsAt(next);
    }
    static std::uint32_t nextSector(const Grid& grid, int size) { return grid.nextSector[size]; }
};

namespace {

constexpr std::uint32_t kLastLabel = UINT32_MAX - 1;

// Ground halves split by a wall, a pond in the left one, so that size 1 has
// mixed footprints on the pond's rim and several sectors per size.
MapRows splitMap() {
    // clang-format off
    return {
        "......#......",
        "..~~..#......",
        "..~~..#......",
        "......#......",
        "......#......",
    };
    // clang-format on
}

// Positions reachable from (sx, sy) by 4-steps over uniform footprints of
// its tile, by a plain breadth-first search; empty when it is not uniform.
std::vector<bool> reachable(const Grid& grid, int size, int sx, int sy) {
    const int w = grid.getWidth(), h = grid.getHeight();
    const Grid::Tile tile = grid.getTile(sx, sy);
    auto uniform = [&](int x, int y) {
        if (x < 0 || y < 0 || x + size >= w || y + size >= h) return false;
        for (int i = 0; i <= size; ++i)
            for (int j = 0; j <= size; ++j)
                if (grid.getTile(x + j, y + i) != tile) return false;
        return true;
    };
    std::vector<bool> seen(std::size_t(w) * h);
    if (!uniform(sx, sy)) return seen;
    std::vector<std::pair<int, int>> queue{{sx, sy}};
    seen[sy * w + sx] = true;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const auto [x, y] = queue[i];
        for (const auto& [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
            if (uniform(nx, ny) && !seen[ny * w + nx]) {
                seen[ny * w + nx] = true;
                queue.emplace_back(nx, ny);
            }
        }
    }
    return seen;
}

TEST(SectorLabels, EveryAnswerMatchesAPlainSearch) {
    // Ragged shapes at several densities and widths, below, at and past a
    // machine word, from every start: each fill must label exactly its sector.
    for (const auto& [w, h, blocked, water] :
         {std::tuple{5, 9, 20, 10}, {13, 11, 10, 5}, {37, 14, 25, 10}, {70, 9, 4, 2}}) {
        const GridPtr grid = gridFromRows(noiseRows(w, h, blocked, water, std::uint32_t(w)));
        for (int size = 0; size <= 2; ++size) {
            for (int sy = 0; sy + size < h; ++sy) {
                for (int sx = 0; sx + size < w; ++sx) {
                    const std::vector<bool> expected = reachable(*grid, size, sx, sy);
                    for (int y = 0; y + size < h; ++y)
                        for (int x = 0; x + size < w; ++x)
                            ASSERT_EQ(grid->isConnected(size, sx, sy, x, y), expected[y * w + x])
                                << w << "x" << h << " size " << size << " from " << sx << "," << sy
                                << " to " << x << "," << y;
                }
            }
        }
    }
}

TEST(SectorLabels, QuestionsFromAMixedFootprintUseNoLabel) {
    // What reach mode asks every frame while the pointer is on the pond's rim.
    const GridPtr grid = gridFromRows(splitMap());
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

TEST(SectorLabels, AnExhaustedCounterStartsAgainWithTheSameAnswers) {
    // Two grids answer the same random questions through tile changes, one
    // with its counter a few labels before the end; it must run out and
    // start again, several times, without an answer changing.
    const MapRows rows = splitMap();
    const GridPtr fresh = gridFromRows(rows), nearEnd = gridFromRows(rows);
    GridTestAccess::startSectorLabelsAt(*nearEnd, kLastLabel - 3);
    const int w = fresh->getWidth(), h = fresh->getHeight();
    std::mt19937 rng(99);
    int restarts = 0;
    for (int q = 0; q < 3000; ++q) {
        if (q % 10 == 0) {
            const int x = int(rng() % w), y = int(rng() % h);
            const auto tile = Grid::Tile(rng() % 3);
            fresh->setTile(x, y, tile);
            nearEnd->setTile(x, y, tile);
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

TEST(SectorLabels, AStaleLabelNeverConnects) {
    // Both positions carry the old sector's label; the start's footprint has
    // since become mixed, so it is in no sector at all.
    const GridPtr grid = gridFromRows({"....", "....", "...."});
    EXPECT_TRUE(grid->isConnected(1, 0, 0, 2, 1));
    grid->setTile(1, 1, Grid::WATER);
    EXPECT_FALSE(grid->isConnected(1, 0, 0, 2, 1));
    EXPECT_FALSE(grid->isConnected(1, 0, 0, 0, 0));
    EXPECT_TRUE(grid->isConnected(1, 2, 0, 2, 1));
}

}  // namespace
