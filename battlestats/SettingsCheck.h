#ifndef BATTLESTATS_SETTINGS_CHECK_H
#define BATTLESTATS_SETTINGS_CHECK_H

// What a run refuses before it plays a battle. The option parser and the
// merge both go through this, so a merge never accepts files that no run
// could have written.

#include <string>

#include "Tournament.h"

namespace CLI {
class Validator;
}

// The ranges of the run's numeric options, as its option parser checks them.
const CLI::Validator& unit_count_range();  // --marines, --tanks
const CLI::Validator& policy_range();      // each of --red, --blue
const CLI::Validator& battles_range();     // --battles

// Empty when a run accepts these settings, else its one-line reason: a value
// outside its option's range, a world too small for the units battlesim
// would place, or battles too large for this machine's memory.
std::string settings_problem(const TournamentSettings& t);

// Fewer threads give the same results: the number of battles that fit in
// memory at the same time, at most `threads` and at least 1.
int threads_that_fit(const TournamentSettings& t, int threads);

#endif
