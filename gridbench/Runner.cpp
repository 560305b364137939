#include "Runner.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <chrono>
#include <cmath>
#include <exception>
#include <iterator>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

QueryResult runQuery(const PathSearcher& searcher, int width, int height, int size, const Query& q,
                     Grid::Path& path) {
    QueryResult r;
    path.clear();
    r.fits = q.startX + size < width && q.startY + size < height && q.goalX + size < width &&
             q.goalY + size < height;
    if (r.fits) {
        Grid::SearchStats stats;
        const auto begin = Clock::now();
        r.connected = searcher.isConnected(size, q.startX, q.startY, q.goalX, q.goalY);
        if (r.connected) {
            r.cost =
                searcher.findShortestPath(size, q.startX, q.startY, q.goalX, q.goalY, path, stats);
        }
        const auto end = Clock::now();
        r.micros = std::chrono::duration<double, std::micro>(end - begin).count();
        r.expanded = stats.expanded;
        r.pushed = stats.pushed;
        if (r.solved()) {
            for (Grid::Direction d : path) ++((d & 1) ? r.diagonalSteps : r.straightSteps);
        }
    }
    return r;
}

}  // namespace

double QueryResult::length() const {
    return solved() ? straightSteps + diagonalSteps * std::sqrt(2.0) : -1;
}

double QueryResult::ratio(const Query& query) const {
    if (!solved() || query.optimal <= 0) return -1;
    return cost / (query.optimal * Grid::CARDINAL_COST);
}

QueryRun runQueries(const PathSearcher& searcher, int width, int height, int size,
                    const std::vector<Query>& queries, int threads,
                    const VerifierFactory& makeVerifier, std::atomic<std::size_t>* done) {
    assert(threads >= 1);
    QueryRun run;
    run.results.resize(queries.size());
    run.threads = int(std::clamp<std::size_t>(queries.size(), 1, std::size_t(threads)));
    std::vector<AnswerVerifier> verifiers(run.threads);
    if (makeVerifier) {
        for (AnswerVerifier& v : verifiers) v = makeVerifier();
    }
    // Each thread's problems with their query index, merged in query order.
    using Problem = std::pair<std::size_t, std::string>;
    std::vector<std::vector<Problem>> found(run.threads);
    std::vector<std::exception_ptr> failures(run.threads);
    // One query at a time: scenarios list their queries from short to long,
    // so equal slices would leave one thread with all the long ones.
    std::atomic<std::size_t> next{0};
    const auto work = [&](int t) {
        try {
            Grid::Path path;
            for (;;) {
                const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
                if (i >= queries.size()) break;
                QueryResult& r = run.results[i];
                r = runQuery(searcher, width, height, size, queries[i], path);
                if (verifiers[t]) {
                    std::string problem = verifiers[t](queries[i], r, path);
                    r.check = problem.empty() ? QueryResult::RIGHT : QueryResult::WRONG;
                    if (!problem.empty()) found[t].emplace_back(i, std::move(problem));
                }
                if (done) done->fetch_add(1, std::memory_order_relaxed);
            }
        } catch (...) {
            failures[t] = std::current_exception();
            next = queries.size();  // the others stop after their current query
        }
    };

    const auto begin = Clock::now();
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < run.threads; ++t) helpers.emplace_back(work, t);
        work(0);
    }
    run.wallMicros = std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }

    std::vector<Problem> all;
    for (std::vector<Problem>& own : found) {
        std::move(own.begin(), own.end(), std::back_inserter(all));
    }
    std::sort(all.begin(), all.end(),
              [](const Problem& a, const Problem& b) { return a.first < b.first; });
    for (const auto& [i, problem] : all) {
        run.problems.push_back(queryLabel(queries[i], i) + ": " + problem);
    }
    return run;
}
