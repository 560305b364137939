// Reading maps from 24-bit bitmaps: the colour rule, row placement, padding,
// the header's pixel offset, top-down files and every refused file.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include "BmpLoader.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

void putU16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

Bytes bitmapOf(const MapRows& rows) {
    return encodeBitmap(imageFromRows(rows));
}

// Loads `bytes` as a file; `out` gets what the loader wrote.
struct Loaded {
    GridPtr grid;
    std::string out;
};

Loaded load(const Bytes& bytes) {
    TempDir dir;
    const std::string path = dir.file("m.bmp");
    EXPECT_TRUE(writeBytes(path, bytes));
    std::ostringstream out;
    GridPtr grid = loadBitmapGrid(path.c_str(), out);
    // The file name in messages is the one given; show it as "m.bmp" here.
    std::string text = out.str();
    const std::size_t at = text.find(path);
    if (at != std::string::npos) text.replace(at, path.size(), "m.bmp");
    return Loaded{std::move(grid), text};
}

void expectTiles(const Grid& grid, const MapRows& rows) {
    ASSERT_EQ(grid.getWidth(), int(rows[0].size()));
    ASSERT_EQ(grid.getHeight(), int(rows.size()));
    for (int y = 0; y < grid.getHeight(); ++y) {
        for (int x = 0; x < grid.getWidth(); ++x) {
            const char c = rows[y][x];
            const Grid::Tile t = c == '~' ? Grid::WATER : c == '#' ? Grid::BLOCKED : Grid::GROUND;
            EXPECT_EQ(grid.getTile(x, y), t) << "cell (" << x << "," << y << ")";
        }
    }
}

// --- the colour rule -------------------------------------------------------

TEST(PathgridColorRule, ListedColoursGiveTheirTiles) {
    struct Case {
        unsigned char b, g, r;
        Grid::Tile tile;
    };
    const Case cases[] = {
        {255, 0, 0, Grid::WATER},     {0, 255, 0, Grid::GROUND},    {0, 0, 0, Grid::BLOCKED},
        {0, 0, 255, Grid::BLOCKED},   {255, 255, 255, Grid::WATER}, {96, 97, 0, Grid::GROUND},
        {96, 96, 255, Grid::BLOCKED}, {97, 0, 0, Grid::WATER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tileFromColor(c.b, c.g, c.r), c.tile)
            << "b=" << int(c.b) << " g=" << int(c.g) << " r=" << int(c.r);
    }
}

TEST(PathgridColorRule, RedNeverDecides) {
    for (int r = 0; r < 256; r += 15) {
        EXPECT_EQ(tileFromColor(96, 97, r), Grid::GROUND);
        EXPECT_EQ(tileFromColor(96, 96, r), Grid::BLOCKED);
        EXPECT_EQ(tileFromColor(97, 97, r), Grid::WATER);
    }
}

TEST(PathgridColorRule, PixelBytesAreReadBlueGreenRed) {
    // One pixel row of (b, g, r) bytes as the file stores them.
    Bytes file = bitmapOf({"...", "...", "..."});
    const unsigned char bgr[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int x = 0; x < 3; ++x) {
        for (int k = 0; k < 3; ++k) file[54 + 3 * x + k] = bgr[x][k];
    }
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    EXPECT_EQ(m.grid->getTile(0, 2), Grid::WATER);
    EXPECT_EQ(m.grid->getTile(1, 2), Grid::GROUND);
    EXPECT_EQ(m.grid->getTile(2, 2), Grid::BLOCKED);
}

// --- placement and layout --------------------------------------------------

TEST(PathgridPlacement, FirstFileRowIsTheBottomRowAndSizeIsPrinted) {
    const MapRows rows = {"~..#", "....", "....", "#..~"};
    const Bytes file = bitmapOf(rows);
    // The writer stores bottom-up: the first pixel of the file is (0, 3).
    ASSERT_EQ(file[54], 60);  // blue byte of a blocked pixel
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    EXPECT_EQ(m.out, "width=4 height=4\n");
    expectTiles(*m.grid, rows);
}

TEST(PathgridPlacement, WidthAndHeightAreReportedAsLoaded) {
    const MapRows rows = {"........", "~~~~~~~~", "########"};
    const Loaded m = load(bitmapOf(rows));
    ASSERT_TRUE(m.grid);
    EXPECT_EQ(m.out, "width=8 height=3\n");
    expectTiles(*m.grid, rows);
}

