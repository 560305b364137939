#include "SettingsCheck.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "Records.h"
#include "Runner.h"

namespace {

// "--marines: Value -1 not in range 0 to 2147483647", the option parser's own
// words, or empty.
std::string range_problem(const char* option, const CLI::Validator& range, int value) {
    const std::string why = range(std::to_string(value));
    return why.empty() ? why : std::string(option) + ": " + why;
}

// Any battle of the tournament: they differ only in seed and policies, which
// change neither what fits nor what is placed.
Settings any_battle(const TournamentSettings& t) {
    return battle_settings(t, {ATTACK_WEAKEST, ATTACK_WEAKEST});
}

}  // namespace

const CLI::Validator& unit_count_range() {
    static const CLI::Range range(0, INT_MAX);
    return range;
}

const CLI::Validator& policy_range() {
    static const CLI::Range range(0, 2);
    return range;
}

const CLI::Validator& battles_range() {
    static const CLI::Range range(1, INT_MAX);
    return range;
}

std::string settings_problem(const TournamentSettings& t) {
    std::string why = range_problem("--marines", unit_count_range(), t.marines);
    if (why.empty()) why = range_problem("--tanks", unit_count_range(), t.tanks);
    if (why.empty()) why = range_problem("--battles", battles_range(), t.battles);
    const std::pair<const char*, const std::vector<AttackPolicy>*> lists[] = {{"--red", &t.reds},
                                                                              {"--blue", &t.blues}};
    for (const auto& [option, policies] : lists) {
        for (const AttackPolicy p : *policies) {
            if (why.empty()) why = range_problem(option, policy_range(), static_cast<int>(p));
        }
    }
    if (!why.empty()) return why;

    const Settings s = any_battle(t);
    const UnitRadii radii = unit_radii();
    // What battlesim refuses; its batch run has no window to be too large.
    const std::string refused = setup_problem(s, radii.marine, radii.tank);
    if (!refused.empty()) return refused;
    const std::uint64_t per_battle = battle_memory_bytes(s);
    const std::uint64_t usable = usable_memory_bytes();
    // Every battle keeps its job, its outcome and its record until the end.
    const std::uint64_t battles =
        tournament_pairs(t).size() * static_cast<std::uint64_t>(t.battles);
    const std::uint64_t per_record =
        sizeof(BattleJob) + sizeof(BattleOutcome) + sizeof(BattleRecord);
    if (battles > (usable - per_battle) / per_record) {
        return "too many battles: " + std::to_string(battles) + " results do not fit in memory";
    }
    return "";
}

int threads_that_fit(const TournamentSettings& t, int threads) {
    const std::uint64_t per_battle = battle_memory_bytes(any_battle(t));
    if (per_battle == 0) return threads;
    const std::uint64_t fit = std::max<std::uint64_t>(1, usable_memory_bytes() / per_battle);
    return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(threads), fit));
}
