#include "PositionBitmap.h"

#include <algorithm>

void BitPlane::reset(int rowCount, int rowBits) {
    stride = std::int64_t(rowBits) + 1;
    // Ahead of row 0: the clear row above it and room for a window that a
    // backward scan loads from before that row's start; behind the last row,
    // the clear row below it and room for a window's eight bytes.
    origin = stride + 128;
    const std::int64_t bits = origin + (std::int64_t(rowCount) + 1) * stride + 128;
    bytes.assign(std::size_t(bits / 8 + 16), 0);
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

void PositionBitmap::build(const std::uint8_t* tiles, int w, int h, int objectSize,
                           std::uint8_t tileType) {
    width = w;
    height = h;
    size = objectSize;
    tile = tileType;
    rows.reset(height, width);
    columns.reset(width, height);
    // A position fits when size + 1 neighbouring columns of its rows do: one
    // pass down the columns, one run count along the row.
    std::vector<std::uint8_t> columnFits(static_cast<std::size_t>(width));
    for (int y = 0; y + size < height; ++y) {
        std::fill(columnFits.begin(), columnFits.end(), 1);
        for (int i = 0; i <= size; ++i) {
            const std::uint8_t* row = tiles + std::int64_t(y + i) * width;
            for (int x = 0; x < width; ++x) columnFits[std::size_t(x)] &= row[x] == tile;
        }
        int run = 0;
        for (int x = 0; x < width; ++x) {
            run = columnFits[std::size_t(x)] ? run + 1 : 0;
            if (run > size) {
                rows.assign(y, x - size, true);
                columns.assign(x - size, y, true);
            }
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
