#include "Runner.h"

#include <chrono>
#include <cmath>

double QueryResult::length() const {
    return solved() ? straightSteps + diagonalSteps * std::sqrt(2.0) : -1;
}

double QueryResult::ratio(const Query& query) const {
    if (!solved() || query.optimal <= 0) return -1;
    return cost / (query.optimal * Grid::CARDINAL_COST);
}

std::vector<QueryResult> runQueries(const PathSearcher& searcher, int width, int height, int size,
                                    const std::vector<Query>& queries, const AnswerVerifier& verify,
                                    std::vector<std::string>& problems) {
    using Clock = std::chrono::steady_clock;
    std::vector<QueryResult> results;
    results.reserve(queries.size());
    Grid::Path path;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const Query& q = queries[i];
        QueryResult r;
        path.clear();
        r.fits = q.startX + size < width && q.startY + size < height && q.goalX + size < width &&
                 q.goalY + size < height;
        if (r.fits) {
            Grid::SearchStats stats;
            const auto begin = Clock::now();
            r.connected = searcher.isConnected(size, q.startX, q.startY, q.goalX, q.goalY);
            if (r.connected) {
                r.cost = searcher.findShortestPath(size, q.startX, q.startY, q.goalX, q.goalY, path,
                                                   stats);
            }
            const auto end = Clock::now();
            r.micros = std::chrono::duration<double, std::micro>(end - begin).count();
            r.expanded = stats.expanded;
            r.pushed = stats.pushed;
            if (r.solved()) {
                for (Grid::Direction d : path) ++((d & 1) ? r.diagonalSteps : r.straightSteps);
            }
        }
        if (verify) {
            const std::string problem = verify(q, r, path);
            r.check = problem.empty() ? QueryResult::RIGHT : QueryResult::WRONG;
            if (!problem.empty()) problems.push_back(queryLabel(q, i) + ": " + problem);
        }
        results.push_back(r);
    }
    return results;
}
