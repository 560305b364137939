// Reading maps from bitmaps: each pixel kind in every row layout, and the refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BitmapReader.h"
#include "TestMaps.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Pixel = std::function<Bytes(char tile, int x)>;

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

Bytes le32(std::uint32_t v) {
    Bytes b(4);
    putU32(b, 0, v);
    return b;
}

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

// A bitmap of `rows` (row 0 the top); rows are padded to 4 bytes and the gap filled with `pad`.
Bytes makeBitmap(const Header& h, const MapRows& rows, const Pixel& pixel, unsigned char pad = 0) {
    Bytes b(14 + h.infoSize, 0);
    b[0] = 'B', b[1] = 'M';
    putU32(b, 14, h.infoSize);
    putU32(b, 18, std::uint32_t(rows[0].size()));
    putU32(b, 22, std::uint32_t(h.topDown ? -int(rows.size()) : int(rows.size())));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(h.bits);
    putU32(b, 30, h.compression);
    putU32(b, 46, h.coloursUsed);
    const std::size_t paletteAt = std::max(b.size(), 54 + 4 * h.masks.size());
    b.resize(paletteAt + 4 * h.palette.size());
    for (std::size_t i = 0; i < h.masks.size(); ++i) putU32(b, 54 + 4 * i, h.masks[i]);
    for (std::size_t i = 0; i < h.palette.size(); ++i) putU32(b, paletteAt + 4 * i, h.palette[i]);
    b.insert(b.end(), h.gap, pad);
    putU32(b, 10, std::uint32_t(b.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t y = h.topDown ? i : rows.size() - 1 - i, rowStart = b.size();
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            const Bytes p = pixel(rows[y][x], int(x));
            b.insert(b.end(), p.begin(), p.end());
        }
        b.insert(b.end(), (4 - (b.size() - rowStart) % 4) % 4, pad);
    }
    putU32(b, 2, std::uint32_t(b.size()));
    return b;
}

std::string load(const Bytes& bytes, GridPtr& grid) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::ostringstream out;
    grid = readBitmapGrid(in, "m.bmp", out);
    return out.str();
}

// Every row padding, with and without a gap, both row orders; pad bytes 255 would be water.
void expectEveryLayout(Header h, const Pixel& pixel) {
    for (int width = 3; width <= 8; ++width)
        for (const int gap : {0, 12})
            for (const bool topDown : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << width << " wide, gap " << gap << (topDown ? ", top down" : ""));
                MapRows rows(4);
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < width; ++x) rows[y] += ".~#."[(x + y) % 4];
                h.gap = std::size_t(gap), h.topDown = topDown;
                GridPtr grid;
                EXPECT_EQ(load(makeBitmap(h, rows, pixel, 255), grid),
                          "width=" + std::to_string(width) + " height=4\n");
                ASSERT_TRUE(grid);
                EXPECT_EQ(tileText(*grid), tileText(*gridFromRows(rows)));
            }
}

// 4 x 4 cells that would load, after `damage`: one line naming `reason`, and no map.
void expectRefused(const Header& h, const std::function<void(Bytes&)>& damage,
                   const std::string& reason) {
    SCOPED_TRACE(reason);
    Bytes file = makeBitmap(h, MapRows(4, "...."), [&](char, int) {
        return h.bits == 32 ? le32(0xff00) : Bytes(std::size_t(h.bits / 8), 1);
    });
    if (damage) damage(file);
    GridPtr grid;
    EXPECT_EQ(load(file, grid), "Cannot read m.bmp: " + reason + "\n");
    EXPECT_FALSE(grid);
}

const std::string kNotTaken = "not a 24-bit, 32-bit or 8-bit palette bitmap ";

// Blue from 97 is water, else green from 97 ground; red counts for nothing.
TEST(BitmapReader, TwentyFourBitPixelsFollowTheColourRuleInEveryRowLayout) {
    const Bytes water[] = {{97, 0, 0}, {97, 255, 255}}, ground[] = {{96, 97, 0}, {96, 97, 255}},
                wall[] = {{96, 96, 255}, {0, 0, 0}};  // blue, green, red
    for (const std::uint32_t infoSize : {40u, 124u})
        expectEveryLayout({.bits = 24, .infoSize = infoSize}, [&](char tile, int x) {
            return (tile == '~' ? water : tile == '.' ? ground : wall)[x % 2];
        });
}

