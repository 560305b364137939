#include "TestMaps.h"

#include "OctileMapGenerators.h"

#include <algorithm>
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

bool stepAllowed(const Grid& grid, Grid::Tile tile, int size, int x, int y, int nx, int ny) {
    const int x0 = std::min(x, nx), y0 = std::min(y, ny);
    const int x1 = std::max(x, nx) + size, y1 = std::max(y, ny) + size;
    if (x0 < 0 || y0 < 0 || x1 >= grid.getWidth() || y1 >= grid.getHeight()) return false;
    for (int cy = y0; cy <= y1; ++cy)
        for (int cx = x0; cx <= x1; ++cx)
            if (grid.getTile(cx, cy) != tile) return false;
    return true;
}

std::string routeProblem(const Grid& grid, int size, int x1, int y1, int x2, int y2,
                         const Grid::Path& path, int cost) {
    const Grid::Tile tile = grid.getTile(x1, y1);
    int x = x1, y = y1, sum = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const int nx = x + Grid::stepDx(path[i]), ny = y + Grid::stepDy(path[i]);
        if (!stepAllowed(grid, tile, size, x, y, nx, ny))
            return "step " + std::to_string(i + 1) + " breaks the move rule";
        sum += Grid::stepCost(path[i]);
        x = nx;
        y = ny;
    }
    if (x != x2 || y != y2) return "the route ends elsewhere";
    if (sum != cost) return "the steps cost " + std::to_string(sum);
    return "";
}

std::vector<NamedMap> mapFamilies() {
    return {{"noise", noiseRows(40, 30, 25, 10, 1)},
            {"rooms", makeRoomsMap(48, 40, 3)},
            {"maze", makeMazeMap(41, 31, 1, 4)},
            {"wideMaze", makeMazeMap(49, 41, 3, 5)},
            {"lakes", makeLakesMap(60, 45, 2)}};
}
