#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <queue>
#include <vector>

#include "Grid.h"

// The search written the plain way, one heap node per push with parent links
// and a freshly allocated closed table, asking the grid's public isConnected
// for every move: the baseline the benchmark measures the library against.
// The tests also compare the library's paths with it step for step.
namespace reference {

struct Node {
    int x, y;
    const Node* parent;
    Grid::Direction action;
    int gCost, fCost;
};

inline int estimateCost(int ax, int ay, int bx, int by) {
    const int dx = std::abs(ax - bx), dy = std::abs(ay - by);
    return dx > dy ? Grid::DIAGONAL_COST * dy + Grid::CARDINAL_COST * (dx - dy)
                   : Grid::DIAGONAL_COST * dx + Grid::CARDINAL_COST * (dy - dx);
}

struct LeastCost {
    bool operator()(const Node* a, const Node* b) const {
        return a->fCost > b->fCost || (a->fCost == b->fCost && a->gCost < b->gCost);
    }
};

inline int findShortestPath(const Grid& grid, int size, int x1, int y1, int x2, int y2,
                            Grid::Path& path, long* expansions = nullptr) {
    const int width = grid.getWidth(), height = grid.getHeight();
    std::priority_queue<Node*, std::vector<Node*>, LeastCost> open;
    std::vector<std::unique_ptr<Node>> closed(static_cast<size_t>(width) * height);
    int cost = -1;
    open.push(new Node{x1, y1, nullptr, Grid::N, 0, estimateCost(x1, y1, x2, y2)});
    while (!open.empty()) {
        std::unique_ptr<Node> cur(open.top());
        open.pop();
        const int curIndex = cur->y * width + cur->x;
        if (closed[curIndex]) continue;
        const Node* node = (closed[curIndex] = std::move(cur)).get();
        if (expansions != nullptr) ++*expansions;
        if (node->x == x2 && node->y == y2) {
            cost = node->gCost;
            Grid::Path revPath;
            for (const Node* n = node; n->parent != nullptr; n = n->parent)
                revPath.push_back(n->action);
            path.assign(revPath.rbegin(), revPath.rend());
            break;
        }
        for (int d = Grid::N; d <= Grid::NW; ++d) {
            const auto dir = static_cast<Grid::Direction>(d);
            const int nx = node->x + Grid::stepDx(dir), ny = node->y + Grid::stepDy(dir);
            if (std::min(node->x, nx) < 0 || std::max(node->x, nx) + size >= width ||
                std::min(node->y, ny) < 0 || std::max(node->y, ny) + size >= height)
                continue;
            if (closed[ny * width + nx]) continue;
            if (!grid.isConnected(size, node->x, node->y, nx, ny) ||
                !grid.isConnected(size, node->x, node->y, nx, node->y) ||
                !grid.isConnected(size, node->x, node->y, node->x, ny))
                continue;
            const int g = node->gCost + Grid::stepCost(dir);
            open.push(new Node{nx, ny, node, dir, g, g + estimateCost(nx, ny, x2, y2)});
        }
    }
    while (!open.empty()) {
        delete open.top();
        open.pop();
    }
    return cost;
}

}  // namespace reference
