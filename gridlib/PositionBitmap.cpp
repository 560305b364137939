#include "PositionBitmap.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;

// Bit j set where cell j of the eight from `cells` holds `tile`: the bytes
// that are zero after the xor get their top bit, which a multiply gathers.
unsigned matchEight(const std::uint8_t* cells, std::uint8_t tile) {
    std::uint64_t word;
    std::memcpy(&word, cells, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    const std::uint64_t diff = word ^ (0x0101010101010101ull * tile);
    const std::uint64_t zero = ~(((diff & kLowBits) + kLowBits) | diff | kLowBits);
    return unsigned((zero >> 7) * 0x0102040810204080ull >> 56);
}

// Bit x of `out` (64 a word) set where cell x of the row holds `tile`.
void matchRow(const std::uint8_t* row, int width, std::uint8_t tile, std::uint64_t* out) {
    int x = 0;
    for (; x + 8 <= width; x += 8)
        out[x / 64] |= std::uint64_t(matchEight(row + x, tile)) << (x % 64);
    for (; x < width; ++x) out[x / 64] |= std::uint64_t(row[x] == tile) << (x % 64);
}

// Transposes a 64 x 64 bit matrix: bit j of word i goes to bit i of word j.
void transpose64(std::uint64_t (&m)[64]) {
    std::uint64_t mask = 0x00000000FFFFFFFFull;
    for (int half = 32; half > 0; half >>= 1, mask ^= mask << half) {
        for (int i = 0; i < 64; i = (i + half + 1) & ~half) {
            const std::uint64_t t = ((m[i] >> half) ^ m[i + half]) & mask;
            m[i] ^= t << half;
            m[i + half] ^= t;
        }
    }
}

}  // namespace

void BitPlane::reset(int rowCount, int rowBits) {
    stride = std::int64_t(rowBits) + 1;
    // Ahead of row 0: the clear row above it and room for a window that a
    // backward scan loads from before that row's start; behind the last row,
    // the clear row below it and room for a window's eight bytes.
    origin = stride + 128;
    const std::int64_t bits = origin + (std::int64_t(rowCount) + 1) * stride + 128;
    bytes.assign(std::size_t(bits / 8 + 16), 0);
}

void BitPlane::setWord(int row, int column, std::uint64_t bits) {
    // Two halves, so that each fits a word after the shift to its bit.
    for (int half = 0; half < 2; ++half, bits >>= 32, column += 32) {
        const std::int64_t bit = bitIndex(row, column);
        std::uint64_t word;
        std::uint8_t* const at = bytes.data() + (bit >> 3);
        std::memcpy(&word, at, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        word |= (bits & 0xFFFFFFFFull) << (bit & 7);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        std::memcpy(at, &word, sizeof word);
    }
}

bool PositionBitmap::fits(const std::uint8_t* tiles, int x, int y) const {
    if (x < 0 || y < 0 || x + size >= width || y + size >= height) return false;
    for (int i = 0; i <= size; ++i) {
        const std::uint8_t* row = tiles + std::int64_t(y + i) * width + x;
        for (int j = 0; j <= size; ++j)
            if (row[j] != tile) return false;
    }
    return true;
}

// Row by row of positions: the cells of `tile` in each of its size + 1 rows
// of cells as bits, ANDed down and then across, so a bit is set where the
// whole footprint holds `tile`. Blocks of 64 rows are transposed 64 x 64
// bits at a time into the column plane.
void PositionBitmap::build(const std::uint8_t* tiles, int w, int h, int objectSize,
                           std::uint8_t tileType) {
    width = w;
    height = h;
    size = objectSize;
    tile = tileType;
    rows.reset(height, width);
    columns.reset(width, height);
    const int words = (width + 63) / 64 + 1;  // one spare for the shifts across
    const int lastX = width - 1 - size, lastY = height - 1 - size;
    const auto wordCount = static_cast<std::size_t>(words);
    // The matched cell rows of the footprints in hand: row r in slot r % 3.
    std::vector<std::uint64_t> cellRows(3 * wordCount), positions(wordCount);
    auto cellRow = [&](int r) { return cellRows.data() + std::size_t(r % 3) * wordCount; };
    // The first footprints' upper rows, as far as a map lower than the
    // object has them.
    for (int r = 0; r < size && r < height; ++r)
        matchRow(tiles + std::int64_t(r) * width, width, tile, cellRow(r));
    // blocks[64 k + r]: word k of position row y0 + r, for the transposition.
    std::vector<std::uint64_t> blocks(wordCount * 64);
    for (int y0 = 0; y0 <= lastY; y0 += 64) {
        std::fill(blocks.begin(), blocks.end(), 0);
        for (int r = 0; r < 64 && y0 + r <= lastY; ++r) {
            const int y = y0 + r;
            std::uint64_t* const newest = cellRow(y + size);
            std::fill(newest, newest + words, 0);
            matchRow(tiles + std::int64_t(y + size) * width, width, tile, newest);
            std::fill(positions.begin(), positions.end(), ~std::uint64_t(0));
            for (int i = 0; i <= size; ++i) {
                const std::uint64_t* const cells = cellRow(y + i);
                for (int k = 0; k < words; ++k) positions[std::size_t(k)] &= cells[k];
            }
            // A position also needs the size columns to its right.
            for (int k = 0; k < words; ++k) {
                std::uint64_t fit = positions[std::size_t(k)];
                const std::uint64_t next = k + 1 < words ? positions[std::size_t(k) + 1] : 0;
                for (int s = 1; s <= size; ++s)
                    fit &= positions[std::size_t(k)] >> s | next << (64 - s);
                const int firstX = 64 * k;
                if (firstX > lastX)
                    fit = 0;
                else if (lastX - firstX < 63)
                    fit &= (std::uint64_t(2) << (lastX - firstX)) - 1;
                blocks[std::size_t(k) * 64 + std::size_t(r)] = fit;
                if (fit != 0) rows.setWord(y, firstX, fit);
            }
        }
        for (int k = 0; 64 * k <= lastX; ++k) {
            std::uint64_t(&block)[64] =
                *reinterpret_cast<std::uint64_t(*)[64]>(&blocks[std::size_t(k) * 64]);
            transpose64(block);
            for (int j = 0; j < 64 && 64 * k + j <= lastX; ++j)
                if (block[j] != 0) columns.setWord(64 * k + j, y0, block[j]);
        }
    }
    isBuilt = true;
}

void PositionBitmap::cellChanged(const std::uint8_t* tiles, int x, int y) {
    for (int py = std::max(y - size, 0); py <= y; ++py) {
        for (int px = std::max(x - size, 0); px <= x; ++px) {
            if (px + size >= width || py + size >= height) continue;
            const bool value = fits(tiles, px, py);
            rows.assign(py, px, value);
            columns.assign(px, py, value);
        }
    }
}
