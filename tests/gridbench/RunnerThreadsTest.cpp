// The runner's threads on one Grid, each with its own copy of the answer
// checker, give the answers and problems of one thread (also under ThreadSanitizer).

#include <gtest/gtest.h>

#include <latch>
#include <memory>
#include <tuple>

#include "AnswerChecker.h"
#include "RandomQueries.h"
#include "TestMaps.h"

namespace {

constexpr int kThreads = 3;

// A verifier per thread, as gridbench makes them.
VerifierFactory checkerCopies(const AnswerChecker& checker) {
    return [&checker] {
        const auto own = std::make_shared<AnswerChecker>(checker);
        return [own](const auto&... answer) { return own->verify(answer...); };
    };
}

auto fields(const QueryResult& r) {
    return std::tie(r.fits, r.connected, r.cost, r.straightSteps, r.diagonalSteps, r.expanded,
                    r.pushed, r.check);
}

// Random queries of every size and both searches, all checked.
TEST(GridbenchThreads, EveryMapFamilyGivesTheAnswersOfOneThread) {
    for (const NamedMap& map : mapFamilies()) {
        const GridPtr grid = gridFromRows(map.rows);
        for (const GridSearcher::Search search : {GridSearcher::EXACT, GridSearcher::JUMP}) {
            for (int size = 0; size <= 2; ++size) {
                SCOPED_TRACE(std::string(map.name) + ", search " + std::to_string(search) +
                             ", size " + std::to_string(size));
                const GridSearcher searcher(*grid, search);
                const AnswerChecker checker(*grid, searcher, size);
                const std::vector<Query> queries = makeRandomQueries(*grid, size, 150, 7);
                if (queries.empty()) continue;  // the narrow maze has no room for the object
                const auto runOn = [&](int threads) {
                    return runQueries(searcher, grid->getWidth(), grid->getHeight(), size, queries,
                                      threads, checkerCopies(checker));
                };
                const QueryRun one = runOn(1), many = runOn(kThreads);
                ASSERT_EQ(std::tuple(many.threads, one.problems, many.results.size()),
                          std::tuple(kThreads, std::vector<std::string>{}, queries.size()));
                for (std::size_t i = 0; i < queries.size(); ++i)
                    EXPECT_EQ(fields(many.results[i]), fields(one.results[i])) << "query " << i;
            }
        }
    }
}

// The jump search's costs, one too high.
class OffByOne : public GridSearcher {
  public:
    using GridSearcher::GridSearcher;
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        return GridSearcher::findShortestPath(size, x1, y1, x2, y2, path, stats) + 1;
    }
};

// Found in any order, problems come out in query order, each under its own
// query's label. Each thread's first two checks wait for the others', so each
// thread holds one of queries 1 to 3 and one of 4 to 6: no order by thread passes.
TEST(GridbenchThreads, ProblemsComeInQueryOrder) {
    const GridPtr walls = gridFromRows({"......", ".@@@..", "...@WW", ".T.@WW", "......"});
    const OffByOne searcher(*walls, GridSearcher::JUMP);
    const AnswerChecker checker(*walls, searcher, 0);
    std::vector<Query> queries;
    std::vector<std::string> want;
    for (int line = 2; line < 200; ++line) {
        queries.push_back({.line = line, .goalX = line % 6});
        const int cost = 100 * (line % 6);
        want.push_back("line " + std::to_string(line) + ": cost " + std::to_string(cost + 1) +
                       ", reference " + std::to_string(cost));
    }
    std::latch rounds[] = {std::latch(kThreads), std::latch(kThreads)};
    const auto makeVerifier = [&] {
        const auto own = std::make_shared<AnswerChecker>(checker);
        const auto calls = std::make_shared<int>(0);
        return [&rounds, own, calls](const auto&... answer) {
            if (*calls < 2) rounds[(*calls)++].arrive_and_wait();
            return own->verify(answer...);
        };
    };
    const QueryRun run = runQueries(searcher, 6, 5, 0, queries, kThreads, makeVerifier);
    EXPECT_EQ(std::tuple(run.threads, run.problems), std::tuple(kThreads, want));
}

}  // namespace
