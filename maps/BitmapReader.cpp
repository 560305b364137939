#include "BitmapReader.h"

#include <climits>
#include <cstdint>
#include <istream>
#include <new>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::int64_t kHeaderSize = kFileHeaderSize + kInfoHeaderSize;
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

// Where the pixels of an accepted file lie.
struct PixelLayout {
    int width = 0;
    int height = 0;           // rows of the map, always positive
    bool topDown = false;     // a negative stored height: first file row is the top
    std::int64_t offset = 0;  // first byte of the first file row
    std::int64_t rowStride = 0;
};

// Checks the header against what the loader can read; returns the reason for
// refusing the file, or null when `layout` has been filled in.
const char* checkHeader(const unsigned char* header, std::int64_t headerBytes,
                        std::int64_t fileSize, PixelLayout& layout) {
    if (headerBytes < 2 || header[0] != 'B' || header[1] != 'M') return "not a bitmap file";
    if (headerBytes < kHeaderSize) return "file ends inside its header";

    const std::uint32_t infoSize = readU32(header + 14);
    const std::int32_t width = readI32(header + 18);
    const std::int32_t height = readI32(header + 22);
    const std::uint16_t bitCount = readU16(header + 28);
    const std::uint32_t compression = readU32(header + 30);
    const std::uint32_t offset = readU32(header + 10);

    // Older headers are shorter and store the size in 16 bits elsewhere.
    if (infoSize < kInfoHeaderSize) return "unsupported bitmap header";
    if (bitCount != 24 || compression != 0) return "not a 24-bit uncompressed bitmap";
    if (width <= 0 || height == 0) return "width or height not positive";
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : height;
    if (width * rows > INT_MAX) return "map too large";
    if (width < kMinSide || rows < kMinSide) return "map smaller than 3 x 3 cells";
    if (offset < kFileHeaderSize + infoSize) return "pixel data offset inside the header";

    layout.width = width;
    layout.height = static_cast<int>(rows);
    layout.topDown = height < 0;
    layout.offset = offset;
    layout.rowStride = (3 * std::int64_t(width) + 3) / 4 * 4;  // rows padded to 4 bytes
    // The padding of the last row is not needed to read the map.
    const std::int64_t end =
        layout.offset + layout.rowStride * (rows - 1) + 3 * std::int64_t(width);
    if (end > fileSize) return "file ends before its pixels";
    return nullptr;
}

void refuse(std::ostream& out, const std::string& name, const char* reason) {
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
    unsigned char header[kHeaderSize] = {};
    in.read(reinterpret_cast<char*>(header), kHeaderSize);
    const std::int64_t headerBytes = fileSize < 0 ? 0 : in.gcount();
    in.clear();

    PixelLayout layout;
    if (const char* reason = checkHeader(header, headerBytes, fileSize, layout)) {
        refuse(out, name, reason);
        return nullptr;
    }

    GridPtr grid;
    try {
        grid = std::make_unique<Grid>(layout.width, layout.height);
    } catch (const std::bad_alloc&) {
        refuse(out, name, "map too large");
        return nullptr;
    }
    out << "width=" << layout.width << " height=" << layout.height << '\n';

    std::vector<unsigned char> row(3 * std::size_t(layout.width));
    for (int y = 0; y < layout.height; ++y) {
        in.seekg(layout.offset + y * layout.rowStride);
        in.read(reinterpret_cast<char*>(row.data()), std::streamsize(row.size()));
        if (!in) {  // the file shrank after its size was checked
            refuse(out, name, "file ends before its pixels");
            return nullptr;
        }
        const int gridRow = layout.topDown ? y : layout.height - 1 - y;
        for (int x = 0; x < layout.width; ++x) {
            const unsigned char* bgr = &row[3 * std::size_t(x)];
            grid->setTile(x, gridRow, tileFromColor(bgr[0], bgr[1], bgr[2]));
        }
    }
    return grid;
}
