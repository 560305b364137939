#pragma once

#include <string>

#include "Grid.h"
#include "PathSearcher.h"
#include "Query.h"
#include "ReferenceDijkstra.h"
#include "Runner.h"

// Verifies one answer of `searcher`: the cost against the reference
// Dijkstra, the route against the move rule and its cost, and that
// isConnected agrees with whether a route exists (when it says no and the
// start is a standing position, the search is asked too and must fail).
// Like its reference search, one checker serves one thread at a time; copies
// share nothing but the searcher.
class AnswerChecker {
  public:
    AnswerChecker(const Grid& grid, const PathSearcher& searcher, int size);

    // The empty string when the answer is right, else what is wrong.
    std::string verify(const Query& query, const QueryResult& result, const Grid::Path& path) const;

  private:
    std::string verifyRoute(const Query& query, const QueryResult& result,
                            const Grid::Path& path) const;

    const PathSearcher& searcher;
    int size;
    ReferenceDijkstra reference;
};