TEST(PathgridPadding, RowsOfEveryWidthLoadCorrectly) {
    // Widths 3, 5, 6, 7 have 3, 1, 2, 3 padding bytes per row; 4 and 8 none.
    for (int width : {3, 4, 5, 6, 7, 8}) {
        MapRows rows;
        for (int y = 0; y < 5; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) row += ".~#"[(x + 2 * y) % 3];
            rows.push_back(row);
        }
        const Loaded m = load(bitmapOf(rows));
        ASSERT_TRUE(m.grid) << "width " << width;
        expectTiles(*m.grid, rows);
    }
}

TEST(PathgridPadding, PaddingBytesAreNotReadAsPixels) {
    // Padding filled with a water colour must not leak into the next row.
    const MapRows rows = {".....", ".....", "....."};
    Bytes file = bitmapOf(rows);
    for (int row = 0; row < 3; ++row) file[54 + row * 16 + 15] = 255;
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    expectTiles(*m.grid, rows);
}

TEST(PathgridLayout, PixelsStartAtTheOffsetInTheHeader) {
    const MapRows rows = {"#~.", ".#~", "~.#"};
    Bytes file = bitmapOf(rows);
    // A 12-byte gap (as a palette or a longer header would leave) of water.
    file.insert(file.begin() + 54, 12, 255);
    putU32(file, 10, 54 + 12);
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    expectTiles(*m.grid, rows);
}

TEST(PathgridLayout, LongerInformationHeaderIsAccepted) {
    const MapRows rows = {"#~.", ".#~", "~.#"};
    Bytes file = bitmapOf(rows);
    file.insert(file.begin() + 54, 124 - 40, 0);  // the largest header in use
    putU32(file, 14, 124);
    putU32(file, 10, 14 + 124);
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    expectTiles(*m.grid, rows);
}

TEST(PathgridLayout, NegativeHeightIsATopDownBitmap) {
    const MapRows rows = {"~..#", "#...", "..~.", "...."};
    const Bytes bottomUp = bitmapOf(rows);
    Bytes file(bottomUp.begin(), bottomUp.begin() + 54);
    const std::size_t stride = 12;
    for (int row = 3; row >= 0; --row) {
        file.insert(file.end(), bottomUp.begin() + 54 + row * stride,
                    bottomUp.begin() + 54 + (row + 1) * stride);
    }
    putU32(file, 22, std::uint32_t(-4));
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    EXPECT_EQ(m.out, "width=4 height=4\n");
    expectTiles(*m.grid, rows);
}

TEST(PathgridLayout, LastRowNeedsNoPadding) {
    const MapRows rows = {".~#.~", "#.~#.", "~#.~#"};
    Bytes file = bitmapOf(rows);
    file.resize(file.size() - 1);  // width 5: one padding byte per row
    const Loaded m = load(file);
    ASSERT_TRUE(m.grid);
    expectTiles(*m.grid, rows);
}

// --- refused files ----------------------------------------------------------

struct Refusal {
    const char* name;
    void (*damage)(Bytes&);
    const char* line;
};

void notBitmap(Bytes& b) {
    b[0] = 'P';
}
void emptyFile(Bytes& b) {
    b.clear();
}
void shortHeader(Bytes& b) {
    b.resize(40);
}
void coreHeader(Bytes& b) {
    putU32(b, 14, 12);
}
void bits32(Bytes& b) {
    putU16(b, 28, 32);
}
void bits8(Bytes& b) {
    putU16(b, 28, 8);
}
void compressed(Bytes& b) {
    putU32(b, 30, 1);
}
void bitfields(Bytes& b) {
    putU32(b, 30, 3);
}
void truncated(Bytes& b) {
    b.resize(b.size() - 13);
}  // into the last row's pixels
void noPixels(Bytes& b) {
    b.resize(54);
}
void zeroWidth(Bytes& b) {
    putU32(b, 18, 0);
}
void negativeWidth(Bytes& b) {
    putU32(b, 18, std::uint32_t(-4));
}
void zeroHeight(Bytes& b) {
    putU32(b, 22, 0);
}
void lowestHeight(Bytes& b) {
    putU32(b, 22, 0x80000000u);
}
void overflowing(Bytes& b) {
    putU32(b, 18, 65536);
    putU32(b, 22, 32768);
}
void narrow(Bytes& b) {
    putU32(b, 18, 2);
}
void low(Bytes& b) {
    putU32(b, 22, 2);
}
void lowTopDown(Bytes& b) {
    putU32(b, 22, std::uint32_t(-2));
}
void offsetInHeader(Bytes& b) {
    putU32(b, 10, 50);
}
void offsetPastEnd(Bytes& b) {
    putU32(b, 10, 54 + 4);
}

