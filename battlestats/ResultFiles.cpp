#include "ResultFiles.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

#include "Runner.h"
#include "SettingsCheck.h"

const char* const CSV_HEADER =
    "battle,red,blue,seed,result,steps,width,height,marines,tanks,bounce,battles,master_seed,"
    "reds,blues,paired";

namespace {

constexpr std::size_t CSV_FIELDS = 16;
// Between the policies of the reds and blues columns; a comma would split the field.
constexpr const char* POLICY_SEPARATOR = ";";

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line) {
        if (c == separator) {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

std::optional<long long> parse_integer(const std::string& text, long long low, long long high) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() > 12) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (text[0] == '-') value = -value;
    if (value < low || value > high) return std::nullopt;
    return value;
}

// Numbers only: whether they name policies is the settings check's business.
std::optional<std::vector<AttackPolicy>> parse_policies(const std::string& text) {
    std::vector<AttackPolicy> policies;
    for (const std::string& number : split(text, POLICY_SEPARATOR[0])) {
        const auto policy = parse_integer(number, INT_MIN, INT_MAX);
        if (!policy) return std::nullopt;
        policies.push_back(static_cast<AttackPolicy>(*policy));
    }
    return policies;
}

std::optional<Outcome> parse_outcome(const std::string& text) {
    for (const Outcome o : {BLUE_WINS, DRAW, RED_WINS, TIMEOUT}) {
        if (text == outcome_name(o)) return o;
    }
    return std::nullopt;
}

struct Row {
    TournamentSettings settings;
    BattleRecord record;
};

// Empty on success, else what is wrong with the row.
std::string parse_row(const std::string& line, Row& row) {
    const std::vector<std::string> f = split(line, ',');
    if (f.size() != CSV_FIELDS) {
        return "expected " + std::to_string(CSV_FIELDS) + " fields, found " +
               std::to_string(f.size());
    }
    const auto index = parse_integer(f[0], 0, INT_MAX);
    const auto red = parse_policies(f[1]);
    const auto blue = parse_policies(f[2]);
    const auto seed = parse_integer(f[3], INT_MIN, INT_MAX);
    const auto result = parse_outcome(f[4]);
    const auto steps = parse_integer(f[5], 1, MAX_STEPS);
    const auto width = parse_integer(f[6], INT_MIN, INT_MAX);
    const auto height = parse_integer(f[7], INT_MIN, INT_MAX);
    // Counts out of range are left to the settings check, which says why.
    const auto marines = parse_integer(f[8], INT_MIN, INT_MAX);
    const auto tanks = parse_integer(f[9], INT_MIN, INT_MAX);
    const auto bounce = parse_integer(f[10], 0, 1);
    const auto battles = parse_integer(f[11], INT_MIN, INT_MAX);
    const auto master = parse_integer(f[12], INT_MIN, INT_MAX);
    const auto reds = parse_policies(f[13]);
    const auto blues = parse_policies(f[14]);
    const auto paired = parse_integer(f[15], 0, 1);
    const std::pair<bool, const char*> checks[] = {{index.has_value(), "battle"},
                                                   {red && red->size() == 1, "red"},
                                                   {blue && blue->size() == 1, "blue"},
                                                   {seed.has_value(), "seed"},
                                                   {result.has_value(), "result"},
                                                   {steps.has_value(), "steps"},
                                                   {width.has_value(), "width"},
                                                   {height.has_value(), "height"},
                                                   {marines.has_value(), "marines"},
                                                   {tanks.has_value(), "tanks"},
                                                   {bounce.has_value(), "bounce"},
                                                   {battles.has_value(), "battles"},
                                                   {master && *master != 0, "master_seed"},
                                                   {reds.has_value(), "reds"},
                                                   {blues.has_value(), "blues"},
                                                   {paired.has_value(), "paired"}};
    for (const auto& [ok, name] : checks) {
        if (!ok) return std::string("bad value in column ") + name;
    }
    if (*result == TIMEOUT && *steps != MAX_STEPS)
        return "a timeout must have " + std::to_string(MAX_STEPS) + " steps";
    TournamentSettings& t = row.settings;
    t.width = static_cast<int>(*width);
    t.height = static_cast<int>(*height);
    t.marines = static_cast<int>(*marines);
    t.tanks = static_cast<int>(*tanks);
    t.bounce = *bounce != 0;
    t.battles = static_cast<int>(*battles);
    t.master_seed = static_cast<int>(*master);
    t.reds = *reds;
    t.blues = *blues;
    t.paired = *paired != 0;
    row.record = {{(*red)[0], (*blue)[0]},
                  static_cast<int>(*index),
                  static_cast<int>(*seed),
                  *result,
                  static_cast<int>(*steps)};
    return "";
}

}  // namespace

