// The map generator's own Dijkstra on hand-made maps, and its maps read back
// through the octile parser.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "OctileMap.h"
#include "OctileMaps.h"
#include "OctileScenario.h"

namespace {

const double kRoot2 = std::sqrt(2.0);

double lengthTo(const OctileRows& rows, int x0, int y0, int x1, int y1) {
    return octileLengthsFrom(rows, x0, y0)[std::size_t(y1) * rows[0].size() + x1];
}

TEST(GeneratorLengths, DiagonalsAreRoot2AndCornersAreNotCut) {
    const OctileRows open = {"....", "....", "...."};
    EXPECT_DOUBLE_EQ(lengthTo(open, 0, 0, 3, 2), 2 * kRoot2 + 1);
    EXPECT_DOUBLE_EQ(lengthTo(open, 0, 0, 0, 0), 0);

    const OctileRows pillar = {"...", ".T.", "..."};
    EXPECT_DOUBLE_EQ(lengthTo(pillar, 0, 0, 2, 2), 4);
    EXPECT_DOUBLE_EQ(lengthTo(pillar, 0, 0, 1, 1), -1);

    // Swamp walks like ground; water is a world of its own.
    const OctileRows mixed = {".SS", "WWS", "W.."};
    EXPECT_DOUBLE_EQ(lengthTo(mixed, 0, 0, 2, 2), 4);  // the water corner blocks both diagonals
    EXPECT_DOUBLE_EQ(lengthTo(mixed, 0, 0, 1, 2), 5);
    EXPECT_DOUBLE_EQ(lengthTo(mixed, 0, 1, 0, 2), 1);
    EXPECT_DOUBLE_EQ(lengthTo(mixed, 0, 0, 0, 1), -1);
}

TEST(GeneratorScenario, QueriesAreReachableWithTheirLengthsAndSortedByBucket) {
    const OctileRows rows = makeRoomsMap(64, 64, 3);
    const auto lines = makeScenario(rows, 60, 12, 3);
    ASSERT_EQ(lines.size(), 60u);
    int previousBucket = 0;
    for (const ScenarioLine& l : lines) {
        EXPECT_GE(l.bucket, previousBucket);
        previousBucket = l.bucket;
        EXPECT_LE(l.bucket, 9);
        EXPECT_GT(l.optimal, 0);
        EXPECT_DOUBLE_EQ(lengthTo(rows, l.startX, l.startY, l.goalX, l.goalY), l.optimal);
    }
    EXPECT_EQ(lines.back().bucket, 9);  // the longest query is in the last tenth

    std::ostringstream out;
    writeScenario(out, "r.map", 64, 64, {lines.front()});
    char optimal[32];
    std::snprintf(optimal, sizeof optimal, "%.8f", lines.front().optimal);
    EXPECT_EQ(out.str(), "version 1\n" + std::to_string(lines.front().bucket) +
                             "\tr.map\t64\t64\t" + std::to_string(lines.front().startX) + "\t" +
                             std::to_string(lines.front().startY) + "\t" +
                             std::to_string(lines.front().goalX) + "\t" +
                             std::to_string(lines.front().goalY) + "\t" + optimal + "\n");
}

TEST(GeneratorScenario, RockGivesNoQueries) {
    const OctileRows rock(8, std::string(8, '@'));
    EXPECT_TRUE(makeScenario(rock, 10, 5, 1).empty());
}

TEST(GeneratorMaps, EveryKindReadsBackAsTheSameTiles) {
    const OctileRows maps[] = {makeRoomsMap(70, 50, 1), makeMazeMap(70, 50, 2, 1),
                               makeLakesMap(70, 50, 1)};
    for (const OctileRows& rows : maps) {
        std::stringstream file;
        writeOctileMap(file, rows);
        std::string error;
        const GridPtr grid = parseOctileMap(file, error);
        ASSERT_NE(grid, nullptr) << error;
        ASSERT_EQ(grid->getWidth(), 70);
        ASSERT_EQ(grid->getHeight(), 50);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 70; ++x) {
                Grid::Tile tile = Grid::GROUND;
                ASSERT_TRUE(tileFromOctileChar(rows[y][x], tile));
                EXPECT_EQ(grid->getTile(x, y), tile);
            }
        }
    }
}

TEST(GeneratorMaps, AMazeIsOneConnectedCorridorSystem) {
    const OctileRows maze = makeMazeMap(41, 31, 1, 5);
    const std::vector<double> lengths = octileLengthsFrom(maze, 1, 1);
    int ground = 0;
    for (int y = 0; y < 31; ++y) {
        EXPECT_EQ(maze[y][0], '@');
        for (int x = 0; x < 41; ++x) {
            if (maze[y][x] != '.') continue;
            ++ground;
            EXPECT_GE(lengths[std::size_t(y) * 41 + x], 0) << x << "," << y;
        }
    }
    // A perfect maze of 20 x 15 cells: the cells plus one opening per tree edge.
    EXPECT_EQ(ground, 20 * 15 + (20 * 15 - 1));
}

TEST(GeneratorMaps, SameSeedSameMapOtherSeedOtherMap) {
    EXPECT_EQ(makeLakesMap(90, 60, 8), makeLakesMap(90, 60, 8));
    EXPECT_NE(makeLakesMap(90, 60, 8), makeLakesMap(90, 60, 9));
    EXPECT_EQ(makeRoomsMap(90, 60, 8), makeRoomsMap(90, 60, 8));
    EXPECT_NE(makeMazeMap(90, 60, 1, 8), makeMazeMap(90, 60, 1, 9));
}

}  // namespace
