// Per-bucket figures, the table and CSV layouts, and the random queries.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "RandomQueries.h"
#include "Report.h"
#include "Statistics.h"
#include "TestSupport.h"

namespace {

Query query(int bucket, double optimal) {
    Query q;
    q.bucket = bucket;
    q.optimal = optimal;
    return q;
}

QueryResult result(int cost, double micros, std::int64_t expanded) {
    QueryResult r;
    r.connected = cost >= 0;
    r.cost = cost;
    r.micros = micros;
    r.expanded = expanded;
    return r;
}

TEST(Statistics, BucketsInOrderThenTheTotal) {
    const std::vector<Query> queries = {query(2, 2), query(0, 1), query(2, 4), query(2, 0),
                                        query(0, 1)};
    const std::vector<QueryResult> results = {result(200, 1, 10), result(-1, 4, 0),
                                              result(408, 5, 30), result(0, 3, 1),
                                              result(100, 2, 5)};
    const auto rows = summarize(queries, results);
    ASSERT_EQ(rows.size(), 3u);

    EXPECT_EQ(rows[0].bucket, 0);
    EXPECT_EQ(rows[0].queries, 2);
    EXPECT_EQ(rows[0].solved, 1);
    EXPECT_EQ(rows[0].unreachable, 1);
    EXPECT_EQ(rows[0].refusedByConnectivity, 1);
    EXPECT_DOUBLE_EQ(rows[0].medianMicros, 3);  // even count: middle two averaged
    EXPECT_EQ(rows[0].ratios, 1);
    EXPECT_DOUBLE_EQ(rows[0].maxRatio, 1);

    EXPECT_EQ(rows[1].bucket, 2);
    EXPECT_EQ(rows[1].queries, 3);
    EXPECT_DOUBLE_EQ(rows[1].meanMicros, 3);
    EXPECT_DOUBLE_EQ(rows[1].medianMicros, 3);
    EXPECT_EQ(rows[1].expanded, 41);
    EXPECT_EQ(rows[1].ratios, 2);  // the zero optimum has no ratio
    EXPECT_DOUBLE_EQ(rows[1].meanRatio, (1.0 + 1.02) / 2);
    EXPECT_DOUBLE_EQ(rows[1].maxRatio, 1.02);

    EXPECT_TRUE(rows[2].total);
    EXPECT_EQ(rows[2].queries, 5);
    EXPECT_EQ(rows[2].solved, 4);
    EXPECT_EQ(rows[2].refusedByConnectivity, 1);
    EXPECT_DOUBLE_EQ(rows[2].totalMicros, 15);
    EXPECT_DOUBLE_EQ(rows[2].medianMicros, 3);
    EXPECT_EQ(rows[2].expanded, 46);
    EXPECT_DOUBLE_EQ(rows[2].maxRatio, 1.02);
}

TEST(Statistics, NoQueriesGiveAnEmptyTotal) {
    const auto rows = summarize({}, {});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].queries, 0);
    EXPECT_EQ(rows[0].medianMicros, 0);
}

TEST(Report, TableLayout) {
    const auto rows =
        summarize({query(1, 2), query(1, 0)}, {result(200, 1.5, 10), result(-1, 2.25, 0)});
    std::ostringstream withTimes, without;
    printTable(withTimes, rows, true);
    printTable(without, rows, false);
    const std::string head =
        "bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  "
        "max_ratio\n";
    EXPECT_EQ(withTimes.str(), head +
                                   "     1        2        1            1       1.88       1.88 "
                                   "          10     1.00000    1.00000\n"
                                   " total        2        1            1       1.88       1.88 "
                                   "          10     1.00000    1.00000\n");
    EXPECT_EQ(without.str(), head +
                                 "     1        2        1            1          -          - "
                                 "          10     1.00000    1.00000\n"
                                 " total        2        1            1          -          - "
                                 "          10     1.00000    1.00000\n");
}

TEST(Report, ThroughputLine) {
    const auto rows = summarize({query(0, -1)}, {result(300, 2000, 5000)});
    std::ostringstream out;
    printThroughput(out, rows.back());
    EXPECT_EQ(out.str(), "time in queries: 2.000 ms, 2500000 expansions per second\n");
}

