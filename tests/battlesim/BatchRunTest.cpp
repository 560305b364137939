#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Setup.h"
#include "World.h"

namespace {

// Radii of marines and tanks, as the program measures them on probe units.
constexpr double MARINE_RADIUS = 10;
constexpr double TANK_RADIUS = 20;

std::string batchOutput(const Settings& s, bool fastForward) {
    World w(s.width, s.height, s.seed);
    place_armies(w, s, MARINE_RADIUS, TANK_RADIUS);
    std::ostringstream out;
    run_batch(w, s.seed, out, fastForward);
    return out.str();
}

// Without bouncing, units stop at the walls; once nobody moves or reaches an
// enemy the battle is frozen. Ending it at once must print exactly what the
// full million steps print.
TEST(BatchRun, FrozenBattleEndsAtOnceWithTheOutputOfTheFullRun) {
    int timeouts = 0, decided = 0;
    for (int seed = 1; seed <= 6; ++seed) {
        Settings s;
        s.width = 100 + 60 * seed;  // small worlds meet, larger ones freeze
        s.height = 130;
        s.seed = seed;
        s.n_marines = seed % 3 + 1;
        s.n_tanks = seed % 2;
        s.red_policy = static_cast<AttackPolicy>(seed % 3);
        s.blue_policy = static_cast<AttackPolicy>((seed + 1) % 3);
        s.bounce = false;
        const std::string fast = batchOutput(s, true);
        ASSERT_EQ(fast, batchOutput(s, false)) << "seed " << seed;
        const bool timedOut = fast.find(timeout_line(seed)) != std::string::npos;
        if (timedOut) {
            ++timeouts;
            EXPECT_EQ(fast.size(), MAX_STEPS + timeout_line(seed).size() + 1);
        } else {
            ++decided;
        }
    }
    // The cases must include stalemates, or the fast path went untested.
    EXPECT_GE(timeouts, 2);
    EXPECT_GE(decided, 1);
}

TEST(BatchRun, DecidedBattlePrintsOneDotPerStepThenTheResult) {
    Settings s;
    s.width = 200;
    s.height = 200;
    s.seed = 3;
    s.n_marines = 2;
    s.n_tanks = 0;
    const std::string out = batchOutput(s, true);
    const auto dots = out.find_first_not_of('.');
    ASSERT_NE(dots, std::string::npos);
    EXPECT_EQ(out.substr(dots, 11), "game over (");
    EXPECT_EQ(out.substr(dots + 11, std::to_string(dots).size()), std::to_string(dots));
    EXPECT_EQ(out.back(), '\n');
}

}  // namespace
