#include "AnswerChecker.h"

AnswerChecker::AnswerChecker(const Grid& grid, const PathSearcher& searcher, int size)
    : searcher(searcher), size(size), reference(grid, size) {}

std::string AnswerChecker::verify(const Query& q, const QueryResult& r,
                                  const Grid::Path& path) const {
    if (!r.fits) return r.solved() ? "a route for an object that does not fit" : "";
    const int expected = reference.cost(q.startX, q.startY, q.goalX, q.goalY);
    if (r.connected != (expected >= 0)) {
        return std::string("isConnected says ") + (r.connected ? "yes" : "no") + ", reference " +
               (expected >= 0 ? "reachable" : "unreachable");
    }
    if (!r.connected) {
        if (reference.standTile(q.startX, q.startY) < 0) return "";
        Grid::Path scratch;
        Grid::SearchStats stats;
        const int cost =
            searcher.findShortestPath(size, q.startX, q.startY, q.goalX, q.goalY, scratch, stats);
        if (cost != -1) {
            return "isConnected says no, but the search found a route of cost " +
                   std::to_string(cost);
        }
        return "";
    }
    if (r.cost != expected) {
        return "cost " + std::to_string(r.cost) + ", reference " + std::to_string(expected);
    }
    return verifyRoute(q, r, path);
}

std::string AnswerChecker::verifyRoute(const Query& q, const QueryResult& r,
                                       const Grid::Path& path) const {
    const int tile = reference.standTile(q.startX, q.startY);
    int x = q.startX;
    int y = q.startY;
    int sum = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (!reference.stepAllowed(x, y, path[i], tile)) {
            return "step " + std::to_string(i + 1) + " of the route breaks the move rule";
        }
        x += Grid::stepDx(path[i]);
        y += Grid::stepDy(path[i]);
        sum += Grid::stepCost(path[i]);
    }
    if (x != q.goalX || y != q.goalY) {
        return "the route ends at (" + std::to_string(x) + ", " + std::to_string(y) +
               "), not at the goal";
    }
    if (sum != r.cost) {
        return "the route's steps cost " + std::to_string(sum) + ", not " + std::to_string(r.cost);
    }
    return "";
}
