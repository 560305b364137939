#include "Statistics.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>

namespace {

BucketSummary summarizeGroup(const std::vector<Query>& queries,
                             const std::vector<QueryResult>& results,
                             const std::vector<std::size_t>& members) {
    BucketSummary s;
    std::vector<double> micros;
    double ratioSum = 0;
    for (std::size_t i : members) {
        const QueryResult& r = results[i];
        ++s.queries;
        ++(r.solved() ? s.solved : s.unreachable);
        if (r.connected) ++s.connected;
        if (r.check == QueryResult::RIGHT) ++s.right;
        if (r.check == QueryResult::WRONG) ++s.wrong;
        if (r.fits && !r.connected) ++s.refusedByConnectivity;
        micros.push_back(r.micros);
        s.totalMicros += r.micros;
        s.expanded += r.expanded;
        const double ratio = r.ratio(queries[i]);
        if (ratio >= 0) {
            ++s.ratios;
            ratioSum += ratio;
            s.maxRatio = std::max(s.maxRatio, ratio);
        }
    }
    if (s.queries > 0) {
        s.meanMicros = s.totalMicros / s.queries;
        std::sort(micros.begin(), micros.end());
        const std::size_t half = micros.size() / 2;
        s.medianMicros = micros.size() % 2 ? micros[half] : (micros[half - 1] + micros[half]) / 2;
    }
    if (s.ratios > 0) s.meanRatio = ratioSum / s.ratios;
    return s;
}

}  // namespace

Interval wilsonInterval(int count, int n) {
    assert(n > 0 && count >= 0 && count <= n);
    constexpr double z = 1.959963984540054;  // the normal quantile of 97.5 %
    const double p = double(count) / n;
    const double z2n = z * z / n;
    const double centre = (p + z2n / 2) / (1 + z2n);
    const double half = z / (1 + z2n) * std::sqrt(p * (1 - p) / n + z2n / (4 * n));
    // None or all give an end of exactly 0 or 1, which rounding would miss.
    return {count == 0 ? 0.0 : std::max(0.0, centre - half),
            count == n ? 1.0 : std::min(1.0, centre + half)};
}

std::vector<BucketSummary> summarize(const std::vector<Query>& queries,
                                     const std::vector<QueryResult>& results) {
    assert(queries.size() == results.size());
    std::map<int, std::vector<std::size_t>> buckets;
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        buckets[queries[i].bucket].push_back(i);
        all.push_back(i);
    }
    std::vector<BucketSummary> rows;
    for (const auto& [bucket, members] : buckets) {
        rows.push_back(summarizeGroup(queries, results, members));
        rows.back().bucket = bucket;
    }
    rows.push_back(summarizeGroup(queries, results, all));
    rows.back().total = true;
    return rows;
}
