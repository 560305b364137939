// The runner's threads on one Grid, also under ThreadSanitizer.

#include <gtest/gtest.h>

#include <latch>
#include <memory>
#include <tuple>

#include "AnswerChecker.h"
#include "TestMaps.h"

namespace {

constexpr int kThreads = 3;

// The jump search's costs, one too high.
struct OffByOne : GridSearcher {
    using GridSearcher::GridSearcher;
    int findShortestPath(int size, int x1, int y1, int x2, int y2, Grid::Path& path,
                         Grid::SearchStats& stats) const override {
        return GridSearcher::findShortestPath(size, x1, y1, x2, y2, path, stats) + 1;
    }
};

// Each thread's first two checks wait for the others': no order by thread passes.
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
