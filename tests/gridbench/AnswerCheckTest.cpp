// The answer checker catching searchers that are wrong on purpose, and the
// band an optimum may lie in.

#include <gtest/gtest.h>

#include "AnswerChecker.h"
#include "OptimumBand.h"
#include "TestMaps.h"

namespace {

// The library's answers from one of its searches, spoiled in one way.
class Faulty : public GridSearcher {
  public:
    enum Fault { COST, CONNECTED, ROUTE };
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

  private:
    Fault fault;
};

// The checker knows only the searcher's answers, so a spoiled jump search
// must be caught with the very verdicts of a spoiled exact one.
TEST(GridbenchCheck, CatchesSearchersThatAreWrongOnPurpose) {
    const GridPtr walls = gridFromRows({"......", ".@@@..", "...@WW", ".T.@WW", "......"});
    const Query alongTheTop{.line = 2, .goalX = 5};  // costs 500
    const std::pair<Faulty::Fault, std::string> cases[] = {
        {Faulty::COST, "line 2: cost 501, reference 500"},
        {Faulty::CONNECTED, "line 2: isConnected says no, reference reachable"},
        {Faulty::ROUTE, "line 2: step 1 of the route breaks the move rule"},
    };
    for (const GridSearcher::Search search : {GridSearcher::EXACT, GridSearcher::JUMP}) {
        for (const auto& [fault, problem] : cases) {
            const Faulty searcher(*walls, search, fault);
            const AnswerChecker checker(*walls, searcher, 0);
            const auto verify = [&](const auto&... answer) { return checker.verify(answer...); };
            const QueryRun run =
                runQueries(searcher, 6, 5, 0, {alongTheTop}, 1, [&] { return verify; });
            EXPECT_EQ(run.problems, std::vector<std::string>{problem}) << "search " << search;
        }
    }
}

// The band's edges: a straight route costs exactly 100 per unit of optimum,
// an all-diagonal one 142 per sqrt 2, and the optimum may be off by a unit
// of its last printed place ("1.41421" and the cut "22.62741699" for a cost
// of 142 and 2272), not by more ("1.41420"). An optimum of 0 also stands for
// "no route", a cost of -1.
TEST(GridbenchCheck, OptimumBandHoldsFromStraightToAllDiagonalRoutes) {
    const struct {
        int cost;
        double optimum;
        int decimals;
        bool agrees;
    } cases[] = {
        {500, 5.0, 8, true},  {1420, 14.14213562, 8, true},  {0, 0.0, 0, true},
        {-1, 0.0, 8, true},   {142, 1.41421, 5, true},       {2272, 22.62741699, 8, true},
        {499, 5.0, 8, false}, {1421, 14.14213562, 8, false}, {100, 0.0, 8, false},
        {-1, 3.0, 8, false},  {142, 1.41420, 5, false},      {200, 1.41421, 5, false},
        // Printed in full: "2" and "30" are exact, not give or take a unit.
        {200, 2.0, 0, true},  {242, 2.0, 0, false},          {3000, 30.0, 0, true},
        {3042, 30.0, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(costAgreesWithOptimum(c.cost, c.optimum, c.decimals), c.agrees)
            << c.cost << " for " << c.optimum;
    }
}

}  // namespace
