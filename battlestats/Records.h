#ifndef BATTLESTATS_RECORDS_H
#define BATTLESTATS_RECORDS_H

// The result of a tournament as data: its settings and one record per battle.

#include <vector>

#include "Tournament.h"

struct BattleRecord {
    PolicyPair pair;
    int index;
    int seed;
    Outcome result;
    int steps;
    bool operator==(const BattleRecord&) const = default;
};

struct TournamentResult {
    TournamentSettings settings;
    // In battle-number order (see tournament_jobs).
    std::vector<BattleRecord> records;
};

#endif
