// The answer checker against searchers that are wrong on purpose.

#include <gtest/gtest.h>

#include "AnswerChecker.h"
#include "TestMaps.h"

namespace {

// The library's answers from one of its searches, spoiled in one way.
struct Faulty : GridSearcher {
    enum Fault { COST, CONNECTED, ROUTE } fault;
    Faulty(const Grid& grid, Search search, Fault fault)
        : GridSearcher(grid, search), fault(fault) {}
    bool isConnected(int size, int x1, int y1, int x2, int y2) const override {
        return fault != CONNECTED && GridSearcher::isConnected(size, x1, y1, x2, y2);
    }
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        const int cost = GridSearcher::findShortestPath(size, x1, y1, x2, y2, path, stats);
        if (fault == ROUTE)
            for (Grid::Direction& d : path) d = static_cast<Grid::Direction>((d + 4) % 8);
        return fault == COST ? cost + 1 : cost;
    }
};

// A spoiled jump search is caught with the very verdicts of a spoiled exact one.
TEST(GridbenchCheck, CatchesSearchersThatAreWrongOnPurpose) {
    const GridPtr walls = gridFromRows({"......", ".@@@..", "...@WW", ".T.@WW", "......"});
    const Query alongTheTop{.line = 2, .goalX = 5};  // costs 500
    for (const GridSearcher::Search search : {GridSearcher::EXACT, GridSearcher::JUMP}) {
        for (const auto& [fault, problem] :
             {std::pair{Faulty::COST, "line 2: cost 501, reference 500"},
              {Faulty::CONNECTED, "line 2: isConnected says no, reference reachable"},
              {Faulty::ROUTE, "line 2: step 1 of the route breaks the move rule"}}) {
            const Faulty searcher(*walls, search, fault);
            const AnswerChecker checker(*walls, searcher, 0);
            const auto verify = [&](const auto&... answer) { return checker.verify(answer...); };
            const QueryRun run =
                runQueries(searcher, 6, 5, 0, {alongTheTop}, 1, [&] { return verify; });
            EXPECT_EQ(run.problems, std::vector<std::string>{problem}) << "search " << search;
        }
    }
}

}  // namespace
