// Whole battles fought with the grid of nearby cells and with the plain scan
// of every unit are the same battle: every unit's full state and the
// generator agree after every step, for many seeds, sizes, both bounce
// settings and all nine policy pairs.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "World.h"
#include "army_placement.h"
#include "world_state.h"

namespace {

struct Settings {
    double width, height;
    int seed, marines, tanks;
    AttackPolicy red, blue;
    bool bounce;
};

std::unique_ptr<World> make_battle(const Settings& s, std::size_t min_units) {
    auto w = std::make_unique<World>(s.width, s.height, s.seed);
    w->spatial_index_min_units = min_units;
    place_armies(*w, s.marines, s.tanks, s.red, s.blue, s.bounce);
    return w;
}

// Runs both battles side by side; returns the number of steps compared.
int expect_same_battle(const Settings& s, int max_steps) {
    auto grid = make_battle(s, ALWAYS_INDEX);
    auto scan = make_battle(s, NEVER_INDEX);
    int steps = 0;
    bool multi_cell = false;
    while (steps < max_steps && grid->red_score() < 0) {
        grid->step();
        scan->step();
        ++steps;
        const bool same = state_of(*grid).same_units_and_rng(state_of(*scan));
        EXPECT_TRUE(same) << "seed " << s.seed << " " << s.width << "x" << s.height << " policies "
                          << s.red << "/" << s.blue << " bounce " << s.bounce << " step " << steps;
        if (!same) return steps;
        EXPECT_EQ(grid->red_score(), scan->red_score());
        multi_cell =
            multi_cell || grid->spatial_index().columns() * grid->spatial_index().rows() > 1;
    }
    // The plain world never built a grid; the other searched a real one.
    EXPECT_EQ(scan->spatial_index().columns(), 0);
    if (s.width > 250) {
        EXPECT_TRUE(multi_cell);
    }
    return steps;
}

const AttackPolicy POLICIES[] = {ATTACK_WEAKEST, ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS};

TEST(IndexedBattle, AllPolicyPairsBothBounceSettingsSmallWorlds) {
    struct Shape {
        double width, height;
        int marines, tanks;
    };
    const Shape shapes[] = {{200, 200, 3, 2}, {417, 263, 8, 5}, {300, 600, 6, 9}};
    int seed = -40;
    int total = 0;
    for (bool bounce : {true, false}) {
        for (AttackPolicy red : POLICIES) {
            for (AttackPolicy blue : POLICIES) {
                for (const Shape& sh : shapes) {
                    seed += 7;
                    total += expect_same_battle(
                        {sh.width, sh.height, seed, sh.marines, sh.tanks, red, blue, bounce}, 400);
                }
            }
        }
    }
    EXPECT_GT(total, 3000);
}

TEST(IndexedBattle, DefaultSizedBattleOpening) {
    int steps = 0;
    for (bool bounce : {true, false}) {
        steps += expect_same_battle(
            {700, 700, 2026, 100, 100, ATTACK_MOST_DANGEROUS, ATTACK_CLOSEST, bounce}, 60);
        steps += expect_same_battle(
            {700, 700, -99, 100, 100, ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS, bounce}, 60);
    }
    EXPECT_GT(steps, 200);
}

TEST(IndexedBattle, LargeSparseAndNarrowWorlds) {
    // Few units far apart (many empty cells), a long thin strip, and a world
    // only just wide enough for tanks, where bodies pile up at the walls.
    expect_same_battle({3000, 2500, 5, 40, 10, ATTACK_CLOSEST, ATTACK_WEAKEST, true}, 150);
    expect_same_battle({2000, 70, 6, 30, 0, ATTACK_MOST_DANGEROUS, ATTACK_CLOSEST, false}, 300);
    expect_same_battle({61, 900, 7, 10, 20, ATTACK_WEAKEST, ATTACK_WEAKEST, true}, 300);
}

TEST(IndexedBattle, BattlesRunToTheSameEnd) {
    int decided = 0;
    for (int seed = 1; seed <= 6; ++seed) {
        const Settings s{260, 260, seed * 1013, 6, 4, POLICIES[seed % 3], POLICIES[(seed / 3) % 3],
                         true};
        auto grid = make_battle(s, ALWAYS_INDEX);
        auto scan = make_battle(s, NEVER_INDEX);
        int steps = 0;
        while (steps < 20000 && grid->red_score() < 0) {
            grid->step();
            scan->step();
            ++steps;
        }
        EXPECT_EQ(grid->red_score(), scan->red_score());
        EXPECT_TRUE(state_of(*grid).same_units_and_rng(state_of(*scan)));
        decided += grid->red_score() >= 0;
    }
    EXPECT_GT(decided, 0);
}

TEST(IndexedBattle, DefaultThresholdChoosesByUnitCount) {
    World small(700, 700, 3);
    place_armies(small, 10, 10, ATTACK_CLOSEST, ATTACK_CLOSEST, true);
    small.step();
    EXPECT_EQ(small.spatial_index().columns(), 0);

    World large(700, 700, 3);
    place_armies(large, 100, 100, ATTACK_CLOSEST, ATTACK_CLOSEST, true);
    ASSERT_GE(large.units.size(), World::DEFAULT_SPATIAL_INDEX_MIN_UNITS);
    large.step();
    EXPECT_GT(large.spatial_index().columns(), 1);
    EXPECT_GT(large.spatial_index().rows(), 1);
}

}  // namespace