std::string policy_list(const std::vector<AttackPolicy>& policies, const char* separator) {
    std::vector<AttackPolicy> sorted = policies;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string text;
    for (const AttackPolicy p : sorted) {
        if (!text.empty()) text += separator;
        text += std::to_string(static_cast<int>(p));
    }
    return text;
}

void write_csv(std::ostream& out, const TournamentResult& result) {
    const TournamentSettings& t = result.settings;
    std::ostringstream common;
    common << t.width << ',' << t.height << ',' << t.marines << ',' << t.tanks << ','
           << (t.bounce ? 1 : 0) << ',' << t.battles << ',' << t.master_seed << ','
           << policy_list(t.reds, POLICY_SEPARATOR) << ',' << policy_list(t.blues, POLICY_SEPARATOR)
           << ',' << (t.paired ? 1 : 0);
    const std::string tail = common.str();
    out << CSV_HEADER << '\n';
    for (const BattleRecord& r : result.records) {
        out << r.index << ',' << static_cast<int>(r.pair.red) << ','
            << static_cast<int>(r.pair.blue) << ',' << r.seed << ',' << outcome_name(r.result)
            << ',' << r.steps << ',' << tail << '\n';
    }
}

std::string merge_csv(const std::vector<CsvInput>& inputs, TournamentResult& merged) {
    std::optional<TournamentSettings> settings;
    std::string settings_origin;
    // (pair number, battle index) -> record and where it came from.
    std::map<std::pair<std::size_t, int>, std::pair<BattleRecord, std::string>> battles;
    std::vector<PolicyPair> pairs;

    for (const CsvInput& input : inputs) {
        std::istringstream text(input.text);
        std::string line;
        std::size_t line_number = 0;
        while (std::getline(text, line)) {
            ++line_number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::string where = input.name + ":" + std::to_string(line_number);
            if (line_number == 1) {
                if (line != CSV_HEADER) return where + ": not a battlestats CSV header";
                continue;
            }
            if (line.empty()) continue;
            Row row;
            const std::string problem = parse_row(line, row);
            if (!problem.empty()) return where + ": " + problem;
            if (!settings) {
                const std::string refused = settings_problem(row.settings);
                if (!refused.empty()) return where + ": a run refuses these settings: " + refused;
                settings = row.settings;
                settings_origin = where;
                pairs = tournament_pairs(*settings);
            } else if (!(row.settings == *settings)) {
                return where + ": settings differ from those of " + settings_origin;
            }
            const BattleRecord& r = row.record;
            const auto pair_at = std::find(pairs.begin(), pairs.end(), r.pair);
            if (pair_at == pairs.end()) return where + ": pair not played in this tournament";
            if (r.index >= settings->battles) return where + ": battle number out of range";
            if (r.seed != battle_seed(settings->master_seed, r.index))
                return where + ": seed does not belong to this battle";
            const auto key =
                std::make_pair(static_cast<std::size_t>(pair_at - pairs.begin()), r.index);
            const auto [at, inserted] = battles.try_emplace(key, r, where);
            if (!inserted) return where + ": same battle as " + at->second.second;
        }
        if (line_number == 0) return input.name + ": empty file, not a battlestats CSV";
    }
    if (!settings) return "no battles in the merged files";
    const std::uint64_t expected =
        static_cast<std::uint64_t>(pairs.size()) * static_cast<std::uint64_t>(settings->battles);
    if (battles.size() != expected) {
        return std::to_string(expected - battles.size()) + " of " + std::to_string(expected) +
               " battles missing: merge the CSV files of all shards";
    }
    merged.settings = *settings;
    merged.records.clear();
    merged.records.reserve(battles.size());
    for (const auto& entry : battles) merged.records.push_back(entry.second.first);
    return "";
}
