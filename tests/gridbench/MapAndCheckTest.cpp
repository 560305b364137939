// The octile map parser, and the answer checker catching searchers that are
// wrong on purpose.

#include <gtest/gtest.h>

#include <sstream>

#include "AnswerChecker.h"
#include "OctileMapReader.h"
#include "OptimumBand.h"
#include "TestMaps.h"

namespace {

TEST(OctileMap, GoodAndBadFiles) {
    // Width before height and Windows line ends both occur in published maps.
    std::istringstream good(
        "type octile\r\nwidth 4\r\nheight 3\r\nmap\r\n.GSW\r\n@OT.\r\n..W@\r\n");
    std::string error;
    const GridPtr grid = parseOctileMap(good, error);
    ASSERT_NE(grid, nullptr) << error;
    EXPECT_EQ(tileText(*grid), tileText(*gridFromRows({"...W", "###.", "..W#"})));

    const std::string head = "type octile\nheight 3\nwidth 4\nmap\n";
    const std::pair<std::string, std::string> bad[] = {
        {"type tile\nheight 3\n", "line 1: expected \"type octile\""},
        {"type octile\nheight 3\nmap\n", "line 3: \"map\" before both height and width"},
        {"type octile\nheight 0\n", "line 2: height is not a positive number"},
        {"type octile\nheight 100000\nwidth 100000\nmap\n", "line 4: map too large"},
        {head + "....\n...\n....\n", "line 6: row has 3 characters, expected 4"},
        {head + "....\n....\n", "line 7: file ends after 2 of 3 rows"},
        {head + "....\n..#.\n....\n", "line 6: unexpected character '#' in column 3"},
    };
    for (const auto& [text, message] : bad) {
        std::istringstream in(text);
        EXPECT_EQ(parseOctileMap(in, error), nullptr) << text;
        EXPECT_EQ(error, message) << text;
    }
}

// The library's answers, spoiled in one way.
class Faulty : public GridSearcher {
  public:
    enum Fault { COST, CONNECTED, ROUTE };
    Faulty(const Grid& grid, Fault fault) : GridSearcher(grid), fault(fault) {}
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

TEST(GridbenchCheck, CatchesSearchersThatAreWrongOnPurpose) {
    const GridPtr walls = gridFromRows({"......", ".@@@..", "...@WW", ".T.@WW", "......"});
    Query alongTheTop;  // costs 500
    alongTheTop.line = 2;
    alongTheTop.goalX = 5;
    const std::pair<Faulty::Fault, std::string> cases[] = {
        {Faulty::COST, "line 2: cost 501, reference 500"},
        {Faulty::CONNECTED, "line 2: isConnected says no, reference reachable"},
        {Faulty::ROUTE, "line 2: step 1 of the route breaks the move rule"},
    };
    for (const auto& [fault, problem] : cases) {
        const Faulty searcher(*walls, fault);
        const AnswerChecker checker(*walls, searcher, 0);
        const auto verify = [&](const auto&... answer) { return checker.verify(answer...); };
        std::vector<std::string> problems;
        runQueries(searcher, 6, 5, 0, {alongTheTop}, verify, problems);
        EXPECT_EQ(problems, std::vector<std::string>{problem});
    }
}

// The band's edges: a straight route costs exactly 100 per unit of optimum,
// an all-diagonal one 142 per sqrt 2.
TEST(GridbenchCheck, OptimumBandHoldsFromStraightToAllDiagonalRoutes) {
    EXPECT_TRUE(costAgreesWithOptimum(500, 5.0));
    EXPECT_TRUE(costAgreesWithOptimum(1420, 14.14213562));
    EXPECT_FALSE(costAgreesWithOptimum(499, 5.0));
    EXPECT_FALSE(costAgreesWithOptimum(1421, 14.14213562));
    EXPECT_TRUE(costAgreesWithOptimum(0, 0));
    EXPECT_TRUE(costAgreesWithOptimum(-1, 0));  // 0 also stands for "no route"
    EXPECT_FALSE(costAgreesWithOptimum(100, 0));
    EXPECT_FALSE(costAgreesWithOptimum(-1, 3.0));
}

}  // namespace
