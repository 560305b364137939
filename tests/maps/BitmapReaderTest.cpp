// Reading maps from 24-bit bitmaps (the colour rule, row placement, padding,
// pixel offset, top-down files, refused files), and the sample map the
// generator makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>

#include "BitmapReader.h"
#include "SampleMapGenerator.h"
#include "TestMaps.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// What reading `bytes` as a bitmap called m.bmp writes; `grid` gets the map.
std::string load(const Bytes& bytes, GridPtr& grid) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::ostringstream out;
    grid = readBitmapGrid(in, "m.bmp", out);
    return out.str();
}

void expectTiles(const Bytes& file, const MapRows& rows) {
    GridPtr grid;
    EXPECT_EQ(load(file, grid), "width=" + std::to_string(rows[0].size()) +
                                    " height=" + std::to_string(rows.size()) + "\n");
    ASSERT_TRUE(grid);
    EXPECT_EQ(tileText(*grid), tileText(*gridFromRows(rows)));
}

// Blue from 97 makes water whatever the green, green from 97 ground, and red
// counts for nothing.
TEST(BitmapReader, ColourRuleIgnoresRed) {
    const struct {
        unsigned char b, g, r;
        Grid::Tile tile;
    } cases[] = {{97, 0, 0, Grid::WATER},      {97, 255, 255, Grid::WATER},
                 {96, 97, 0, Grid::GROUND},    {96, 97, 255, Grid::GROUND},
                 {96, 96, 255, Grid::BLOCKED}, {0, 0, 0, Grid::BLOCKED}};
    for (const auto& c : cases) EXPECT_EQ(tileFromColor(c.b, c.g, c.r), c.tile) << int(c.b);
}

// Every width of row padding, each file also with a gap before the pixels,
// with the largest information header in use, and stored top down.
TEST(BitmapReader, RowsLandUpsideDownOrTopDownAfterTheOffsetWithoutTheirPadding) {
    // Widths 3, 5, 6, 7 pad their rows by 3, 1, 2, 3 bytes; 4 and 8 not at all.
    for (int width = 3; width <= 8; ++width) {
        SCOPED_TRACE(width);
        MapRows rows(4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < width; ++x) rows[y] += ".~#."[(x + y) % 4];
        Bytes plain = encodeBitmap(imageFromRows(rows));
        const std::size_t stride = (3 * width + 3) / 4 * 4;
        const auto row = [&](std::size_t r) { return plain.begin() + 54 + r * stride; };
        // Padding of water-blue bytes must not leak into the next row.
        for (std::size_t r = 0; r < 4; ++r) std::fill(row(r) + 3 * width, row(r + 1), 255);
        expectTiles(plain, rows);

        // 12 bytes of water between the header and the pixels, after the plain
        // information header and after the largest one in use.
        for (const std::uint32_t header : {40u, 124u}) {
            Bytes moved = plain;
            moved.insert(moved.begin() + 54, header - 40 + 12, 255);
            putU32(moved, 14, header);
            putU32(moved, 10, 14 + header + 12);
            expectTiles(moved, rows);
        }

        Bytes topDown(plain.begin(), row(0));
        for (std::size_t r = 4; r-- > 0;) topDown.insert(topDown.end(), row(r), row(r + 1));
        putU32(topDown, 22, std::uint32_t(-4));
        expectTiles(topDown, rows);
    }
}

TEST(BitmapReader, UnusableFilesAreRefusedWithTheirReason) {
    const std::pair<std::function<void(Bytes&)>, const char*> cases[] = {
        {[](Bytes& b) { b[0] = 'P'; }, "not a bitmap file"},
        {[](Bytes& b) { b.resize(40); }, "file ends inside its header"},
        {[](Bytes& b) { putU32(b, 14, 12); }, "unsupported bitmap header"},
        {[](Bytes& b) { b[28] = 32; }, "not a 24-bit uncompressed bitmap"},
        {[](Bytes& b) { putU32(b, 30, 1); }, "not a 24-bit uncompressed bitmap"},
        {[](Bytes& b) { b.resize(b.size() - 13); }, "file ends before its pixels"},
        {[](Bytes& b) { putU32(b, 18, std::uint32_t(-4)); }, "width or height not positive"},
        {[](Bytes& b) { putU32(b, 22, 0x80000000u); }, "map too large"},  // 2^31 rows top-down
        {[](Bytes& b) { putU32(b, 18, 65536), putU32(b, 22, 32768); }, "map too large"},
        {[](Bytes& b) { putU32(b, 18, 2); }, "map smaller than 3 x 3 cells"},
        {[](Bytes& b) { putU32(b, 22, std::uint32_t(-2)); }, "map smaller than 3 x 3 cells"},
        {[](Bytes& b) { putU32(b, 10, 50); }, "pixel data offset inside the header"},
    };
    for (const auto& [damage, reason] : cases) {
        Bytes file = encodeBitmap(imageFromRows({"....", "....", "....", "...."}));
        damage(file);
        GridPtr grid;
        EXPECT_EQ(load(file, grid), std::string("Cannot read m.bmp: ") + reason + "\n");
        EXPECT_FALSE(grid);
    }
}

TEST(BitmapReader, SampleMapGivesEachObjectSizeItsOwnCorridor) {
    GridPtr grid;
    EXPECT_EQ(load(encodeBitmap(makeSampleMap(64, 64)), grid), "width=64 height=64\n");
    ASSERT_TRUE(grid);
    const int corridorRow[3] = {kPlanCorridor1Row, kPlanCorridor2Row, kPlanCorridor3Row};
    for (int size = 0; size < 3; ++size) {
        Grid::Path path;
        ASSERT_GT(grid->findShortestPath(size, 20, 28, 40, 28, path), 0) << size;
        // The row where the route first stands inside the central wall.
        int x = 20, y = 28;
        for (std::size_t i = 0; i < path.size() && (x < kPlanWallBegin || x >= kPlanWallEnd); ++i) {
            x += Grid::stepDx(path[i]);
            y += Grid::stepDy(path[i]);
        }
        EXPECT_EQ(y, corridorRow[size]) << "size " << size;
    }
}

}  // namespace