TEST(Report, ConnectivityShareLine) {
    QueryResult refused = result(-1, 1, 0);
    QueryResult notFitting = result(-1, 0, 0);
    notFitting.fits = false;
    const auto rows = summarize({query(0, -1), query(0, -1), query(0, -1)},
                                {refused, notFitting, result(100, 1, 2)});
    std::ostringstream out;
    printConnectivityShare(out, rows.back());
    EXPECT_EQ(out.str(), "isConnected alone answered 1 of 3 queries (33.3%) as unreachable\n");
}

TEST(Report, CsvRows) {
    Query scenarioQuery = query(3, 2.41421356);
    scenarioQuery.line = 7;
    scenarioQuery.startX = 1;
    scenarioQuery.goalX = 3;
    scenarioQuery.goalY = 1;
    QueryResult solved = result(242, 1.25, 4);
    solved.straightSteps = 1;
    solved.diagonalSteps = 1;
    solved.pushed = 9;
    solved.check = QueryResult::RIGHT;
    QueryResult unreachable = result(-1, 0.5, 0);
    unreachable.check = QueryResult::WRONG;
    std::ostringstream out;
    writeCsv(out, {scenarioQuery, query(0, -1)}, {solved, unreachable}, true);
    EXPECT_EQ(out.str(),
              "query,line,bucket,start_x,start_y,goal_x,goal_y,connected,cost,length,optimal,"
              "ratio,expanded,pushed,microseconds,check\n"
              "1,7,3,1,0,3,1,1,242,2.41421356,2.41421356,1.002397,4,9,1.250,right\n"
              "2,,0,0,0,0,0,0,-1,,,,0,0,0.500,wrong\n");
    std::ostringstream noTimes;
    writeCsv(noTimes, {query(0, -1)}, {result(-1, 0.5, 0)}, false);
    EXPECT_EQ(noTimes.str().substr(noTimes.str().find('\n') + 1), "1,,0,0,0,0,0,0,-1,,,,0,0,,\n");
}

TEST(RandomQueries, SameSeedSameQueriesAndOnlyOpenUniformFootprints) {
    const GridPtr grid = gridFromRows(
        {"..........", "..####....", "..####.~~~", "......~~~~", "#.....~~~~", "##........"});
    for (int size = 0; size <= 2; ++size) {
        const auto a = makeRandomQueries(*grid, size, 200, 42);
        const auto b = makeRandomQueries(*grid, size, 200, 42);
        const auto c = makeRandomQueries(*grid, size, 200, 43);
        ASSERT_EQ(a.size(), 200u);
        bool differs = false;
        std::set<int> buckets;
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].startX, b[i].startX);
            EXPECT_EQ(a[i].goalY, b[i].goalY);
            differs |= a[i].startX != c[i].startX || a[i].goalX != c[i].goalX;
            buckets.insert(a[i].bucket);
            for (const auto& [x, y] :
                 {std::pair{a[i].startX, a[i].startY}, std::pair{a[i].goalX, a[i].goalY}}) {
                ASSERT_LT(x + size, 10);
                ASSERT_LT(y + size, 6);
                const Grid::Tile tile = grid->getTile(x, y);
                EXPECT_NE(tile, Grid::BLOCKED);
                for (int i2 = 0; i2 <= size; ++i2)
                    for (int j = 0; j <= size; ++j) EXPECT_EQ(grid->getTile(x + j, y + i2), tile);
            }
        }
        EXPECT_TRUE(differs);
        EXPECT_GE(*buckets.begin(), 0);
        EXPECT_LE(*buckets.rbegin(), 9);
        EXPECT_GT(buckets.size(), 3u);
    }
}

TEST(RandomQueries, NoOpenPlaceGivesNoQueries) {
    const GridPtr grid = gridFromRows({"###", "#.#", "###"});
    EXPECT_EQ(makeRandomQueries(*grid, 0, 5, 1).size(), 5u);
    EXPECT_TRUE(makeRandomQueries(*grid, 1, 5, 1).empty());
}

}  // namespace
