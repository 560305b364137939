#include "OctileMapGenerators.h"

#include <algorithm>
#include <random>
#include <utility>

namespace {

void fillRect(OctileRows& rows, int x0, int y0, int x1, int y1, char c) {
    const int height = int(rows.size());
    const int width = int(rows[0].size());
    for (int y = std::max(0, y0); y <= std::min(height - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(width - 1, x1); ++x) rows[y][x] = c;
    }
}

// A random number in [low, high] from one raw engine output.
int between(std::mt19937& rng, int low, int high) {
    return low + int(rng() % std::uint32_t(high - low + 1));
}

void fillDisc(OctileRows& rows, int cx, int cy, int radius, char c, char onlyOver) {
    const int height = int(rows.size());
    const int width = int(rows[0].size());
    for (int y = std::max(0, cy - radius); y <= std::min(height - 1, cy + radius); ++y) {
        for (int x = std::max(0, cx - radius); x <= std::min(width - 1, cx + radius); ++x) {
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= radius * radius && rows[y][x] == onlyOver) rows[y][x] = c;
        }
    }
}

}  // namespace

OctileRows makeRoomsMap(int width, int height, std::uint32_t seed) {
    std::mt19937 rng(seed);
    OctileRows rows(height, std::string(width, '@'));
    const int pitch = std::max(8, std::min(width, height) / 16);
    const int cols = std::max(1, (width - 1) / pitch);
    const int lines = std::max(1, (height - 1) / pitch);
    for (int r = 0; r < lines; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int x0 = c * pitch + 1, y0 = r * pitch + 1;
            const int x1 = x0 + pitch - 2, y1 = y0 + pitch - 2;
            fillRect(rows, x0, y0, x1, y1, '.');
            const int kind = between(rng, 0, 9);
            if (kind < 2) {  // a pond in the middle
                const int radius = between(rng, 1, pitch / 4);
                fillDisc(rows, (x0 + x1) / 2, (y0 + y1) / 2, radius, 'W', '.');
            } else if (kind < 4) {  // a few trees
                for (int t = between(rng, 1, pitch / 2); t > 0; --t) {
                    rows[between(rng, y0, y1)][between(rng, x0, x1)] = 'T';
                }
            }
            // Doors through the east and the south wall, to most neighbours.
            if (c + 1 < cols && between(rng, 0, 9) < 8) {
                const int w = between(rng, 1, 3);
                const int y = between(rng, y0, std::max(y0, y1 - w + 1));
                fillRect(rows, x1 + 1, y, x1 + 1, y + w - 1, '.');
            }
            if (r + 1 < lines && between(rng, 0, 9) < 8) {
                const int w = between(rng, 1, 3);
                const int x = between(rng, x0, std::max(x0, x1 - w + 1));
                fillRect(rows, x, y1 + 1, x + w - 1, y1 + 1, '.');
            }
        }
    }
    return rows;
}

OctileRows makeMazeMap(int width, int height, int corridor, std::uint32_t seed) {
    std::mt19937 rng(seed);
    OctileRows rows(height, std::string(width, '@'));
    const int pitch = corridor + 1;
    const int cols = (width - 1) / pitch;
    const int lines = (height - 1) / pitch;
    if (cols <= 0 || lines <= 0) return rows;
    std::vector<bool> seen(std::size_t(cols) * lines);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = true;
    fillRect(rows, 1, 1, corridor, corridor, '.');
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    while (!stack.empty()) {
        const auto [cx, cy] = stack.back();
        int options[4], count = 0;
        for (int d = 0; d < 4; ++d) {
            const int nx = cx + dx[d], ny = cy + dy[d];
            if (nx >= 0 && ny >= 0 && nx < cols && ny < lines && !seen[std::size_t(ny) * cols + nx])
                options[count++] = d;
        }
        if (count == 0) {
            stack.pop_back();
            continue;
        }
        const int d = options[rng() % std::uint32_t(count)];
        const int nx = cx + dx[d], ny = cy + dy[d];
        seen[std::size_t(ny) * cols + nx] = true;
        // The next cell and the wall between it and this one.
        const int left = std::min(cx, nx) * pitch + 1, top = std::min(cy, ny) * pitch + 1;
        const int w = dx[d] != 0 ? 2 * corridor + 1 : corridor;
        const int h = dy[d] != 0 ? 2 * corridor + 1 : corridor;
        fillRect(rows, left, top, left + w - 1, top + h - 1, '.');
        stack.emplace_back(nx, ny);
    }
    return rows;
}

OctileRows makeLakesMap(int width, int height, std::uint32_t seed) {
    std::mt19937 rng(seed);
    OctileRows rows(height, std::string(width, '.'));
    const int area = width * height;
    // Lakes: clusters of overlapping discs of water.
    for (int lake = std::max(1, area / 10000); lake > 0; --lake) {
        int cx = between(rng, 0, width - 1), cy = between(rng, 0, height - 1);
        for (int blob = between(rng, 2, 6); blob > 0; --blob) {
            fillDisc(rows, cx, cy, between(rng, 2, 24), 'W', '.');
            cx += between(rng, -12, 12);
            cy += between(rng, -12, 12);
        }
    }
    // Swamps on the ground, then clumps of trees.
    for (int patch = std::max(1, area / 12000); patch > 0; --patch) {
        fillDisc(rows, between(rng, 0, width - 1), between(rng, 0, height - 1), between(rng, 2, 12),
                 'S', '.');
    }
    for (int clump = std::max(1, area / 1500); clump > 0; --clump) {
        const int cx = between(rng, 0, width - 1), cy = between(rng, 0, height - 1);
        for (int t = between(rng, 1, 8); t > 0; --t) {
            const int x = std::clamp(cx + between(rng, -3, 3), 0, width - 1);
            const int y = std::clamp(cy + between(rng, -3, 3), 0, height - 1);
            if (rows[y][x] != 'W') rows[y][x] = 'T';
        }
    }
    return rows;
}
