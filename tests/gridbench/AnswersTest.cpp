// Answers on the hand-written maps, the independent Dijkstra, and the answer
// checker catching searchers that are wrong on purpose.

#include <gtest/gtest.h>

#include "AnswerChecker.h"
#include "BenchData.h"
#include "PathSearcher.h"
#include "ReferenceDijkstra.h"
#include "Runner.h"
#include "TestSupport.h"

namespace {

std::vector<QueryResult> run(const Grid& grid, const PathSearcher& searcher, int size,
                             const std::vector<Query>& queries, bool check,
                             std::vector<std::string>& problems) {
    AnswerChecker checker(grid, searcher, size);
    AnswerVerifier verify;
    if (check) {
        verify = [&checker](const Query& q, const QueryResult& r, const Grid::Path& p) {
            return checker.verify(q, r, p);
        };
    }
    return runQueries(searcher, grid.getWidth(), grid.getHeight(), size, queries, verify, problems);
}

std::vector<int> costs(const std::vector<QueryResult>& results) {
    std::vector<int> c;
    for (const QueryResult& r : results) c.push_back(r.cost);
    return c;
}

class DataMaps : public testing::Test {
  protected:
    void SetUp() override {
        walls = loadDataMap("walls.map");
        gap = loadDataMap("gap.map");
        ASSERT_NE(walls, nullptr);
        ASSERT_NE(gap, nullptr);
        wallQueries = loadDataQueries("walls.map.scen");
        gapQueries = loadDataQueries("gap.map.scen");
        ASSERT_EQ(wallQueries.size(), 8u);
        ASSERT_EQ(gapQueries.size(), 2u);
    }
    GridPtr walls, gap;
    std::vector<Query> wallQueries, gapQueries;
    std::vector<std::string> problems;
};

// walls.map:      ......
//                 .@@@..
//                 ...@WW
//                 .T.@WW
//                 ......
TEST_F(DataMaps, KnownCostsOnTheWallsMap) {
    const GridSearcher searcher(*walls);
    const auto results = run(*walls, searcher, 0, wallQueries, true, problems);
    // Along the top; around the wall's corner; start = goal; the long way over
    // the top into the pocket; one diagonal inside the lake; ground to water;
    // inside the wall itself; from the lone tree to the wall.
    EXPECT_EQ(costs(results), (std::vector<int>{500, 400, 0, 900, 142, -1, 400, -1}));
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(results[4].diagonalSteps, 1);
    EXPECT_EQ(results[4].straightSteps, 0);
    EXPECT_DOUBLE_EQ(results[4].ratio(wallQueries[4]), 142 / (1.41421356 * 100));
    EXPECT_FALSE(results[5].connected);
    EXPECT_EQ(results[5].expanded, 0);  // isConnected alone answered
    EXPECT_EQ(results[3].straightSteps, 9);
    for (const QueryResult& r : results) EXPECT_EQ(r.check, QueryResult::RIGHT);
}

// gap.map: a wall across the map with a gap one cell wide at x = 3.
TEST_F(DataMaps, TheGapLetsOnlyTheSmallestObjectThrough) {
    const GridSearcher searcher(*gap);
    EXPECT_EQ(costs(run(*gap, searcher, 0, gapQueries, true, problems)),
              (std::vector<int>{884, 542}));
    EXPECT_EQ(costs(run(*gap, searcher, 1, gapQueries, true, problems)),
              (std::vector<int>{-1, 542}));
    const auto big = run(*gap, searcher, 2, gapQueries, true, problems);
    EXPECT_EQ(costs(big), (std::vector<int>{-1, -1}));
    EXPECT_FALSE(big[1].fits);  // goal (5, 4) leaves a 3 x 3 object sticking out
    EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(Reference, WorkedCases) {
    const GridPtr open = gridFromRows({"....", "....", "....", "...."});
    EXPECT_EQ(ReferenceDijkstra(*open, 0).cost(0, 0, 3, 0), 300);
    EXPECT_EQ(ReferenceDijkstra(*open, 0).cost(0, 0, 2, 2), 284);
    EXPECT_EQ(ReferenceDijkstra(*open, 0).cost(0, 0, 3, 1), 342);
    EXPECT_EQ(ReferenceDijkstra(*open, 2).cost(0, 0, 1, 1), 142);
    EXPECT_EQ(ReferenceDijkstra(*open, 0).cost(1, 2, 1, 2), 0);

    const GridPtr pond = gridFromRows({"...", ".~.", "..."});
    EXPECT_EQ(ReferenceDijkstra(*pond, 0).cost(0, 0, 2, 2), 400);  // no corner cutting
    EXPECT_EQ(ReferenceDijkstra(*pond, 0).cost(0, 0, 1, 1), -1);   // another tile
    EXPECT_EQ(ReferenceDijkstra(*pond, 1).cost(0, 0, 1, 1), -1);   // footprint mixed

    const GridPtr diagonal = gridFromRows({".~~", "~.~", "~~~"});
    EXPECT_EQ(ReferenceDijkstra(*diagonal, 0).cost(0, 0, 1, 1), -1);
    EXPECT_EQ(ReferenceDijkstra(*diagonal, 0).cost(1, 0, 2, 2), 300);  // water goes around
}

TEST(Reference, AgreesWithTheLibraryOnANoisyMap) {
    MapRows rows;
    unsigned state = 7;
    for (int y = 0; y < 24; ++y) {
        std::string row;
        for (int x = 0; x < 24; ++x) {
            state = state * 1103515245u + 12345u;
            const unsigned r = (state >> 16) % 10;
            row += r < 2 ? '#' : r < 3 ? '~' : '.';
        }
        rows.push_back(row);
    }
    const GridPtr grid = gridFromRows(rows);
    for (int size = 0; size <= 2; ++size) {
        const ReferenceDijkstra reference(*grid, size);
        for (int i = 0; i < 40; ++i) {
            const int x1 = (i * 7) % (24 - size), y1 = (i * 11) % (24 - size);
            const int x2 = (i * 13 + 5) % (24 - size), y2 = (i * 3 + 17) % (24 - size);
            Grid::Path path;
            const int expected = reference.standTile(x1, y1) < 0
                                     ? -1
                                     : grid->findShortestPath(size, x1, y1, x2, y2, path);
            EXPECT_EQ(reference.cost(x1, y1, x2, y2), expected)
                << size << ": " << x1 << "," << y1 << " -> " << x2 << "," << y2;
        }
    }
}

// Searchers that are wrong on purpose, each in one way.
class WrongCost : public GridSearcher {
  public:
    using GridSearcher::GridSearcher;
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        const int cost = GridSearcher::findShortestPath(size, x1, y1, x2, y2, path, stats);
        return cost > 0 ? cost + 1 : cost;
    }
};

class NeverConnected : public GridSearcher {
  public:
    using GridSearcher::GridSearcher;
    bool isConnected(int, int, int, int, int) const override { return false; }
};

class ReversedRoute : public GridSearcher {
  public:
    using GridSearcher::GridSearcher;
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        const int cost = GridSearcher::findShortestPath(size, x1, y1, x2, y2, path, stats);
        for (Grid::Direction& d : path) d = static_cast<Grid::Direction>((d + 4) % 8);
        return cost;
    }
};

