// write_json of ResultFiles.h: the tournament as one JSON document.

#include <charconv>
#include <optional>
#include <ostream>
#include <string>

#include "ResultFiles.h"
#include "Statistics.h"

namespace {

// The shortest text that reads back as the same double: exact for programs,
// and the same on every run.
std::string number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string number_or_null(std::optional<double> value) {
    return value ? number(*value) : "null";
}

// {"count": K, "rate": K/N, "low": L, "high": H}; rate and interval null without battles.
std::string share(std::size_t count, std::size_t battles) {
    std::string text = "{\"count\": " + std::to_string(count) + ", \"rate\": ";
    if (battles == 0) return text + "null, \"low\": null, \"high\": null}";
    const Interval i = wilson_interval(count, battles);
    return text + number(static_cast<double>(count) / static_cast<double>(battles)) +
           ", \"low\": " + number(i.low) + ", \"high\": " + number(i.high) + "}";
}

void write_pairs(std::ostream& out, const TournamentResult& result,
                 const std::vector<PolicyPair>& pairs) {
    out << "    \"pairs\": [";
    const char* separator = "\n";
    for (const PairSummary& s : summarise(pairs, result.records)) {
        const bool played = s.battles > 0;
        out << separator << "      {\"red\": " << static_cast<int>(s.pair.red)
            << ", \"blue\": " << static_cast<int>(s.pair.blue) << ", \"battles\": " << s.battles
            << ", \"red_wins\": " << share(s.red_wins, s.battles)
            << ", \"draws\": " << share(s.draws, s.battles)
            << ", \"blue_wins\": " << share(s.blue_wins, s.battles)
            << ", \"timeouts\": " << s.timeouts << ", \"mean_steps\": "
            << number_or_null(played ? std::optional(s.mean_steps) : std::nullopt)
            << ", \"median_steps\": "
            << number_or_null(played ? std::optional(s.median_steps) : std::nullopt) << "}";
        separator = ",\n";
    }
    out << (*separator == '\n' ? "]" : "\n    ]");
}

void write_paired(std::ostream& out, const TournamentResult& result,
                  const std::vector<PolicyPair>& pairs) {
    out << "    \"paired\": [";
    const char* separator = "\n";
    // As in the table: the scores of a tournament played with --paired only.
    const std::vector<PairedScore> scores =
        result.settings.paired ? paired_scores(pairs, result.records) : std::vector<PairedScore>{};
    for (const PairedScore& p : scores) {
        out << separator << "      {\"a\": " << static_cast<int>(p.a)
            << ", \"b\": " << static_cast<int>(p.b) << ", \"layouts\": " << p.layouts
            << ", \"score\": "
            << number_or_null(p.layouts > 0 ? std::optional(p.score) : std::nullopt)
            << ", \"low\": "
            << number_or_null(p.interval ? std::optional(p.interval->low) : std::nullopt)
            << ", \"high\": "
            << number_or_null(p.interval ? std::optional(p.interval->high) : std::nullopt) << "}";
        separator = ",\n";
    }
    out << (*separator == '\n' ? "]" : "\n    ]");
}

}  // namespace

void write_json(std::ostream& out, const TournamentResult& result) {
    const TournamentSettings& t = result.settings;
    const std::vector<PolicyPair> pairs = tournament_pairs(t);
    out << "{\n  \"settings\": {\"width\": " << t.width << ", \"height\": " << t.height
        << ", \"marines\": " << t.marines << ", \"tanks\": " << t.tanks
        << ", \"bounce\": " << (t.bounce ? "true" : "false") << ", \"battles\": " << t.battles
        << ", \"master_seed\": " << t.master_seed << ", \"reds\": [" << policy_list(t.reds, ", ")
        << "], \"blues\": [" << policy_list(t.blues, ", ") << "]"
        << ", \"paired\": " << (t.paired ? "true" : "false") << "},\n";
    out << "  \"summary\": {\n    \"confidence\": 0.95,\n";
    write_pairs(out, result, pairs);
    out << ",\n";
    write_paired(out, result, pairs);
    out << "\n  },\n  \"battles\": [";
    bool first = true;
    for (const BattleRecord& r : result.records) {
        out << (first ? "\n" : ",\n") << "    {\"battle\": " << r.index
            << ", \"red\": " << static_cast<int>(r.pair.red)
            << ", \"blue\": " << static_cast<int>(r.pair.blue) << ", \"seed\": " << r.seed
            << ", \"result\": \"" << outcome_name(r.result) << "\", \"steps\": " << r.steps << "}";
        first = false;
    }
    out << (first ? "]\n}\n" : "\n  ]\n}\n");
}
