#include "TestMaps.h"

#include <random>

namespace {

Grid::Tile tileOf(char c) {
    if (c == '~' || c == 'W') return Grid::WATER;
    if (c == '#' || c == '@' || c == 'T') return Grid::BLOCKED;
    return Grid::GROUND;
}

}  // namespace

GridPtr gridFromRows(const MapRows& rows) {
    auto grid = std::make_unique<Grid>(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < grid->getHeight(); ++y)
        for (int x = 0; x < grid->getWidth(); ++x) grid->setTile(x, y, tileOf(rows[y][x]));
    return grid;
}

std::string tileText(const Grid& grid) {
    std::string text;
    for (int y = 0; y < grid.getHeight(); ++y, text += '\n')
        for (int x = 0; x < grid.getWidth(); ++x) text += char('0' + grid.getTile(x, y));
    return text;
}

RgbImage imageFromRows(const MapRows& rows) {
    // Ground, water and blocked, by tile value.
    static const unsigned char colour[3][3] = {{200, 180, 20}, {10, 40, 230}, {120, 30, 60}};
    RgbImage image(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* c = colour[tileOf(rows[y][x])];
            image.set(x, y, c[0], c[1], c[2]);
        }
    }
    return image;
}

MapRows noiseRows(int width, int height, int blockedPercent, int waterPercent, std::uint32_t seed) {
    std::mt19937 rng(seed);
    MapRows rows(height, std::string(width, '.'));
    for (std::string& row : rows) {
        for (char& c : row) {
            const int r = static_cast<int>(rng() % 100);
            c = r < blockedPercent ? '#' : r < blockedPercent + waterPercent ? '~' : '.';
        }
    }
    return rows;
}
