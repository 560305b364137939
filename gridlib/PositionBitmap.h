#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

// One bit per position of an object of one size: set when its whole footprint
// holds one tile type. On such a bitmap the Grid's move rule is plain
// eight-direction movement without corner cutting: a straight step needs both
// positions set, a diagonal one also the two positions beside it.
//
// Bits are packed so that a straight scan reads 56 positions at once. A
// plane holds rows of `rowBits` positions, each followed by one bit that is
// always clear, so that no scan runs from one row into the next, and a clear
// row above the first row and below the last. The row-major plane serves
// horizontal scans, the transposed one (a row per map column) vertical ones.
// Together they take two bits a cell, plus two rows.
class BitPlane {
  public:
    // Bits of a window: 64 loaded, of which the first 57 are the bitmap's.
    static constexpr int kWindowBits = 57;

    void reset(int rows, int rowBits);

    bool test(int row, int column) const { return test(bytes.data(), bitIndex(row, column)); }
    void assign(int row, int column, bool value) {
        const std::int64_t bit = bitIndex(row, column);
        std::uint8_t& byte = bytes[std::size_t(bit >> 3)];
        const std::uint8_t mask = std::uint8_t(1u << (bit & 7));
        byte = value ? byte | mask : byte & std::uint8_t(~mask);
    }

    // ORs the 64 `bits` into the row from `column` on, bit k at column + k.
    void setWord(int row, int column, std::uint64_t bits);

    std::int64_t bitIndex(int row, int column) const {
        return origin + std::int64_t(row) * stride + column;
    }
    std::int64_t rowStride() const { return stride; }

    const std::uint8_t* data() const { return bytes.data(); }

    // Bit k of the result is bit `bit + k` of the plane at `bytes`, for
    // k < kWindowBits.
    static std::uint64_t window(const std::uint8_t* bytes, std::int64_t bit) {
        std::uint64_t word;
        std::memcpy(&word, bytes + (bit >> 3), sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        return word >> (bit & 7);
    }
    static bool test(const std::uint8_t* bytes, std::int64_t bit) {
        return (bytes[bit >> 3] >> (bit & 7)) & 1;
    }

    std::size_t memoryBytes() const { return bytes.capacity(); }

  private:
    std::vector<std::uint8_t> bytes;
    std::int64_t origin = 0;  // bit of row 0, column 0
    std::int64_t stride = 0;  // rowBits + 1
};

// The bitmap of one object size and tile type, in both planes.
class PositionBitmap {
  public:
    bool built() const { return isBuilt; }
    void build(const std::uint8_t* tiles, int width, int height, int size, std::uint8_t tile);
    // After cell (x, y) changed: the (size + 1)^2 positions whose footprint
    // covers it are worked out again.
    void cellChanged(const std::uint8_t* tiles, int x, int y);

    const BitPlane& byRow() const { return rows; }
    const BitPlane& byColumn() const { return columns; }

    std::size_t memoryBytes() const { return rows.memoryBytes() + columns.memoryBytes(); }

  private:
    bool fits(const std::uint8_t* tiles, int x, int y) const;

    bool isBuilt = false;
    int width = 0, height = 0, size = 0;
    std::uint8_t tile = 0;
    BitPlane rows;     // row y, column x
    BitPlane columns;  // row x, column y
};
