#ifndef TESTS_BATTLESTATS_SAMPLE_RESULT_H
#define TESTS_BATTLESTATS_SAMPLE_RESULT_H

// A small hand-made tournament result for the writer and merge tests.

#include "Records.h"

// Weakest and closest as red against closest as blue, paired, 2 battles per
// pair, master seed 5: pairs (0,1), (1,0), (1,1).
inline TournamentResult sample_result() {
    TournamentResult r;
    r.settings.width = 320;
    r.settings.height = 240;
    r.settings.marines = 4;
    r.settings.tanks = 1;
    r.settings.bounce = true;
    r.settings.reds = {ATTACK_CLOSEST, ATTACK_WEAKEST};
    r.settings.blues = {ATTACK_CLOSEST};
    r.settings.battles = 2;
    r.settings.master_seed = 5;
    r.settings.paired = true;
    const Outcome outcomes[] = {RED_WINS, DRAW, BLUE_WINS, TIMEOUT, RED_WINS, BLUE_WINS};
    const int steps[] = {120, 64, 90, 1000000, 33, 47};
    const auto pairs = tournament_pairs(r.settings);
    for (int i = 0; i < 6; ++i) {
        r.records.push_back({pairs[static_cast<std::size_t>(i / 2)], i % 2, battle_seed(5, i % 2),
                             outcomes[i], steps[i]});
    }
    return r;
}

#endif