TEST_F(DataMaps, CheckCatchesAWrongCost) {
    const WrongCost searcher(*walls);
    const auto results = run(*walls, searcher, 0, wallQueries, true, problems);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "line 2: cost 501, reference 500", "line 3: cost 401, reference 400",
                            "line 5: cost 901, reference 900", "line 6: cost 143, reference 142",
                            "line 8: cost 401, reference 400"}));
    EXPECT_EQ(results[0].check, QueryResult::WRONG);
    EXPECT_EQ(results[2].check, QueryResult::RIGHT);  // start = goal costs 0 either way
}

TEST_F(DataMaps, CheckCatchesConnectivityThatDisagrees) {
    const NeverConnected searcher(*walls);
    run(*walls, searcher, 0, {wallQueries[0], wallQueries[5]}, true, problems);
    EXPECT_EQ(problems,
              (std::vector<std::string>{"line 2: isConnected says no, reference reachable"}));
}

TEST_F(DataMaps, CheckCatchesARouteThatDoesNotLeadToTheGoal) {
    const ReversedRoute searcher(*walls);
    run(*walls, searcher, 0, {wallQueries[0]}, true, problems);
    EXPECT_EQ(problems,
              (std::vector<std::string>{"line 2: step 1 of the route breaks the move rule"}));
}

TEST_F(DataMaps, WithoutCheckNothingIsVerified) {
    const WrongCost searcher(*walls);
    const auto results = run(*walls, searcher, 0, wallQueries, false, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(results[0].check, QueryResult::UNCHECKED);
    EXPECT_EQ(results[0].cost, 501);
}

// Records what it is asked; isConnected says yes only for start == goal.
class Recording : public PathSearcher {
  public:
    mutable int connectivityCalls = 0;
    mutable int searches = 0;
    bool isConnected(int, int x1, int y1, int x2, int y2) const override {
        ++connectivityCalls;
        return x1 == x2 && y1 == y2;
    }
    int findShortestPath(int, int, int, int, int, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        ++searches;
        path.clear();
        stats.expanded += 1;
        stats.pushed += 1;
        return 0;
    }
};

TEST(Runner, SearchesOnlyAfterIsConnectedSaysYesAndSkipsPositionsThatDoNotFit) {
    Recording searcher;
    std::vector<Query> queries(3);
    queries[0].goalX = 2;                      // not connected: no search
    queries[1].startX = queries[1].goalX = 1;  // connected
    queries[2].startX = 3;                     // 4 + size 1 sticks out of a 4 wide map
    std::vector<std::string> problems;
    const auto results = runQueries(searcher, 4, 4, 1, queries, {}, problems);
    EXPECT_EQ(searcher.connectivityCalls, 2);
    EXPECT_EQ(searcher.searches, 1);
    EXPECT_EQ(costs(results), (std::vector<int>{-1, 0, -1}));
    EXPECT_EQ(results[1].expanded, 1);
    EXPECT_FALSE(results[2].fits);
}

}  // namespace
