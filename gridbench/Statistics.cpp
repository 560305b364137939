#include "Statistics.h"

#include <algorithm>
#include <cassert>
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
