#ifndef BATTLESTATS_RUNNER_H
#define BATTLESTATS_RUNNER_H

// Runs battles exactly as battlesim's batch run does, without printing, one
// battle per thread at a time.

#include <cstddef>
#include <functional>
#include <vector>

#include "Setup.h"
#include "Tournament.h"

struct BattleOutcome {
    Outcome result;
    // Steps until the decision; MAX_STEPS for a timeout.
    int steps;
    bool operator==(const BattleOutcome&) const = default;
};

// One battle of `s` (its seed ignored) with world seed `seed`, to its end. A
// frozen battle, where nothing can change any more, is a timeout at once:
// the full run would only have stepped on to the limit.
BattleOutcome run_battle(const Settings& s, int seed);

// The radii battlesim places marines and tanks with, read from the kinds.
struct UnitRadii {
    double marine;
    double tank;
};
UnitRadii unit_radii();

// Runs every job of `jobs` on `threads` threads; result i belongs to job i
// whatever the thread count. `progress`, if set, is called on the calling
// thread now and then with the number of finished battles, and once at the
// end with all of them. An exception of a battle (such as std::bad_alloc)
// stops the run and is rethrown here.
std::vector<BattleOutcome> run_battles(const TournamentSettings& t,
                                       const std::vector<BattleJob>& jobs, int threads,
                                       const std::function<void(std::size_t)>& progress = {});

#endif
