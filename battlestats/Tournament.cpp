#include "Tournament.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

std::vector<AttackPolicy> sorted_unique(std::vector<AttackPolicy> policies) {
    std::sort(policies.begin(), policies.end());
    policies.erase(std::unique(policies.begin(), policies.end()), policies.end());
    return policies;
}

std::uint64_t splitmix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

bool parse_positive(const std::string& text, int& value) {
    if (text.empty() || text.size() > 10) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < 1 || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

bool TournamentSettings::operator==(const TournamentSettings& o) const {
    return width == o.width && height == o.height && marines == o.marines && tanks == o.tanks &&
           bounce == o.bounce && sorted_unique(reds) == sorted_unique(o.reds) &&
           sorted_unique(blues) == sorted_unique(o.blues) && battles == o.battles &&
           master_seed == o.master_seed && paired == o.paired;
}

Settings battle_settings(const TournamentSettings& t, PolicyPair pair) {
    Settings s;
    s.width = t.width;
    s.height = t.height;
    s.delay = 0;
    s.seed = t.master_seed;
    s.n_marines = t.marines;
    s.n_tanks = t.tanks;
    s.red_policy = pair.red;
    s.blue_policy = pair.blue;
    s.bounce = t.bounce;
    s.gfx = false;
    return s;
}

std::vector<PolicyPair> tournament_pairs(const TournamentSettings& t) {
    std::vector<PolicyPair> pairs;
    for (const AttackPolicy r : sorted_unique(t.reds)) {
        for (const AttackPolicy b : sorted_unique(t.blues)) {
            pairs.push_back({r, b});
            if (t.paired) pairs.push_back({b, r});
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](PolicyPair a, PolicyPair b) {
        return a.red != b.red ? a.red < b.red : a.blue < b.blue;
    });
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

int battle_seed(int master_seed, int index) {
    const std::uint64_t key =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(master_seed)) << 32) |
        static_cast<std::uint32_t>(index);
    const auto seed = static_cast<int>(static_cast<std::uint32_t>(splitmix64(key)));
    return seed == 0 ? 1 : seed;
}

std::vector<BattleJob> tournament_jobs(const TournamentSettings& t, Shard shard) {
    std::vector<BattleJob> jobs;
    std::uint64_t number = 0;
    for (const PolicyPair pair : tournament_pairs(t)) {
        for (int i = 0; i < t.battles; ++i, ++number) {
            if (number % static_cast<std::uint64_t>(shard.n) !=
                static_cast<std::uint64_t>(shard.k - 1))
                continue;
            jobs.push_back({pair, i, battle_seed(t.master_seed, i)});
        }
    }
    return jobs;
}

std::string parse_shard(const std::string& text, Shard& shard) {
    const std::string why = "expected K/N with 1 <= K <= N, not \"" + text + "\"";
    const auto slash = text.find('/');
    if (slash == std::string::npos) return why;
    Shard s;
    if (!parse_positive(text.substr(0, slash), s.k) || !parse_positive(text.substr(slash + 1), s.n))
        return why;
    if (s.k > s.n) return why;
    shard = s;
    return "";
}

const char* policy_name(AttackPolicy p) {
    switch (p) {
        case ATTACK_WEAKEST:
            return "weakest";
        case ATTACK_CLOSEST:
            return "closest";
        case ATTACK_MOST_DANGEROUS:
            return "most dangerous";
    }
    return "?";
}

const char* outcome_name(Outcome o) {
    switch (o) {
        case RED_WINS:
            return "red";
        case DRAW:
            return "draw";
        case BLUE_WINS:
            return "blue";
        case TIMEOUT:
            return "timeout";
    }
    return "?";
}

double red_points(Outcome o) {
    if (o == RED_WINS) return 1.0;
    if (o == BLUE_WINS) return 0.0;
    return 0.5;
}
