// One Grid asked by several threads at once: every answer equals the answer
// of a Grid with the same tiles asked one question at a time, from cold
// labels and bitmaps, after tile changes, and while the label counter runs
// out and starts again.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Grid.h"
#include "GridTestAccess.h"
#include "TestMaps.h"

namespace {

constexpr int kThreads = 4;

struct Question {
    int size, x1, y1, x2, y2;
};

struct Answer {
    bool connected = false;
    int exactCost = -1, jumpCost = -1;
    bool operator==(const Answer&) const = default;
};

bool startFits(const Grid& grid, const Question& q) {
    const Grid::Tile tile = grid.getTile(q.x1, q.y1);
    for (int y = q.y1; y <= q.y1 + q.size; ++y)
        for (int x = q.x1; x <= q.x1 + q.size; ++x)
            if (grid.getTile(x, y) != tile) return false;
    return true;
}

// The connectivity question always; the searches where their preconditions
// hold. A route that breaks the move rule is reported in `problem`.
Answer ask(const Grid& grid, const Question& q, std::string& problem) {
    Answer a;
    a.connected = grid.isConnected(q.size, q.x1, q.y1, q.x2, q.y2);
    if (!startFits(grid, q)) return a;
    Grid::Path exact, jump;
    a.exactCost = grid.findShortestPath(q.size, q.x1, q.y1, q.x2, q.y2, exact);
    a.jumpCost = grid.findJumpPointPath(q.size, q.x1, q.y1, q.x2, q.y2, jump);
    if (a.exactCost >= 0) {
        problem = routeProblem(grid, q.size, q.x1, q.y1, q.x2, q.y2, exact, a.exactCost);
        if (problem.empty())
            problem = routeProblem(grid, q.size, q.x1, q.y1, q.x2, q.y2, jump, a.jumpCost);
    }
    return a;
}

std::vector<Question> randomQuestions(const Grid& grid, int count, std::mt19937& rng) {
    std::vector<Question> questions;
    const int w = grid.getWidth(), h = grid.getHeight();
    while (int(questions.size()) < count) {
        const int size = int(rng() % 3);
        if (w <= size || h <= size) continue;
        questions.push_back({size, int(rng() % (w - size)), int(rng() % (h - size)),
                             int(rng() % (w - size)), int(rng() % (h - size))});
    }
    return questions;
}

// Each thread asks every question, starting at its own place in the list,
// so that threads meet on the same cold sectors and bitmaps.
std::vector<std::string> askFromThreads(const Grid& shared, const std::vector<Question>& questions,
                                        const std::vector<Answer>& expected) {
    std::vector<std::vector<std::string>> failures(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::size_t n = questions.size();
            for (std::size_t k = 0; k < n; ++k) {
                const std::size_t i = (k + t * n / kThreads) % n;
                std::string problem;
                const Answer got = ask(shared, questions[i], problem);
                if (!(got == expected[i]) || !problem.empty()) {
                    std::ostringstream out;
                    out << "thread " << t << ", question " << i << ": connected "
                        << got.connected << " costs " << got.exactCost << "/" << got.jumpCost
                        << ", alone " << expected[i].connected << " " << expected[i].exactCost
                        << "/" << expected[i].jumpCost << " " << problem;
                    failures[t].push_back(out.str());
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::vector<std::string> all;
    for (const auto& f : failures) all.insert(all.end(), f.begin(), f.end());
    return all;
}

class ConcurrentQueries : public ::testing::TestWithParam<NamedMap> {};

TEST_P(ConcurrentQueries, AnswerAsOneThreadDoes) {
    const GridPtr alone = gridFromRows(GetParam().rows), shared = gridFromRows(GetParam().rows),
                  wrapping = gridFromRows(GetParam().rows);
    // Few labels left: fills clear the tables while other threads read them.
    GridTestAccess::startSectorLabelsAt(*wrapping, UINT32_MAX - 4);
    const int w = alone->getWidth(), h = alone->getHeight();
    std::mt19937 rng(7);
    for (int round = 0; round < 3; ++round) {
        if (round > 0) {
            for (int change = 0; change < 20; ++change) {
                const int x = int(rng() % w), y = int(rng() % h);
                const auto tile = Grid::Tile(rng() % 3);
                for (Grid* grid : {alone.get(), shared.get(), wrapping.get()}) grid->setTile(x, y, tile);
            }
        }
        const std::vector<Question> questions = randomQuestions(*alone, 150, rng);
        std::vector<Answer> expected;
        for (const Question& q : questions) {
            std::string problem;
            expected.push_back(ask(*alone, q, problem));
            ASSERT_EQ(problem, "");
        }
        for (const Grid* grid : {shared.get(), wrapping.get()}) {
            const std::vector<std::string> failures = askFromThreads(*grid, questions, expected);
            EXPECT_TRUE(failures.empty()) << "round " << round << ", " << failures.size()
                                          << " wrong answers; the first: " << failures.front();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, ConcurrentQueries, ::testing::ValuesIn(mapFamilies()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
