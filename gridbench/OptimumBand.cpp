#include "OptimumBand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Grid.h"

namespace {

// Some files print more digits than they computed (sums in single
// precision); the band has always allowed them a millionth of the optimum.
constexpr double kRelativeSlack = 1e-6;

std::string describe(const Query& q, std::size_t index, const QueryResult& r) {
    // The optimum as the scenario printed it.
    const int places = std::clamp(q.optimalDecimals, 0, 17);
    char text[160];
    if (r.cost < 0) {
        std::snprintf(text, sizeof text, ": optimum %.*f, but no route", places, q.optimal);
    } else if (q.optimal == 0) {
        std::snprintf(text, sizeof text, ": optimum 0, cost %d", r.cost);
    } else {
        std::snprintf(text, sizeof text, ": optimum %.*f, cost %d (ratio %.5f)", places, q.optimal,
                      r.cost, r.cost / (q.optimal * Grid::CARDINAL_COST));
    }
    return queryLabel(q, index) + text;
}

}  // namespace

bool costAgreesWithOptimum(int cost, double optimal, int decimals) {
    // An optimum of 0 is also what scenarios write for a pair with no route.
    if (optimal == 0) return cost <= 0;
    if (cost < 0) return false;
    // Our cost puts the true optimum in [cost / 142 * sqrt 2, cost / 100]
    // (all diagonal, all straight); the printed one, within a unit of its
    // last place, as files round there or cut off ("22.62741699" for 16
    // sqrt 2). The two ranges must meet.
    // Files print at least six significant digits, as %g does: a shorter
    // "2" is 2.00000, not 2 give or take 1.
    const int sixDigits = 5 - int(std::floor(std::log10(optimal)));
    const double lastPlace = std::pow(10.0, -std::clamp(std::max(decimals, sixDigits), -300, 300));
    const double slack = std::max(lastPlace, kRelativeSlack * optimal);
    const double longest = double(cost) / Grid::CARDINAL_COST;
    const double shortest = cost * std::sqrt(2.0) / Grid::DIAGONAL_COST;
    return longest >= optimal - slack && shortest <= optimal + slack;
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
        if (!costAgreesWithOptimum(r.cost, q.optimal, q.optimalDecimals))
            mismatches.push_back(describe(q, i, r));
    }
    return mismatches;
}
