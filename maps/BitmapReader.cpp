#include "BitmapReader.h"

#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <istream>
#include <new>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Information headers from this size on hold the red, green and blue masks;
// shorter ones are followed by the three masks when the pixels are bit fields.
constexpr std::uint32_t kColourMaskHeaderSize = 52;
constexpr std::int64_t kMaskBytes = 12;
// Enough for the 40-byte header with its masks after it and for every field
// read from a larger header.
constexpr std::int64_t kHeadBytes = kFileHeaderSize + kColourMaskHeaderSize + kMaskBytes;
constexpr std::int64_t kMinHeaderBytes = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kMaxPaletteColours = 256;
constexpr int kMinSide = 3;  // the largest object, 3 x 3 cells, must fit
constexpr unsigned char kWaterBlue = 97;
constexpr unsigned char kGroundGreen = 97;

std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::int32_t readI32(const unsigned char* p) {
    return static_cast<std::int32_t>(readU32(p));
}

std::uint16_t readU16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

// One colour channel of a 32-bit pixel, stretched to 0..255 whatever its
// width, so that the tile rule's thresholds mean the same in every file.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    // False for a mask that is empty or not one run of bits.
    bool set(std::uint32_t m) {
        if (m == 0) return false;
        shift = std::countr_zero(m);
        const std::uint32_t run = m >> shift;
        if ((run & (run + 1)) != 0) return false;
        mask = m;
        max = run;
        return true;
    }

    unsigned char value(std::uint32_t pixel) const {
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<unsigned char>(max == 255 ? v : (v * 255 + max / 2) / max);
    }
};

// Where the pixels of an accepted file lie and how they turn into tiles.
struct PixelFormat {
    int width = 0;
    int height = 0;           // rows of the map, always positive
    bool topDown = false;     // a negative stored height: first file row is the top
    std::int64_t offset = 0;  // first byte of the first file row
    std::int64_t rowStride = 0;
    int bytesPerPixel = 0;
    Channel red, green, blue;  // 32-bit pixels
    std::int64_t paletteOffset = 0;
    int paletteColours = 0;  // 8-bit pixels
    std::array<Grid::Tile, kMaxPaletteColours> paletteTiles{};

    std::int64_t rowBytes() const { return std::int64_t(bytesPerPixel) * width; }

    Grid::Tile tile(const unsigned char* pixel) const {
        switch (bytesPerPixel) {
            case 1:
                return paletteTiles[pixel[0]];
            case 3:
                return tileFromColor(pixel[0], pixel[1], pixel[2]);
            default: {
                const std::uint32_t v = readU32(pixel);
                return tileFromColor(blue.value(v), green.value(v), red.value(v));
            }
        }
    }
};

std::string compressionName(std::uint32_t compression) {
    static const char* const names[] = {"BI_RGB",  "BI_RLE8", "BI_RLE4",          "BI_BITFIELDS",
                                        "BI_JPEG", "BI_PNG",  "BI_ALPHABITFIELDS"};
    return compression < std::size(names) ? names[compression] : std::to_string(compression);
}

// Sets the masks of a 32-bit file. Alpha plays no part in the tile, so its
// mask is neither read nor checked.
std::string readMasks(const unsigned char* head, std::uint32_t infoSize, std::uint32_t compression,
                      PixelFormat& format) {
    std::uint32_t masks[3] = {0x00ff0000, 0x0000ff00, 0x000000ff};
    if (compression == kBitFields) {
        const std::int64_t at =
            infoSize >= kColourMaskHeaderSize ? kMinHeaderBytes : kFileHeaderSize + infoSize;
        for (int i = 0; i < 3; ++i) masks[i] = readU32(head + at + 4 * i);
    }
    if (!format.red.set(masks[0])) return "red mask not one run of bits";
    if (!format.green.set(masks[1])) return "green mask not one run of bits";
    if (!format.blue.set(masks[2])) return "blue mask not one run of bits";
    return {};
}

