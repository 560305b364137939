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
    RgbImage image(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            switch (tileOf(rows[y][x])) {
                case Grid::GROUND:
                    image.set(x, y, 200, 180, 20);
                    break;
                case Grid::WATER:
                    image.set(x, y, 10, 40, 230);
                    break;
                case Grid::BLOCKED:
                    image.set(x, y, 120, 30, 60);
                    break;
            }
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
            if (r < blockedPercent)
                c = '#';
            else if (r < blockedPercent + waterPercent)
                c = '~';
        }
    }
    return rows;
}