TEST(BitmapReader, UnusableFilesAreRefusedWithTheirReason) {
    const std::pair<std::function<void(Bytes&)>, std::string> cases[] = {
        {[](Bytes& b) { b[0] = 'P'; }, "not a bitmap file"},
        {[](Bytes& b) { b.resize(40); }, "file ends inside its header"},
        {[](Bytes& b) { putU32(b, 14, 12); }, "unsupported bitmap header"},
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
    for (const auto& [damage, reason] : cases) expectRefused({.bits = 24}, damage, reason);
}

// Each colour on a threshold of the rule after scaling; bits outside the colour masks set
// in every other pixel must change nothing.
TEST(BitmapReader, ThirtyTwoBitPixelsLoadThroughTheirMasksWhateverTheAlpha) {
    const struct {
        const char* kind;
        Header header;
        // Smallest raw water blue and ground green, and just below; scaled by 255 / (2^n - 1).
        std::uint32_t blueWater = 97, blueDry = 96, greenGround = 97, greenWall = 96;
    } cases[] = {
        // clang-format off
        {"plain", {}},
        // Masks in a header are for bit fields only: these would swap red and blue.
        {"plain, masks in a V5 header unused",
         {.infoSize = 124, .masks = {0xff, 0xff00, 0xff0000, 0}}},
        {"V4 with alpha",
         {.compression = 3, .infoSize = 108, .masks = {0xff0000, 0xff00, 0xff, 0xff000000}}},
        // 388 * 255 / 1023 = 96.7 -> 97 but 387 -> 96.5 -> 96.
        {"V5, 10 bits a colour, 2 alpha",
         {.compression = 3, .infoSize = 124, .masks = {0x3ff00000, 0xffc00, 0x3ff, 0xc0000000}},
         388, 387, 388, 387},
        // 11 * 255 / 31 = 90.5 -> 90, 12 -> 98.7 -> 99; 23 * 255 / 63 = 93.1, 24 -> 97.1.
        {"V4, 5-6-5 in the high half",
         {.compression = 3, .infoSize = 108, .masks = {0xf8000000, 0x07e00000, 0x001f0000, 0}},
         12, 11, 24, 23},
        // 24801 * 255 / 65535 = 96.5 rounds up, 24800 down; a 1-bit green is 0 or 255.
        {"16-bit blue, 1-bit green, 8-bit red",
         {.compression = 3, .masks = {0xff000000, 0x10000, 0xffff}}, 24801, 24800, 1, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::vector<std::uint32_t> m =
            c.header.compression == 3 ? c.header.masks
                                      : std::vector<std::uint32_t>{0xff0000, 0xff00, 0xff};
        const auto put = [](std::uint32_t mask, std::uint32_t v) {
            return (v << std::countr_zero(mask)) & mask;
        };
        const std::uint32_t red = m[0], green = m[1], blue = m[2], spare = ~(red | green | blue);
        expectEveryLayout(c.header, [&](char tile, int x) {
            std::uint32_t v = x % 2 ? spare : 0;
            if (tile == '~') v |= put(blue, c.blueWater) | red;
            if (tile == '.') v |= put(blue, c.blueDry) | put(green, c.greenGround);
            if (tile == '#') v |= put(blue, c.blueDry) | put(green, c.greenWall) | red;
            return le32(v);
        });
    }
}

// A short palette, and a full one (count 0) after the largest header, indices past 127.
TEST(BitmapReader, PalettePixelsTakeTheTileOfTheirColour) {
    const std::uint32_t wall = 0xff6060, ground = 0x006160, water = 0xff0061;
    std::vector<std::uint32_t> full(256, wall);
    full[200] = ground;
    full[17] = water;
    const struct {
        Header header;
        unsigned char wall, ground, water;
    } cases[] = {{{.bits = 8, .palette = {wall, ground, water}, .coloursUsed = 3}, 0, 1, 2},
                 {{.bits = 8, .infoSize = 124, .palette = full}, 199, 200, 17}};
    for (const auto& c : cases)
        expectEveryLayout(c.header, [&](char tile, int) {
            return Bytes{tile == '#' ? c.wall : tile == '.' ? c.ground : c.water};
        });
}

TEST(BitmapReader, OtherKindsAndBrokenMasksOrPalettesAreRefused) {
    const Header F{.compression = 3, .masks = {0xff0000, 0xff00, 0xff}};
    const Header P{.bits = 8, .palette = {0xff6060, 0x006160, 0xff0061}, .coloursUsed = 3};
    const auto f = [](Header h, const std::function<void(Header&)>& change) {
        change(h);
        return h;
    };
    const std::string cmp = "unsupported compression ";
    const struct {
        Header header;
        std::function<void(Bytes&)> damage;
        std::string reason;
    } cases[] = {
        // clang-format off
        {f(F, [](Header& h) { h.bits = 16; }), {}, kNotTaken + "(16-bit pixels)"},
        {f(P, [](Header& h) { h.compression = 1; }), {}, cmp + "BI_RLE8"},
        {f(P, [](Header& h) { h.bits = 4, h.compression = 2; }), {}, cmp + "BI_RLE4"},
        {f(P, [](Header& h) { h.bits = 0, h.compression = 4; }), {}, cmp + "BI_JPEG"},
        {f(P, [](Header& h) { h.bits = 0, h.compression = 5; }), {}, cmp + "BI_PNG"},
        {f(F, [](Header& h) { h.compression = 6; }), {}, cmp + "BI_ALPHABITFIELDS"},
        {f(F, [](Header& h) { h.compression = 7; }), {}, cmp + "7"},
        {f(P, [](Header& h) { h.compression = 3; }), {}, cmp + "BI_BITFIELDS for 8-bit pixels"},
        {f(F, [](Header& h) { h.masks[0] = 0; }), {}, "red mask not one run of bits"},
        {f(F, [](Header& h) { h.masks[1] = 0xf0f0; }), {}, "green mask not one run of bits"},
        {f(F, [](Header& h) { h.infoSize = 108, h.masks[2] = 0x80000001; }), {},
         "blue mask not one run of bits"},
        {F, [](Bytes& b) { b.resize(65); }, "file ends inside its header"},
        {F, [](Bytes& b) { putU32(b, 10, 62); }, "pixel data offset inside the colour masks"},
        {f(P, [](Header& h) { h.coloursUsed = 257; }), {}, "palette of more than 256 colours"},
        {P, [](Bytes& b) { putU32(b, 10, 64); }, "pixel data offset inside the palette"},
        // The last pixel read, one past the palette.
        {P, [](Bytes& b) { b[b.size() - 4] = 3; },
         "colour index 3 beyond the palette of 3 colours"},
        // clang-format on
    };
    for (const auto& c : cases) expectRefused(c.header, c.damage, c.reason);
}

}  // namespace
