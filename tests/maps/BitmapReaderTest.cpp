// Reading maps from bitmaps: the colour rule; 24-bit row placement, padding,
// pixel offset and top-down files; 32-bit pixels through their masks and
// 8-bit pixels through their palette; the kinds and damaged files refused;
// and the sample map the generator makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <bit>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BitmapReader.h"
#include "SampleMapGenerator.h"
#include "TestMaps.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes le32(std::uint32_t v) {
    Bytes b(4);
    putU32(b, 0, v);
    return b;
}

// The header fields a bitmap of any kind is built from.
struct Header {
    std::uint16_t bits = 32;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::vector<std::uint32_t> masks{};    // red, green, blue (, alpha), from file byte 54
    std::vector<std::uint32_t> palette{};  // 0xRRGGBB each
    std::uint32_t coloursUsed = 0;
    std::size_t gap = 0;  // bytes between what precedes the pixels and the pixels
    bool topDown = false;
};

// A bitmap holding `rows` (row 0 the top of the picture, each the bytes of its
// pixels), each row padded to 4 bytes with `pad`; gaps are filled with it too.
Bytes makeBitmap(const Header& h, int width, const std::vector<Bytes>& rows,
                 unsigned char pad = 0) {
    Bytes b(14 + h.infoSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    putU32(b, 14, h.infoSize);
    putU32(b, 18, std::uint32_t(width));
    putU32(b, 22, std::uint32_t(h.topDown ? -int(rows.size()) : int(rows.size())));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(h.bits);
    b[29] = static_cast<unsigned char>(h.bits >> 8);
    putU32(b, 30, h.compression);
    putU32(b, 46, h.coloursUsed);
    // Byte 54 is just past a 40-byte header and inside a larger one.
    b.resize(std::max(b.size(), 54 + 4 * h.masks.size()));
    for (std::size_t i = 0; i < h.masks.size(); ++i) putU32(b, 54 + 4 * i, h.masks[i]);
    for (const std::uint32_t c : h.palette) {
        const Bytes entry = le32(c);  // blue, green, red, reserved
        b.insert(b.end(), entry.begin(), entry.end());
    }
    b.insert(b.end(), h.gap, pad);
    putU32(b, 10, std::uint32_t(b.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Bytes& row = rows[h.topDown ? r : rows.size() - 1 - r];
        b.insert(b.end(), row.begin(), row.end());
        b.insert(b.end(), (4 - row.size() % 4) % 4, pad);
    }
    putU32(b, 2, std::uint32_t(b.size()));
    return b;
}

// The rows of a map, each cell turned into its pixel's bytes by `pixel`.
std::vector<Bytes> pixelRows(const MapRows& rows,
                             const std::function<Bytes(char, int x, int y)>& pixel) {
    std::vector<Bytes> out(rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            const Bytes p = pixel(rows[y][x], int(x), int(y));
            out[y].insert(out[y].end(), p.begin(), p.end());
        }
    return out;
}

// Four rows of ground, water and wall, every tile next to the other two.
MapRows patternRows(int width) {
    MapRows rows(4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < width; ++x) rows[y] += ".~#."[(x + y) % 4];
    return rows;
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
        const MapRows rows = patternRows(width);
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
        {[](Bytes& b) { b[28] = 16; },
         "not a 24-bit, 32-bit or 8-bit palette bitmap (16-bit pixels)"},
        {[](Bytes& b) { putU32(b, 30, 1); }, "unsupported compression BI_RLE8"},
        {[](Bytes& b) { putU32(b, 30, 3); },
         "unsupported compression BI_BITFIELDS for 24-bit pixels"},
        {[](Bytes& b) { putU32(b, 14, 124); }, "file ends inside its header"},
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

// 32-bit pixels through the plain layout (blue, green, red, unused) and
// through masks of several widths and places, after a 40-byte header or
// inside a larger one, bottom-up and top-down. Each colour lies on a threshold
// of the tile rule after scaling, and the bits no colour mask covers (unused
// or alpha) are set in every other pixel: they must change nothing.
TEST(BitmapReader, ThirtyTwoBitPixelsLoadThroughTheirMasksWhateverTheAlpha) {
    const struct {
        const char* kind;
        Header header;
        std::uint32_t red, green, blue;  // where the colours are put
        // The smallest raw blue giving water and green giving ground, and the
        // raw values just below: channels of n bits scale by 255 / (2^n - 1),
        // rounded, so 10 bits have 388 -> 96.7 -> 97 but 387 -> 96.5 -> 96.
        std::uint32_t blueWater, blueDry, greenGround, greenWall;
    } cases[] = {
        // clang-format off
        {"plain", {}, 0xff0000, 0xff00, 0xff, 97, 96, 97, 96},
        // Masks in a header are for bit fields only: these would swap red and blue.
        {"plain, masks in a V5 header unused",
         {.infoSize = 124, .masks = {0xff, 0xff00, 0xff0000, 0}, .topDown = true},
         0xff0000, 0xff00, 0xff, 97, 96, 97, 96},
        {"red, green, blue, unused", {.compression = 3, .masks = {0xff, 0xff00, 0xff0000}},
         0xff, 0xff00, 0xff0000, 97, 96, 97, 96},
        {"V4 with alpha",
         {.compression = 3, .infoSize = 108, .masks = {0xff0000, 0xff00, 0xff, 0xff000000}},
         0xff0000, 0xff00, 0xff, 97, 96, 97, 96},
        {"V5, 10 bits a colour, 2 alpha",
         {.compression = 3, .infoSize = 124, .masks = {0x3ff00000, 0xffc00, 0x3ff, 0xc0000000},
          .topDown = true},
         0x3ff00000, 0xffc00, 0x3ff, 388, 387, 388, 387},
        // 11 * 255 / 31 = 90.5 -> 90, 12 -> 98.7 -> 99; 23 * 255 / 63 = 93.1, 24 -> 97.1.
        {"V4, 5-6-5 in the high half",
         {.compression = 3, .infoSize = 108, .masks = {0xf8000000, 0x07e00000, 0x001f0000, 0}},
         0xf8000000, 0x07e00000, 0x001f0000, 12, 11, 24, 23},
        // 24801 * 255 / 65535 = 96.5 rounds up, 24800 down; a 1-bit green is 0 or 255.
        {"16-bit blue, 1-bit green, 8-bit red",
         {.compression = 3, .masks = {0xff000000, 0x10000, 0xffff}},
         0xff000000, 0x10000, 0xffff, 24801, 24800, 1, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto put = [](std::uint32_t mask, std::uint32_t v) {
            return (v << std::countr_zero(mask)) & mask;
        };
        const std::uint32_t redMax = c.red >> std::countr_zero(c.red);
        const std::uint32_t spare = ~(c.red | c.green | c.blue);
        const MapRows rows = patternRows(5);
        const auto pixel = [&](char tile, int x, int y) {
            std::uint32_t v = (x + y) % 2 ? spare : 0;
            if (tile == '~') v |= put(c.blue, c.blueWater) | put(c.red, redMax);
            if (tile == '.') v |= put(c.blue, c.blueDry) | put(c.green, c.greenGround);
            if (tile == '#')
                v |= put(c.blue, c.blueDry) | put(c.green, c.greenWall) | put(c.red, redMax);
            return le32(v);
        };
        expectTiles(makeBitmap(c.header, 5, pixelRows(rows, pixel)), rows);
    }
}

// Palette pixels at every width of row padding, the padding an index beyond
// the palette (it is no pixel); a short palette after a 40-byte header, and a
// full one (the count left 0) after the largest header, past a gap, top down.
TEST(BitmapReader, PalettePixelsTakeTheTileOfTheirColour) {
    for (int width = 3; width <= 8; ++width) {
        SCOPED_TRACE(width);
        const MapRows rows = patternRows(width);
        // Wall, ground and water on the thresholds, red against the rule.
        const std::vector<std::uint32_t> three = {0xff6060, 0x006160, 0xff0061};
        const auto shortIndex = [](char tile, int, int) {
            return Bytes{static_cast<unsigned char>(tile == '#' ? 0 : tile == '.' ? 1 : 2)};
        };
        expectTiles(makeBitmap({.bits = 8, .palette = three, .coloursUsed = 3}, width,
                               pixelRows(rows, shortIndex), 255),
                    rows);

        std::vector<std::uint32_t> full(256, three[0]);
        full[200] = three[1];
        full[17] = three[2];
        const auto fullIndex = [](char tile, int, int) {
            return Bytes{static_cast<unsigned char>(tile == '#' ? 199 : tile == '.' ? 200 : 17)};
        };
        expectTiles(
            makeBitmap({.bits = 8, .infoSize = 124, .palette = full, .gap = 12, .topDown = true},
                       width, pixelRows(rows, fullIndex), 255),
            rows);
    }
}

// Kinds the reader does not take and damaged 32-bit and 8-bit files give one
// line naming what is wrong, and no map.
TEST(BitmapReader, OtherKindsAndBrokenMasksOrPalettesAreRefused) {
    const Header fields{.compression = 3, .masks = {0xff0000, 0xff00, 0xff}};
    const Header palette{.bits = 8, .palette = {0xff6060, 0x006160, 0xff0061}, .coloursUsed = 3};
    const auto with = [](Header h, const std::function<void(Header&)>& change) {
        change(h);
        return h;
    };
    const struct {
        Header header;
        std::function<void(Bytes&)> damage;
        std::string reason;
    } cases[] = {
        // clang-format off
        {with(fields, [](Header& h) { h.bits = 16; }), {},
         "not a 24-bit, 32-bit or 8-bit palette bitmap (16-bit pixels)"},
        {with(palette, [](Header& h) { h.bits = 4; }), {},
         "not a 24-bit, 32-bit or 8-bit palette bitmap (4-bit pixels)"},
        {with(palette, [](Header& h) { h.bits = 1; }), {},
         "not a 24-bit, 32-bit or 8-bit palette bitmap (1-bit pixels)"},
        {with(palette, [](Header& h) { h.compression = 1; }), {},
         "unsupported compression BI_RLE8"},
        {with(palette, [](Header& h) { h.bits = 4, h.compression = 2; }), {},
         "unsupported compression BI_RLE4"},
        {with(palette, [](Header& h) { h.bits = 0, h.compression = 4; }), {},
         "unsupported compression BI_JPEG"},
        {with(palette, [](Header& h) { h.bits = 0, h.compression = 5; }), {},
         "unsupported compression BI_PNG"},
        {with(fields, [](Header& h) { h.compression = 6; }), {},
         "unsupported compression BI_ALPHABITFIELDS"},
        {with(fields, [](Header& h) { h.compression = 7; }), {}, "unsupported compression 7"},
        {with(palette, [](Header& h) { h.compression = 3; }), {},
         "unsupported compression BI_BITFIELDS for 8-bit pixels"},
        {with(fields, [](Header& h) { h.masks[0] = 0; }), {}, "red mask not one run of bits"},
        {with(fields, [](Header& h) { h.masks[1] = 0xf0f0; }), {},
         "green mask not one run of bits"},
        {with(fields, [](Header& h) { h.infoSize = 108, h.masks[2] = 0x80000001; }), {},
         "blue mask not one run of bits"},
        {fields, [](Bytes& b) { b.resize(65); }, "file ends inside its header"},
        {fields, [](Bytes& b) { putU32(b, 10, 62); }, "pixel data offset inside the colour masks"},
        {fields, [](Bytes& b) { b.resize(b.size() - 1); }, "file ends before its pixels"},
        {with(palette, [](Header& h) { h.coloursUsed = 257; }), {},
         "palette of more than 256 colours"},
        {palette, [](Bytes& b) { putU32(b, 10, 64); }, "pixel data offset inside the palette"},
        {palette, [](Bytes& b) { putU32(b, 10, 53); }, "pixel data offset inside the header"},
        {palette, [](Bytes& b) { b.resize(b.size() - 2); }, "file ends before its pixels"},
        // The last pixel read, one past the palette.
        {palette, [](Bytes& b) { b[b.size() - 4] = 3; },
         "colour index 3 beyond the palette of 3 colours"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const int bytesPerPixel = c.header.bits / 8;
        // Ground or palette entry 1 in each cell: all pixels load but the damaged ones.
        const Bytes ground =
            bytesPerPixel == 4 ? le32(0xff00) : Bytes(std::size_t(bytesPerPixel), 1);
        const std::vector<Bytes> rows(4, [&] {
            Bytes row;
            for (int x = 0; x < 4; ++x) row.insert(row.end(), ground.begin(), ground.end());
            return row;
        }());
        Bytes file = makeBitmap(c.header, 4, rows);
        if (c.damage) c.damage(file);
        GridPtr grid;
        EXPECT_EQ(load(file, grid), "Cannot read m.bmp: " + c.reason + "\n");
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
