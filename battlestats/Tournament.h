#ifndef BATTLESTATS_TOURNAMENT_H
#define BATTLESTATS_TOURNAMENT_H

// What a tournament is: the settings every battle shares, the policy pairs,
// the battles of each pair with their seeds, and which of them a shard runs.

#include <cstdint>
#include <string>
#include <vector>

#include "Setup.h"

// How one battle ended. The first three are the red scores of the batch run;
// a timeout is the batch run's draw by the step limit.
enum Outcome : int { BLUE_WINS = 0, DRAW = 1, RED_WINS = 2, TIMEOUT = 3 };

struct PolicyPair {
    AttackPolicy red;
    AttackPolicy blue;
    bool operator==(const PolicyPair&) const = default;
};

// Everything that decides the battles of a tournament and nothing else, so
// that shards of one tournament compare equal and their results can be merged.
struct TournamentSettings {
    int width = 700;
    int height = 700;
    int marines = 100;
    int tanks = 100;
    bool bounce = true;
    // Policies asked for each side, as given (order and repeats do not matter).
    std::vector<AttackPolicy> reds{ATTACK_WEAKEST, ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS};
    std::vector<AttackPolicy> blues{ATTACK_WEAKEST, ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS};
    int battles = 200;
    // Never 0 here: a clock seed has already replaced it.
    int master_seed = 1;
    bool paired = false;

    bool operator==(const TournamentSettings& o) const;
};

// The battle settings a battlesim batch run with these values would use.
Settings battle_settings(const TournamentSettings& t, PolicyPair pair);

// The pairs that are played, sorted by red then blue policy number: every red
// policy against every blue one, and with `paired` also each pair swapped.
std::vector<PolicyPair> tournament_pairs(const TournamentSettings& t);

// The seed of battle `index` of every pair: the low 32 bits of the SplitMix64
// mix of (master seed as unsigned 32 bits) * 2^32 + index, with 0 replaced by
// 1 so that battlesim reads it as a seed and not as "take the clock". All
// pairs play the same layouts, which makes their comparison fairer and lets a
// swapped pair be the paired replay of a layout.
int battle_seed(int master_seed, int index);

// One battle of the tournament.
struct BattleJob {
    PolicyPair pair;
    int index;
    int seed;
};

// Battles are numbered pair by pair in the order of tournament_pairs, each
// pair's battles by index. Shard k of n (1 <= k <= n) takes the battles whose
// number leaves remainder k - 1 when divided by n, which spreads every pair
// evenly over the shards.
struct Shard {
    int k = 1;
    int n = 1;
};

std::vector<BattleJob> tournament_jobs(const TournamentSettings& t, Shard shard = {});

// Reads "K/N" with 1 <= K <= N; empty on success, else the reason.
std::string parse_shard(const std::string& text, Shard& shard);

// Short policy name for tables and plots: "weakest", "closest", "most dangerous".
const char* policy_name(AttackPolicy p);

// "red", "draw", "blue" or "timeout", as written in the result files.
const char* outcome_name(Outcome o);

// Points of the red side in chess scoring: win 1, draw or timeout 1/2, loss 0.
double red_points(Outcome o);

#endif