class PathgridRefusedFile : public ::testing::TestWithParam<Refusal> {};

TEST_P(PathgridRefusedFile, GivesOneLineAndNoGrid) {
    Bytes file = bitmapOf({"....", "....", "....", "...."});
    GetParam().damage(file);
    const Loaded m = load(file);
    EXPECT_FALSE(m.grid);
    EXPECT_EQ(m.out, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    PathgridLoader, PathgridRefusedFile,
    ::testing::Values(
        Refusal{"NotABitmap", notBitmap, "Cannot read m.bmp: not a bitmap file\n"},
        Refusal{"EmptyFile", emptyFile, "Cannot read m.bmp: not a bitmap file\n"},
        Refusal{"ShortHeader", shortHeader, "Cannot read m.bmp: file ends inside its header\n"},
        Refusal{"CoreHeader", coreHeader, "Cannot read m.bmp: unsupported bitmap header\n"},
        Refusal{"Bits32", bits32, "Cannot read m.bmp: not a 24-bit uncompressed bitmap\n"},
        Refusal{"Bits8", bits8, "Cannot read m.bmp: not a 24-bit uncompressed bitmap\n"},
        Refusal{"Compressed", compressed, "Cannot read m.bmp: not a 24-bit uncompressed bitmap\n"},
        Refusal{"Bitfields", bitfields, "Cannot read m.bmp: not a 24-bit uncompressed bitmap\n"},
        Refusal{"Truncated", truncated, "Cannot read m.bmp: file ends before its pixels\n"},
        Refusal{"NoPixels", noPixels, "Cannot read m.bmp: file ends before its pixels\n"},
        Refusal{"ZeroWidth", zeroWidth, "Cannot read m.bmp: width or height not positive\n"},
        Refusal{"NegativeWidth", negativeWidth,
                "Cannot read m.bmp: width or height not positive\n"},
        Refusal{"ZeroHeight", zeroHeight, "Cannot read m.bmp: width or height not positive\n"},
        Refusal{"LowestHeight", lowestHeight, "Cannot read m.bmp: width or height not positive\n"},
        Refusal{"Overflowing", overflowing, "Cannot read m.bmp: map too large\n"},
        Refusal{"TwoColumns", narrow, "Cannot read m.bmp: map smaller than 3 x 3 cells\n"},
        Refusal{"TwoRows", low, "Cannot read m.bmp: map smaller than 3 x 3 cells\n"},
        Refusal{"TwoRowsTopDown", lowTopDown, "Cannot read m.bmp: map smaller than 3 x 3 cells\n"},
        Refusal{"OffsetInHeader", offsetInHeader,
                "Cannot read m.bmp: pixel data offset inside the header\n"},
        Refusal{"OffsetPastEnd", offsetPastEnd,
                "Cannot read m.bmp: file ends before its pixels\n"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(PathgridRefusedFile, SmallestAcceptedMapIsThreeByThree) {
    const Loaded m = load(bitmapOf({"...", ".#.", "..."}));
    ASSERT_TRUE(m.grid);
    EXPECT_EQ(m.out, "width=3 height=3\n");
}

TEST(PathgridRefusedFile, MissingFileGivesTheBareLine) {
    TempDir dir;
    const std::string path = dir.file("none.bmp");
    std::ostringstream out;
    EXPECT_FALSE(loadBitmapGrid(path.c_str(), out));
    EXPECT_EQ(out.str(), "Cannot read " + path + "\n");
}

TEST(PathgridRefusedFile, DirectoryIsNotABitmap) {
    TempDir dir;
    std::ostringstream out;
    EXPECT_FALSE(loadBitmapGrid(dir.path().c_str(), out));
    EXPECT_EQ(out.str().rfind("Cannot read " + dir.path(), 0), 0u) << out.str();
}

}  // namespace
