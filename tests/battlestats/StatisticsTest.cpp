// The Wilson interval against values worked out independently, and defaults
// that must stay those of battlesim.

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "Options.h"
#include "Statistics.h"

namespace {

TEST(BattlestatsWilsonInterval, MatchesValuesWorkedOutIndependently) {
    // Worked out to 8 digits with 40-digit decimal arithmetic from the score
    // interval with z = 1.959963985; at the ends the bounds reduce to
    // z^2 / (n + z^2) and n / (n + z^2). 81 of 263 is the example of
    // Newcombe (1998), who gives 0.2553 to 0.3662.
    const struct {
        std::size_t successes, n;
        double low, high, precision;
    } cases[] = {
        {0, 20, 0.0, 0.16112516, 1e-8},  {10, 20, 0.29929801, 0.70070199, 1e-8},
        {20, 20, 0.83887484, 1.0, 1e-8}, {1, 10, 0.01787621, 0.40415003, 1e-8},
        {81, 263, 0.2553, 0.3662, 1e-4},
    };
    for (const auto& c : cases) {
        const Interval i = wilson_interval(c.successes, c.n);
        EXPECT_NEAR(i.low, c.low, c.precision) << c.successes << " of " << c.n;
        EXPECT_NEAR(i.high, c.high, c.precision) << c.successes << " of " << c.n;
    }
}

TEST(BattlestatsOptions, DefaultsAreBattlesims) {
    const char* argv[] = {"battlestats"};
    Options o;
    std::ostringstream out, err;
    ASSERT_EQ(parse_options(1, argv, o, out, err), -1) << err.str();
    const Settings battlesim;
    const TournamentSettings& t = o.tournament;
    // A seed of 0 means the clock's in both.
    EXPECT_EQ(std::tuple(t.width, t.height, t.marines, t.tanks, t.bounce, t.master_seed, t.battles),
              std::tuple(int(battlesim.width), int(battlesim.height), battlesim.n_marines,
                         battlesim.n_tanks, battlesim.bounce, battlesim.seed, 200));
}

}  // namespace