// Checks the header against what the loader can read; returns the reason for
// refusing the file, or nothing when `format` has been filled in (all but the
// palette's tiles).
std::string checkHeader(const unsigned char* head, std::int64_t headBytes, std::int64_t fileSize,
                        PixelFormat& format) {
    if (headBytes < 2 || head[0] != 'B' || head[1] != 'M') return "not a bitmap file";
    if (headBytes < kMinHeaderBytes) return "file ends inside its header";

    const std::uint32_t offset = readU32(head + 10);
    const std::uint32_t infoSize = readU32(head + 14);
    const std::int32_t width = readI32(head + 18);
    const std::int32_t height = readI32(head + 22);
    const std::uint16_t bitCount = readU16(head + 28);
    const std::uint32_t compression = readU32(head + 30);
    const std::uint32_t coloursUsed = readU32(head + 46);

    // Older headers are shorter and store the size in 16 bits elsewhere.
    if (infoSize < kInfoHeaderSize) return "unsupported bitmap header";
    if (compression != kRgb && compression != kBitFields)
        return "unsupported compression " + compressionName(compression);
    if (bitCount != 8 && bitCount != 24 && bitCount != 32)
        return "not a 24-bit, 32-bit or 8-bit palette bitmap (" + std::to_string(bitCount) +
               "-bit pixels)";
    if (compression == kBitFields && bitCount != 32)
        return "unsupported compression BI_BITFIELDS for " + std::to_string(bitCount) +
               "-bit pixels";

    const bool masksAfterHeader = compression == kBitFields && infoSize < kColourMaskHeaderSize;
    const std::int64_t headerEnd = kFileHeaderSize + infoSize;
    const std::int64_t masksEnd = headerEnd + (masksAfterHeader ? kMaskBytes : 0);
    if (masksEnd > fileSize) return "file ends inside its header";
    format.bytesPerPixel = bitCount / 8;
    if (bitCount == 32) {
        if (std::string reason = readMasks(head, infoSize, compression, format); !reason.empty())
            return reason;
    }
    std::int64_t paletteEnd = masksEnd;
    if (bitCount == 8) {
        if (coloursUsed > kMaxPaletteColours) return "palette of more than 256 colours";
        format.paletteColours = coloursUsed == 0 ? int(kMaxPaletteColours) : int(coloursUsed);
        format.paletteOffset = headerEnd;
        paletteEnd = headerEnd + 4 * std::int64_t(format.paletteColours);
    }

    if (width <= 0 || height == 0) return "width or height not positive";
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : height;
    if (width * rows > INT_MAX) return "map too large";
    if (width < kMinSide || rows < kMinSide) return "map smaller than 3 x 3 cells";
    if (offset < headerEnd) return "pixel data offset inside the header";
    if (offset < masksEnd) return "pixel data offset inside the colour masks";
    if (offset < paletteEnd) return "pixel data offset inside the palette";

    format.width = width;
    format.height = static_cast<int>(rows);
    format.topDown = height < 0;
    format.offset = offset;
    format.rowStride = (format.rowBytes() + 3) / 4 * 4;  // rows padded to 4 bytes
    // The padding of the last row is not needed to read the map.
    const std::int64_t end = format.offset + format.rowStride * (rows - 1) + format.rowBytes();
    if (end > fileSize) return "file ends before its pixels";
    return {};
}

// Reads file row `y` into `row`; false when the file ends first (it shrank
// after its size was checked).
bool readRow(std::istream& in, const PixelFormat& format, int y, std::vector<unsigned char>& row) {
    in.seekg(format.offset + y * format.rowStride);
    in.read(reinterpret_cast<char*>(row.data()), std::streamsize(row.size()));
    return bool(in);
}

// Turns the palette into tiles, and refuses the file if a pixel names a colour
// beyond it; the check comes before the grid so that a refusal is one line.
std::string readPalette(std::istream& in, PixelFormat& format, std::vector<unsigned char>& row) {
    std::vector<unsigned char> palette(4 * std::size_t(format.paletteColours));
    in.seekg(format.paletteOffset);
    in.read(reinterpret_cast<char*>(palette.data()), std::streamsize(palette.size()));
    if (!in) return "file ends inside its palette";
    for (int i = 0; i < format.paletteColours; ++i) {
        const unsigned char* bgr = &palette[4 * std::size_t(i)];
        format.paletteTiles[i] = tileFromColor(bgr[0], bgr[1], bgr[2]);
    }
    if (format.paletteColours == int(kMaxPaletteColours)) return {};
    for (int y = 0; y < format.height; ++y) {
        if (!readRow(in, format, y, row)) return "file ends before its pixels";
        for (const unsigned char index : row) {
            if (index >= format.paletteColours)
                return "colour index " + std::to_string(index) + " beyond the palette of " +
                       std::to_string(format.paletteColours) + " colours";
        }
    }
    return {};
}

void refuse(std::ostream& out, const std::string& name, const std::string& reason) {
    out << "Cannot read " << name << ": " << reason << '\n';
}

}  // namespace

Grid::Tile tileFromColor(unsigned char blue, unsigned char green, unsigned char /*red*/) {
    if (blue >= kWaterBlue) return Grid::WATER;
    if (green < kGroundGreen) return Grid::BLOCKED;
    return Grid::GROUND;
}

GridPtr readBitmapGrid(std::istream& in, const std::string& name, std::ostream& out) {
    in.seekg(0, std::ios::end);
    const std::streamoff fileSize = in ? std::streamoff(in.tellg()) : -1;
    in.seekg(0);
    unsigned char head[kHeadBytes] = {};
    in.read(reinterpret_cast<char*>(head), kHeadBytes);
    const std::int64_t headBytes = fileSize < 0 ? 0 : in.gcount();
    in.clear();

    PixelFormat format;
    if (std::string reason = checkHeader(head, headBytes, fileSize, format); !reason.empty()) {
        refuse(out, name, reason);
        return nullptr;
    }

    GridPtr grid;
    std::vector<unsigned char> row;
    try {
        // The file holds every row, so the buffer is never larger than the file.
        row.resize(std::size_t(format.rowBytes()));
        if (format.paletteColours > 0) {
            if (std::string reason = readPalette(in, format, row); !reason.empty()) {
                refuse(out, name, reason);
                return nullptr;
            }
        }
        grid = std::make_unique<Grid>(format.width, format.height);
    } catch (const std::bad_alloc&) {
        refuse(out, name, "map too large");
        return nullptr;
    }
    out << "width=" << format.width << " height=" << format.height << '\n';

    for (int y = 0; y < format.height; ++y) {
        if (!readRow(in, format, y, row)) {
            refuse(out, name, "file ends before its pixels");
            return nullptr;
        }
        const int gridRow = format.topDown ? y : format.height - 1 - y;
        const std::size_t step = std::size_t(format.bytesPerPixel);
        for (int x = 0; x < format.width; ++x)
            grid->setTile(x, gridRow, format.tile(&row[step * std::size_t(x)]));
    }
    return grid;
}
