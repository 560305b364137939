#ifndef BATTLESTATS_STATISTICS_H
#define BATTLESTATS_STATISTICS_H

// Summaries of battle results: shares with Wilson score intervals, step
// counts, and the paired score of two policies over shared layouts.

#include <cstddef>
#include <optional>
#include <vector>

#include "Records.h"

// Two-sided 95 % normal quantile.
constexpr double Z95 = 1.959963984540054;

struct Interval {
    double low;
    double high;
};

// Wilson score interval of the share `successes / n` at normal quantile `z`.
// Requires 0 <= successes <= n and n > 0.
Interval wilson_interval(std::size_t successes, std::size_t n, double z = Z95);

// The same for a mean `share` of n values that each lie in [0, 1]: their
// variance is at most share * (1 - share), so the interval is conservative.
Interval wilson_interval_of_mean(double share, std::size_t n, double z = Z95);

// Mean and median of step counts; the median of an even count is the mean of
// the two middle values. Requires a non-empty list.
double mean_of(const std::vector<int>& values);
double median_of(std::vector<int> values);

struct PairSummary {
    PolicyPair pair;
    std::size_t battles = 0;
    std::size_t red_wins = 0;
    // Draws include timeouts, which battlesim also reports as a draw.
    std::size_t draws = 0;
    std::size_t blue_wins = 0;
    std::size_t timeouts = 0;
    double mean_steps = 0;
    double median_steps = 0;
};

// One summary per pair of `pairs`, in that order; a pair without battles has
// battles == 0.
std::vector<PairSummary> summarise(const std::vector<PolicyPair>& pairs,
                                   const std::vector<BattleRecord>& records);

// How policy `a` fares against `b` when every layout is played both ways (a
// red against b blue, then b red against a blue): a's points in chess scoring
// over both games, as a share of the games.
struct PairedScore {
    AttackPolicy a;
    AttackPolicy b;
    // Layouts with both games present.
    std::size_t layouts = 0;
    double score = 0;
    // 95 % Wilson interval over the layouts (each layout one value in [0, 1],
    // so the two games of a layout count together); absent without layouts.
    std::optional<Interval> interval;
};

// For each a < b where both (a, b) and (b, a) are among `pairs`.
std::vector<PairedScore> paired_scores(const std::vector<PolicyPair>& pairs,
                                       const std::vector<BattleRecord>& records);

#endif
