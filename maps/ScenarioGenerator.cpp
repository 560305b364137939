#include "ScenarioGenerator.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <random>
#include <utility>

#include "OctileMapReader.h"

namespace {

// 0 ground, 1 water, -1 where nothing walks.
int kindOf(char c) {
    Grid::Tile tile = Grid::BLOCKED;
    if (!tileFromOctileChar(c, tile) || tile == Grid::BLOCKED) return -1;
    return tile == Grid::GROUND ? 0 : 1;
}

}  // namespace

std::vector<double> octileLengthsFrom(const OctileRows& rows, int x0, int y0) {
    const int height = int(rows.size());
    const int width = int(rows[0].size());
    std::vector<double> length(std::size_t(width) * height, -1);
    const int kind = kindOf(rows[y0][x0]);
    if (kind < 0) return length;
    std::vector<signed char> kinds(length.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) kinds[std::size_t(y) * width + x] = kindOf(rows[y][x]);
    const auto walkable = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               kinds[std::size_t(y) * width + x] == kind;
    };
    std::vector<char> done(length.size());
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    length[std::size_t(y0) * width + x0] = 0;
    open.push({0.0, y0 * width + x0});
    const double diagonal = std::sqrt(2.0);
    while (!open.empty()) {
        const auto [d, index] = open.top();
        open.pop();
        if (done[index]) continue;
        done[index] = true;
        const int x = index % width, y = index / width;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || !walkable(x + dx, y + dy)) continue;
                if (dx != 0 && dy != 0 && !(walkable(x + dx, y) && walkable(x, y + dy))) continue;
                const int next = (y + dy) * width + x + dx;
                const double nd = d + (dx != 0 && dy != 0 ? diagonal : 1.0);
                if (!done[next] && (length[next] < 0 || nd < length[next])) {
                    length[next] = nd;
                    open.push({nd, next});
                }
            }
        }
    }
    return length;
}

std::vector<ScenarioLine> makeScenario(const OctileRows& rows, int queries, int perStart,
                                       std::uint32_t seed) {
    const int height = int(rows.size());
    const int width = int(rows[0].size());
    std::mt19937 rng(seed);
    std::vector<ScenarioLine> lines;
    // Gives up after many starts that reach nothing, so a map of rock ends.
    for (int attempts = 0; int(lines.size()) < queries && attempts < 100 + 10 * queries;
         ++attempts) {
        const int sx = int(rng() % std::uint32_t(width));
        const int sy = int(rng() % std::uint32_t(height));
        if (kindOf(rows[sy][sx]) != 0) continue;
        const std::vector<double> length = octileLengthsFrom(rows, sx, sy);
        std::vector<int> reached;
        for (std::size_t i = 0; i < length.size(); ++i) {
            if (length[i] > 0) reached.push_back(int(i));
        }
        if (reached.empty()) continue;
        for (int k = 0; k < perStart && int(lines.size()) < queries; ++k) {
            const int goal = reached[rng() % reached.size()];
            ScenarioLine line;
            line.startX = sx;
            line.startY = sy;
            line.goalX = goal % width;
            line.goalY = goal / width;
            line.optimal = length[goal];
            lines.push_back(line);
        }
    }
    double longest = 0;
    for (const ScenarioLine& l : lines) longest = std::max(longest, l.optimal);
    for (ScenarioLine& l : lines) l.bucket = std::min(9, int(10 * l.optimal / longest));
    std::stable_sort(lines.begin(), lines.end(), [](const ScenarioLine& a, const ScenarioLine& b) {
        return a.bucket < b.bucket;
    });
    return lines;
}
