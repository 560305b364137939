#include "TestSupport.h"

#include <cassert>

RgbImage imageFromRows(const MapRows& rows) {
    assert(!rows.empty());
    RgbImage image(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < image.height; ++y) {
        assert(int(rows[y].size()) == image.width);
        for (int x = 0; x < image.width; ++x) {
            switch (rows[y][x]) {
                case '.':
                    image.set(x, y, 200, 180, 20);
                    break;
                case '~':
                    image.set(x, y, 10, 40, 230);
                    break;
                case '#':
                    image.set(x, y, 120, 30, 60);
                    break;
                default:
                    assert(!"unknown map character");
            }
        }
    }
    return image;
}

GridPtr gridFromRows(const MapRows& rows) {
    auto grid = std::make_unique<Grid>(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < grid->getHeight(); ++y) {
        for (int x = 0; x < grid->getWidth(); ++x) {
            const char c = rows[y][x];
            grid->setTile(x, y, c == '~' ? Grid::WATER : c == '#' ? Grid::BLOCKED : Grid::GROUND);
        }
    }
    return grid;
}
