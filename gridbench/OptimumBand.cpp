#include "OptimumBand.h"

#include <cmath>
#include <cstdio>

#include "Grid.h"

namespace {

// The scenario writes its optima with 8 decimals.
constexpr double kTolerance = 1e-6;

std::string describe(const Query& q, std::size_t index, const QueryResult& r) {
    char text[96];
    if (r.cost < 0) {
        std::snprintf(text, sizeof text, ": optimum %.8f, but no route", q.optimal);
    } else if (q.optimal == 0) {
        std::snprintf(text, sizeof text, ": optimum 0, cost %d", r.cost);
    } else {
        std::snprintf(text, sizeof text, ": optimum %.8f, cost %d (ratio %.5f)", q.optimal, r.cost,
                      r.cost / (q.optimal * Grid::CARDINAL_COST));
    }
    return queryLabel(q, index) + text;
}

}  // namespace

bool costAgreesWithOptimum(int cost, double optimal) {
    // An optimum of 0 is also what scenarios write for a pair with no route.
    if (optimal == 0) return cost <= 0;
    if (cost < 0) return false;
    const double ratio = cost / (optimal * Grid::CARDINAL_COST);
    const double widest = double(Grid::DIAGONAL_COST) / (Grid::CARDINAL_COST * std::sqrt(2.0));
    return ratio >= 1 - kTolerance && ratio <= widest + kTolerance;
}

std::vector<std::string> findOptimumMismatches(const std::vector<Query>& queries,
                                               const std::vector<QueryResult>& results,
                                               bool checkedOnly) {
    std::vector<std::string> mismatches;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const Query& q = queries[i];
        const QueryResult& r = results[i];
        if (q.optimal < 0 || !r.fits) continue;
        if (checkedOnly && r.check != QueryResult::RIGHT) continue;
        if (!costAgreesWithOptimum(r.cost, q.optimal)) mismatches.push_back(describe(q, i, r));
    }
    return mismatches;
}
