#include "Statistics.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <utility>

Interval wilson_interval(std::size_t successes, std::size_t n, double z) {
    assert(n > 0 && successes <= n);
    return wilson_interval_of_mean(static_cast<double>(successes) / static_cast<double>(n), n, z);
}

Interval wilson_interval_of_mean(double p, std::size_t n, double z) {
    assert(n > 0 && p >= 0 && p <= 1);
    const double nn = static_cast<double>(n);
    const double z2 = z * z;
    const double denominator = 1 + z2 / nn;
    const double centre = (p + z2 / (2 * nn)) / denominator;
    const double half = z / denominator * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
    // Clamp the rounding at the ends: 0 successes must give exactly 0.
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

double mean_of(const std::vector<int>& values) {
    assert(!values.empty());
    double sum = 0;
    for (const int v : values) sum += v;
    return sum / static_cast<double>(values.size());
}

double median_of(std::vector<int> values) {
    assert(!values.empty());
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid),
                     values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lower + upper) / 2;
}

std::vector<PairSummary> summarise(const std::vector<PolicyPair>& pairs,
                                   const std::vector<BattleRecord>& records) {
    std::vector<PairSummary> summaries;
    for (const PolicyPair pair : pairs) {
        PairSummary s;
        s.pair = pair;
        std::vector<int> steps;
        for (const BattleRecord& r : records) {
            if (!(r.pair == pair)) continue;
            ++s.battles;
            steps.push_back(r.steps);
            switch (r.result) {
                case RED_WINS:
                    ++s.red_wins;
                    break;
                case BLUE_WINS:
                    ++s.blue_wins;
                    break;
                case TIMEOUT:
                    ++s.timeouts;
                    ++s.draws;
                    break;
                case DRAW:
                    ++s.draws;
                    break;
            }
        }
        if (!steps.empty()) {
            s.mean_steps = mean_of(steps);
            s.median_steps = median_of(std::move(steps));
        }
        summaries.push_back(s);
    }
    return summaries;
}

std::vector<PairedScore> paired_scores(const std::vector<PolicyPair>& pairs,
                                       const std::vector<BattleRecord>& records) {
    auto has = [&](PolicyPair p) {
        return std::find(pairs.begin(), pairs.end(), p) != pairs.end();
    };
    std::vector<PairedScore> scores;
    for (const PolicyPair p : pairs) {
        if (p.red >= p.blue || !has({p.blue, p.red})) continue;
        // Layout index -> a's points as red, a's points as blue.
        std::map<int, std::pair<double, double>> games;
        std::map<int, int> seen;
        for (const BattleRecord& r : records) {
            if (r.pair == p) {
                games[r.index].first = red_points(r.result);
                seen[r.index] |= 1;
            } else if (r.pair == PolicyPair{p.blue, p.red}) {
                games[r.index].second = 1 - red_points(r.result);
                seen[r.index] |= 2;
            }
        }
        std::vector<double> per_layout;
        for (const auto& [index, g] : games) {
            if (seen[index] == 3) per_layout.push_back((g.first + g.second) / 2);
        }
        PairedScore s{p.red, p.blue, per_layout.size(), 0, std::nullopt};
        if (!per_layout.empty()) {
            double sum = 0;
            for (const double x : per_layout) sum += x;
            const double n = static_cast<double>(per_layout.size());
            s.score = sum / n;
            s.interval = wilson_interval_of_mean(s.score, per_layout.size());
        }
        scores.push_back(s);
    }
    return scores;
}
