#include "Report.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string optional(bool present, const char* pattern, double value) {
    return present ? format(pattern, value) : "-";
}

}  // namespace

void printTable(std::ostream& out, const std::vector<BucketSummary>& rows, bool times) {
    char line[256];
    std::snprintf(line, sizeof line, "%6s %8s %8s %12s %10s %10s %12s %11s %10s\n", "bucket",
                  "queries", "solved", "unreachable", "mean_us", "median_us", "expanded",
                  "mean_ratio", "max_ratio");
    out << line;
    for (const BucketSummary& r : rows) {
        const bool hasTimes = times && r.queries > 0;
        const std::string bucket = r.total ? "total" : std::to_string(r.bucket);
        std::snprintf(
            line, sizeof line, "%6s %8d %8d %12d %10s %10s %12lld %11s %10s\n", bucket.c_str(),
            r.queries, r.solved, r.unreachable, optional(hasTimes, "%.2f", r.meanMicros).c_str(),
            optional(hasTimes, "%.2f", r.medianMicros).c_str(), static_cast<long long>(r.expanded),
            optional(r.ratios > 0, "%.5f", r.meanRatio).c_str(),
            optional(r.ratios > 0, "%.5f", r.maxRatio).c_str());
        out << line;
    }
}

void printThroughput(std::ostream& out, const BucketSummary& total) {
    out << "time in queries: " << format("%.3f", total.totalMicros / 1000) << " ms, "
        << optional(total.totalMicros > 0, "%.0f", total.expanded / (total.totalMicros / 1e6))
        << " expansions per second\n";
}

void printQueryRate(std::ostream& out, std::size_t queries, double wallMicros, int threads) {
    out << queries << " queries in " << format("%.3f", wallMicros / 1000) << " ms on " << threads
        << (threads == 1 ? " thread: " : " threads: ")
        << optional(wallMicros > 0, "%.0f", queries / (wallMicros / 1e6)) << " queries/s\n";
}

void printSpeedRatio(std::ostream& out, double exactMicros, double jumpMicros) {
    out << "exact search " << format("%.3f", exactMicros / 1000) << " ms, jump point search "
        << format("%.3f", jumpMicros / 1000) << " ms: "
        << format("%.2f", jumpMicros > 0 ? exactMicros / jumpMicros : 0.0) << " times as fast\n";
}

void writeCsvHeader(std::ostream& out, bool searchColumn) {
    out << "query,line,bucket,start_x,start_y,goal_x,goal_y,connected,cost,length,optimal,"
           "ratio,expanded,pushed,microseconds,check"
        << (searchColumn ? ",search\n" : "\n");
}

void writeCsvRows(std::ostream& out, const std::vector<Query>& queries,
                  const std::vector<QueryResult>& results, bool times, const char* search) {
    for (std::size_t i = 0; i < queries.size(); ++i) {
        const Query& q = queries[i];
        const QueryResult& r = results[i];
        const double ratio = r.ratio(q);
        const char* check = r.check == QueryResult::RIGHT   ? "right"
                            : r.check == QueryResult::WRONG ? "wrong"
                                                            : "";
        out << i + 1 << ',' << (q.line > 0 ? std::to_string(q.line) : "") << ',' << q.bucket << ','
            << q.startX << ',' << q.startY << ',' << q.goalX << ',' << q.goalY << ','
            << (r.connected ? 1 : 0) << ',' << r.cost << ','
            << (r.solved() ? format("%.8f", r.length()) : "") << ','
            << (q.optimal >= 0 ? format("%.8f", q.optimal) : "") << ','
            << (ratio >= 0 ? format("%.6f", ratio) : "") << ',' << r.expanded << ',' << r.pushed
            << ',' << (times ? format("%.3f", r.micros) : "") << ',' << check;
        if (search != nullptr) out << ',' << search;
        out << '\n';
    }
}

void printConnectivityShare(std::ostream& out, const BucketSummary& total) {
    out << "isConnected alone answered " << total.refusedByConnectivity << " of " << total.queries
        << " queries ("
        << optional(total.queries > 0, "%.1f", 100.0 * total.refusedByConnectivity / total.queries)
        << "%) as unreachable\n";
}
