#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Grid.h"
#include "RouteSearch.h"

// The Grid's answers that the viewer draws, kept between redisplays: the map
// never changes after loading, so a redisplay that asks the same question as
// the one before gets the same answer without asking again.
class FrameQueries {
  public:
    struct PathAnswer {
        bool connected = false;  // isConnected from start to goal
        int cost = -1;           // of the route; -1 without one
        Grid::Path path;         // empty without a route
        Grid::SearchStats stats;
        double searchMs = 0;  // the search's own time
        // Positions the search expanded, one flag per cell, when recorded;
        // empty when no search ran.
        bool recorded = false;
        std::vector<bool> expanded;
    };

    explicit FrameQueries(const Grid& grid, RouteSearch search = RouteSearch::EXACT)
        : grid(grid), routeSearch(search) {}

    // The search that path() and lastPath() use from now on.
    void useSearch(RouteSearch search) { routeSearch = search; }
    RouteSearch search() const { return routeSearch; }

    // The path mode's answer from (x0, y0) to (x1, y1): the route is searched
    // only when the two are connected. With `record`, also which positions
    // the search expanded.
    const PathAnswer& path(int size, int x0, int y0, int x1, int y1, bool record);

    // The last answer of path() for the same two positions with the search in
    // use now, searched again if that search did not make it or made it
    // without the recording; null before the first.
    const PathAnswer* lastPath(bool record);
    // Changes whenever path() or lastPath() gives a new answer.
    std::uint64_t pathVersion() const { return pathGeneration; }

    // Whether position (x, y) is connected to the reach mode's position
    // (px, py); `reachVersion` changes whenever the set of such positions may
    // have changed, so that pictures of the set can be kept until then.
    void setReachFrom(int size, int px, int py);
    bool reaches(int x, int y) const;
    std::uint64_t reachVersion() const { return reachGeneration; }

    // Counts the searches actually run, for tests of the reuse.
    std::int64_t searchesRun() const { return searches; }

  private:
    struct PathKey {
        RouteSearch search;
        int size, x0, y0, x1, y1;
        bool operator==(const PathKey&) const = default;
    };

    const Grid& grid;
    RouteSearch routeSearch;
    std::optional<PathKey> pathKey;  // of `answer`; none before the first
    PathAnswer answer;
    std::int64_t searches = 0;
    std::uint64_t pathGeneration = 0;

    bool haveReach = false;
    int reachSize = 0, reachX = 0, reachY = 0;
    std::uint64_t reachGeneration = 0;
};
