#include "JsonReport.h"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <string>

namespace {

std::string number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string numberOrNull(bool present, double value) {
    return present ? number(value) : "null";
}

std::string countOrNull(bool present, int value) {
    return present ? std::to_string(value) : "null";
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

// {"count": K, "rate": K/N, "low": L, "high": H}, the interval Wilson's.
std::string share(int count, int n) {
    std::string text = "{\"count\": " + std::to_string(count) + ", \"rate\": ";
    if (n == 0) return text + "null, \"low\": null, \"high\": null}";
    const Interval i = wilsonInterval(count, n);
    return text + number(double(count) / n) + ", \"low\": " + number(i.low) +
           ", \"high\": " + number(i.high) + "}";
}

void writeBucket(std::ostream& out, const BucketSummary& s, const Options& options) {
    const bool times = options.times && s.queries > 0;
    out << "{\"bucket\": " << (s.total ? "null" : std::to_string(s.bucket))
        << ", \"queries\": " << s.queries << ", \"connected\": " << s.connected
        << ", \"solved\": " << share(s.solved, s.queries) << ", \"unreachable\": " << s.unreachable
        << ", \"refused_by_connectivity\": " << share(s.refusedByConnectivity, s.queries)
        << ", \"right\": " << countOrNull(options.check, s.right)
        << ", \"wrong\": " << countOrNull(options.check, s.wrong)
        << ", \"expanded\": " << s.expanded << ", \"ratios\": " << s.ratios
        << ", \"mean_ratio\": " << numberOrNull(s.ratios > 0, s.meanRatio)
        << ", \"max_ratio\": " << numberOrNull(s.ratios > 0, s.maxRatio)
        << ", \"mean_us\": " << numberOrNull(times, s.meanMicros)
        << ", \"median_us\": " << numberOrNull(times, s.medianMicros)
        << ", \"total_us\": " << numberOrNull(times, s.totalMicros) << "}";
}

void writeRow(std::ostream& out, std::size_t index, const Query& q, const QueryResult& r,
              const Options& options) {
    const double ratio = r.ratio(q);
    const char* check = r.check == QueryResult::RIGHT   ? "\"right\""
                        : r.check == QueryResult::WRONG ? "\"wrong\""
                                                        : "null";
    out << "{\"query\": " << index + 1 << ", \"line\": " << countOrNull(q.line > 0, q.line)
        << ", \"bucket\": " << q.bucket << ", \"start_x\": " << q.startX
        << ", \"start_y\": " << q.startY << ", \"goal_x\": " << q.goalX
        << ", \"goal_y\": " << q.goalY << ", \"connected\": " << (r.connected ? "true" : "false")
        << ", \"cost\": " << countOrNull(r.solved(), r.cost)
        << ", \"length\": " << numberOrNull(r.solved(), r.length())
        << ", \"optimal\": " << numberOrNull(q.optimal >= 0, q.optimal)
        << ", \"ratio\": " << numberOrNull(ratio >= 0, ratio) << ", \"expanded\": " << r.expanded
        << ", \"pushed\": " << r.pushed
        << ", \"microseconds\": " << numberOrNull(options.times, r.micros)
        << ", \"check\": " << check << "}";
}

void writeSearch(std::ostream& out, const SearchOutcome& s, const Options& options,
                 const Inputs& in) {
    const BucketSummary& total = s.rows.back();
    const bool times = options.times;
    out << "    {\n      \"search\": " << quoted(s.search) << ",\n      \"buckets\": [";
    for (std::size_t i = 0; i + 1 < s.rows.size(); ++i) {
        out << (i == 0 ? "\n        " : ",\n        ");
        writeBucket(out, s.rows[i], options);
    }
    out << "\n      ],\n      \"total\": ";
    writeBucket(out, total, options);
    out << ",\n      \"optima_off\": " << countOrNull(s.optimaOff >= 0, s.optimaOff)
        << ",\n      \"time_in_queries_us\": " << numberOrNull(times, total.totalMicros)
        << ",\n      \"expansions_per_second\": "
        << numberOrNull(times && total.totalMicros > 0, total.expanded / (total.totalMicros / 1e6))
        << ",\n      \"wall_us\": " << numberOrNull(times, s.wallMicros)
        << ",\n      \"queries_per_second\": "
        << numberOrNull(times && s.wallMicros > 0, in.queries.size() / (s.wallMicros / 1e6))
        << ",\n      \"rows\": [";
    for (std::size_t i = 0; i < in.queries.size(); ++i) {
        out << (i == 0 ? "\n        " : ",\n        ");
        writeRow(out, i, in.queries[i], s.results[i], options);
    }
    out << "\n      ]\n    }";
}

}  // namespace

void writeJson(std::ostream& out, const Options& options, const Inputs& in,
               const std::vector<SearchOutcome>& searches) {
    const bool scenario = !options.scenario.empty();
    out << "{\n  \"map\": " << quoted(in.mapPath) << ",\n  \"width\": " << in.grid->getWidth()
        << ",\n  \"height\": " << in.grid->getHeight() << ",\n  \"size\": " << options.size
        << ",\n  \"scenario\": " << (scenario ? quoted(options.scenario) : "null")
        << ",\n  \"seed\": " << (scenario ? "null" : std::to_string(options.seed))
        << ",\n  \"queries\": " << in.queries.size()
        << ",\n  \"optimum_ratios\": " << (scenario && !in.optimaLeftOut ? "true" : "false")
        << ",\n  \"checked\": " << (options.check ? "true" : "false")
        << ",\n  \"timed\": " << (options.times ? "true" : "false") << ",\n  \"searches\": [\n";
    for (std::size_t k = 0; k < searches.size(); ++k) {
        if (k > 0) out << ",\n";
        writeSearch(out, searches[k], options, in);
    }
    const bool ratio =
        options.times && searches.size() == 2 && searches[1].rows.back().totalMicros > 0;
    out << "\n  ],\n  \"speed_ratio\": "
        << numberOrNull(ratio, ratio ? searches[0].rows.back().totalMicros /
                                           searches[1].rows.back().totalMicros
                                     : 0)
        << "\n}\n";
}
