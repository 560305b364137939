#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Grid.h"

// Deterministic test maps. Only raw mt19937 outputs are used (reduced with %),
// never the library's distributions, so a seed gives the same map everywhere.
namespace maps {

// Rows of characters: '.' GROUND, '~' WATER, '#' BLOCKED; row 0 is y = 0.
inline GridPtr fromRows(const std::vector<std::string>& rows) {
    auto grid =
        std::make_unique<Grid>(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < grid->getHeight(); ++y)
        for (int x = 0; x < grid->getWidth(); ++x)
            grid->setTile(x, y,
                          rows[y][x] == '#'   ? Grid::BLOCKED
                          : rows[y][x] == '~' ? Grid::WATER
                                              : Grid::GROUND);
    return grid;
}

// Every cell independently BLOCKED or WATER with the given percentages.
inline GridPtr noise(int width, int height, int blockedPercent, int waterPercent,
                     std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto grid = std::make_unique<Grid>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = static_cast<int>(rng() % 100);
            if (r < blockedPercent)
                grid->setTile(x, y, Grid::BLOCKED);
            else if (r < blockedPercent + waterPercent)
                grid->setTile(x, y, Grid::WATER);
        }
    return grid;
}

// A perfect maze carved by a depth-first walk: corridors `corridor` cells
// wide, walls one cell thick.
inline GridPtr maze(int width, int height, int corridor, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto grid = std::make_unique<Grid>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) grid->setTile(x, y, Grid::BLOCKED);
    const int pitch = corridor + 1;
    const int cols = (width - 1) / pitch, rows = (height - 1) / pitch;
    if (cols <= 0 || rows <= 0) return grid;
    auto carve = [&](int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) grid->setTile(x, y, Grid::GROUND);
    };
    std::vector<bool> seen(static_cast<size_t>(cols) * rows);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = true;
    carve(1, 1, corridor, corridor);
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        int options[4], count = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (nx >= 0 && ny >= 0 && nx < cols && ny < rows && !seen[ny * cols + nx])
                options[count++] = d;
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const int d = options[rng() % count];
        const int nx = cx + dx[d], ny = cy + dy[d];
        seen[ny * cols + nx] = true;
        // Carve the cell and the wall between it and the current one.
        const int left = std::min(cx, nx) * pitch + 1, top = std::min(cy, ny) * pitch + 1;
        carve(left, top, dx[d] != 0 ? 2 * corridor + 1 : corridor,
              dy[d] != 0 ? 2 * corridor + 1 : corridor);
        stack.emplace_back(nx, ny);
    }
    return grid;
}

// Rectangular rooms of GROUND inside BLOCKED rock, joined by L-shaped
// corridors of random width 1 to 3, with a few WATER pools in the rooms.
inline GridPtr rooms(int width, int height, int roomCount, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto grid = std::make_unique<Grid>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) grid->setTile(x, y, Grid::BLOCKED);
    auto fill = [&](int x0, int y0, int x1, int y1, Grid::Tile t) {
        for (int y = std::max(0, y0); y <= std::min(height - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(width - 1, x1); ++x) grid->setTile(x, y, t);
    };
    int prevX = -1, prevY = -1;
    for (int r = 0; r < roomCount; ++r) {
        const int w = 3 + static_cast<int>(rng() % (width / 4 + 1));
        const int h = 3 + static_cast<int>(rng() % (height / 4 + 1));
        const int x = static_cast<int>(rng() % width), y = static_cast<int>(rng() % height);
        fill(x, y, x + w - 1, y + h - 1, Grid::GROUND);
        if (rng() % 3 == 0) fill(x + 1, y + 1, x + w / 3, y + h / 3, Grid::WATER);
        const int cx = std::min(width - 1, x + w / 2), cy = std::min(height - 1, y + h / 2);
        if (prevX >= 0) {
            const int thick = static_cast<int>(rng() % 3);
            fill(std::min(prevX, cx), prevY, std::max(prevX, cx), prevY + thick, Grid::GROUND);
            fill(cx, std::min(prevY, cy), cx + thick, std::max(prevY, cy), Grid::GROUND);
        }
        prevX = cx;
        prevY = cy;
    }
    return grid;
}

}  // namespace maps
