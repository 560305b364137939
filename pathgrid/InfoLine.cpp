#include "InfoLine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* tileName(Grid::Tile tile) {
    switch (tile) {
        case Grid::GROUND: return "ground";
        case Grid::WATER: return "water";
        case Grid::BLOCKED: return "blocked";
    }
    return "?";
}

const char* searchName(RouteSearch search) {
    return search == RouteSearch::JUMP ? "jump" : "A*";
}

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

}  // namespace

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> formatInfoLine(const Grid& grid, const MapView& view,
                                        const InfoLineState& state, std::size_t maxChars) {
    const int side = state.objectSize + 1;
    const std::string name = state.mapName + " ";
    const std::string mapSize = format("%dx%d  ", grid.getWidth(), grid.getHeight());
    const std::string cell = format("%dx%d  zoom %lldx  (%d,%d) %s", side, side,
                                    1LL << view.zoomLevel(), state.cellX, state.cellY,
                                    tileName(grid.getTile(state.cellX, state.cellY)));
    std::string route = searchName(state.search);
    if (const FrameQueries::PathAnswer* path = state.path) {
        const auto expanded = static_cast<long long>(path->stats.expanded);
        if (!path->connected) {
            route += "  not connected";
        } else if (path->cost < 0) {
            route += format("  no route  %lld expanded %.3g ms", expanded, path->searchMs);
        } else {
            route += format("  cost %d  %zu steps  %lld expanded %.3g ms", path->cost,
                            path->path.size(), expanded, path->searchMs);
        }
    }
    std::vector<std::string> lines;
    for (const std::string& head : {name + mapSize, mapSize, std::string()}) {
        if (head.size() + cell.size() <= maxChars || head.empty()) {
            lines.push_back(head + cell);
            break;
        }
    }
    lines.push_back(route);
    // The longest hint that fits beside the map and cell, else beside the
    // route; on its line's right end.
    for (std::string* line : {&lines[0], &lines[1]}) {
        for (const char* hint :
             {"keys and mouse: pathgrid --help", "keys: pathgrid --help", "keys: --help"}) {
            const std::size_t length = std::strlen(hint);
            if (line->size() + 2 + length <= maxChars) {
                line->append(maxChars - line->size() - length, ' ');
                line->append(hint);
                return lines;
            }
        }
    }
    return lines;
}
