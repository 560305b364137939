// A world is frozen when no later step can change it: nobody moves, nobody
// reaches an enemy. Battles without bouncing end up there; once frozen, any
// number of further steps leaves every unit, the generator and the score as
// they were.

#include <gtest/gtest.h>

#include <memory>

#include "Marine.h"
#include "Tank.h"
#include "World.h"
#include "army_placement.h"
#include "battle_test_support.h"
#include "world_state.h"

namespace {

const AttackPolicy POLICIES[] = {ATTACK_WEAKEST, ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS};

struct Outcome {
    int frozen_at = -1;  // first step after which the world was frozen
    int decided_at = -1;
};

// Steps until the battle is decided or frozen; once frozen, steps `extra`
// more times and checks after each that nothing changed.
Outcome run_and_check(double width, double height, int seed, int marines, int tanks,
                      AttackPolicy red, AttackPolicy blue, std::size_t min_units, int extra) {
    World w(width, height, seed);
    w.spatial_index_min_units = min_units;
    place_armies(w, marines, tanks, red, blue, false);
    Outcome o;
    for (int s = 1; s <= 5000; ++s) {
        w.step();
        if (w.red_score() >= 0) {
            o.decided_at = s;
            return o;
        }
        if (w.is_frozen()) {
            o.frozen_at = s;
            break;
        }
    }
    if (o.frozen_at < 0) return o;
    const WorldState frozen = state_of(w);
    for (int k = 1; k <= extra; ++k) {
        w.step();
        const WorldState now = state_of(w);
        EXPECT_TRUE(now.same_units_and_rng(frozen)) << "seed " << seed << " extra step " << k;
        EXPECT_EQ(now.identities, frozen.identities);
        EXPECT_EQ(w.red_score(), -1);
        EXPECT_TRUE(w.is_frozen());
        if (!now.same_units_and_rng(frozen)) break;
    }
    return o;
}

TEST(FrozenBattle, SmallBattlesWithoutBounceStayFrozen) {
    struct Shape {
        double width, height;
        int marines, tanks;
    };
    const Shape shapes[] = {{200, 200, 2, 2}, {300, 250, 5, 3}, {130, 400, 4, 1}};
    int frozen = 0, runs = 0;
    int seed = 500;
    for (AttackPolicy red : POLICIES) {
        for (AttackPolicy blue : POLICIES) {
            for (const Shape& sh : shapes) {
                for (int k = 0; k < 4; ++k) {
                    ++seed;
                    const Outcome o = run_and_check(sh.width, sh.height, seed, sh.marines, sh.tanks,
                                                    red, blue, NEVER_INDEX, 200);
                    frozen += o.frozen_at > 0;
                    ++runs;
                }
            }
        }
    }
    // Without bouncing nearly every small battle stalls at the walls.
    EXPECT_GT(frozen, runs / 2);
}

TEST(FrozenBattle, GridAndPlainScanFreezeAtTheSameStep) {
    int frozen = 0;
    for (int seed = 1; seed <= 3; ++seed) {
        const Outcome grid = run_and_check(700, 700, seed, 100, 100, POLICIES[seed % 3],
                                           POLICIES[(seed + 1) % 3], ALWAYS_INDEX, 20);
        const Outcome scan = run_and_check(700, 700, seed, 100, 100, POLICIES[seed % 3],
                                           POLICIES[(seed + 1) % 3], NEVER_INDEX, 0);
        EXPECT_EQ(grid.frozen_at, scan.frozen_at);
        EXPECT_EQ(grid.decided_at, scan.decided_at);
        frozen += grid.frozen_at > 0;
    }
    EXPECT_GT(frozen, 0);
}

TEST(FrozenBattle, BouncingUnitsNeverFreeze) {
    World w(300, 300, 42);
    place_armies(w, 4, 4, ATTACK_CLOSEST, ATTACK_CLOSEST, true);
    int steps = 0;
    while (steps < 500) {
        w.step();
        ++steps;
        if (w.red_score() >= 0) break;
        EXPECT_FALSE(w.is_frozen()) << "step " << steps;
    }
    EXPECT_GT(steps, 10);
}

// Each condition on its own: a small world after one step, then one change.
class FrozenConditions : public ::testing::Test {
  protected:
    void SetUp() override {
        red = new Marine(RED, Vec2(100, 100), ATTACK_CLOSEST, false);
        blue = new Tank(BLUE, Vec2(300, 100), ATTACK_CLOSEST, false);
        w.units = {red, blue};
        w.step();  // takes the hit point snapshot
    }
    World w{700, 700, 9};
    Unit* red = nullptr;
    Unit* blue = nullptr;
};

TEST_F(FrozenConditions, StandingApartIsFrozen) {
    EXPECT_TRUE(w.is_frozen());
}

TEST_F(FrozenConditions, EmptyWorldIsFrozen) {
    World empty(100, 100, 1);
    EXPECT_TRUE(empty.is_frozen());
}

TEST_F(FrozenConditions, MovingUnitIsNot) {
    red->current_speed = 0.001;
    EXPECT_FALSE(w.is_frozen());
    // A negative speed is never applied by a step.
    red->current_speed = -5;
    red->heading = Vec2(1, 0);
    EXPECT_TRUE(w.is_frozen());
    w.step();
    EXPECT_EQ(red->pos.x, 100);
}

TEST_F(FrozenConditions, EnemyWithinReachIsNot) {
    // A tank reaches a marine closer than 90: at 89.9, not at exactly 90.
    blue->pos = Vec2(190, 100);
    EXPECT_TRUE(w.is_frozen());
    blue->pos = Vec2(189.9, 100);
    EXPECT_FALSE(w.is_frozen());
}

TEST_F(FrozenConditions, AllyWithinReachIsFrozen) {
    w.units.push_back(new Marine(RED, Vec2(110, 100), ATTACK_CLOSEST, false));
    w.step();
    EXPECT_TRUE(w.is_frozen());
}

TEST_F(FrozenConditions, DeadUnitAwaitingRemovalIsNot) {
    red->hp = 0;
    red->hp_old = 0;
    EXPECT_FALSE(w.is_frozen());
    w.step();  // removes it
    EXPECT_TRUE(w.is_frozen());
    EXPECT_EQ(w.red_score(), 0);
}

TEST_F(FrozenConditions, StaleSnapshotIsNot) {
    World fresh(700, 700, 9);
    fresh.units.push_back(new Marine(RED, Vec2(100, 100), ATTACK_CLOSEST, false));
    EXPECT_FALSE(fresh.is_frozen());  // hp_old is still 0 before the first step
    fresh.step();
    EXPECT_TRUE(fresh.is_frozen());
}

TEST_F(FrozenConditions, UnknownPolicyInReachCountsAsNotFrozen) {
    // Such units never fire, but the test stays on the safe side: it only
    // looks at reach, not at whether the unit would use it.
    w.units.push_back(new Marine(BLUE, Vec2(120, 100), static_cast<AttackPolicy>(7), false));
    static_cast<Marine*>(red)->policy = static_cast<AttackPolicy>(7);
    w.step();
    EXPECT_FALSE(w.is_frozen());
}

TEST_F(FrozenConditions, GridAnswersLikeThePlainScan) {
    for (std::size_t min_units : {ALWAYS_INDEX, NEVER_INDEX}) {
        w.spatial_index_min_units = min_units;
        blue->pos = Vec2(190, 100);
        EXPECT_TRUE(w.is_frozen());
        blue->pos = Vec2(189.9, 100);
        EXPECT_FALSE(w.is_frozen());
    }
}

}  // namespace
