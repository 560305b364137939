// Battles run to their end like the batch run, frozen battles end at once as
// the timeout the full run reaches, and results do not depend on threads.

#include <gtest/gtest.h>

#include "Runner.h"
#include "World.h"

namespace {

TournamentSettings small_tournament() {
    TournamentSettings t;
    t.width = 250;
    t.height = 200;
    t.marines = 3;
    t.tanks = 2;
    t.battles = 5;
    t.master_seed = 77;
    return t;
}

// Every step up to the limit, with no shortcut.
BattleOutcome full_run(const Settings& s, int seed) {
    const UnitRadii radii = unit_radii();
    World world(s.width, s.height, seed);
    place_armies(world, s, radii.marine, radii.tank);
    for (int step = 1; step <= MAX_STEPS; ++step) {
        world.step();
        const int r = world.red_score();
        if (r >= 0) return {static_cast<Outcome>(r), step};
    }
    return {TIMEOUT, MAX_STEPS};
}

TEST(BattlestatsRunBattle, NoUnitsIsADrawAfterOneStep) {
    TournamentSettings t = small_tournament();
    t.marines = 0;
    t.tanks = 0;
    const BattleOutcome o = run_battle(battle_settings(t, {ATTACK_WEAKEST, ATTACK_CLOSEST}), 5);
    EXPECT_EQ(o.result, DRAW);
    EXPECT_EQ(o.steps, 1);
}

TEST(BattlestatsRunBattle, RadiiAreThoseOfTheUnitKinds) {
    const UnitRadii radii = unit_radii();
    EXPECT_DOUBLE_EQ(radii.marine, 10.0);
    EXPECT_DOUBLE_EQ(radii.tank, 20.0);
}

TEST(BattlestatsRunBattle, StalemateAtTheWallsEndsAsTheFullRunsTimeout) {
    // Two marines run apart and stop at opposite walls, far out of reach.
    TournamentSettings t = small_tournament();
    t.width = 1000;
    t.height = 1000;
    t.marines = 1;
    t.tanks = 0;
    t.bounce = false;
    const Settings s = battle_settings(t, {ATTACK_WEAKEST, ATTACK_WEAKEST});
    const int seed = battle_seed(3, 0);
    const BattleOutcome fast = run_battle(s, seed);
    EXPECT_EQ(fast, (BattleOutcome{TIMEOUT, MAX_STEPS}));
    EXPECT_EQ(fast, full_run(s, seed));
}

TEST(BattlestatsRunBattle, BattlesWithoutBounceMatchTheFullRun) {
    // Four marines a side in a small box: battle 2 freezes after the armies
    // have met, battle 3 is decided.
    TournamentSettings t = small_tournament();
    t.width = 120;
    t.height = 120;
    t.marines = 4;
    t.tanks = 0;
    t.bounce = false;
    const Settings s = battle_settings(t, {ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS});
    const BattleOutcome expected[] = {{TIMEOUT, MAX_STEPS}, {BLUE_WINS, 52}};
    for (int index = 2; index <= 3; ++index) {
        const int seed = battle_seed(t.master_seed, index);
        const BattleOutcome fast = run_battle(s, seed);
        EXPECT_EQ(fast, expected[index - 2]) << seed;
        EXPECT_EQ(fast, full_run(s, seed)) << seed;
    }
}

TEST(BattlestatsRunBattles, ResultsDoNotDependOnTheThreadCount) {
    const TournamentSettings t = small_tournament();
    const std::vector<BattleJob> jobs = tournament_jobs(t);
    const std::vector<BattleOutcome> one = run_battles(t, jobs, 1);
    ASSERT_EQ(one.size(), jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(one[i], run_battle(battle_settings(t, jobs[i].pair), jobs[i].seed)) << i;
    }
    EXPECT_EQ(run_battles(t, jobs, 2), one);
    EXPECT_EQ(run_battles(t, jobs, 3), one);
    EXPECT_EQ(run_battles(t, jobs, 64), one);
}

TEST(BattlestatsRunBattles, ReportsProgressUpToTheTotal) {
    const TournamentSettings t = small_tournament();
    const std::vector<BattleJob> jobs = tournament_jobs(t, {2, 5});
    std::vector<std::size_t> seen;
    run_battles(t, jobs, 2, [&](std::size_t done) { seen.push_back(done); });
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), jobs.size());
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]);
}

TEST(BattlestatsRunBattles, NoJobsGiveNoResults) {
    EXPECT_TRUE(run_battles(small_tournament(), {}, 4).empty());
}

}  // namespace
