// The simulation step: removal, movement gate, snapshot, action, scoring,
// and the attack rule.

#include <gtest/gtest.h>

#include <vector>

#include "Marine.h"
#include "Tank.h"
#include "World.h"
#include "battle_test_support.h"

namespace {

std::vector<const Unit*> listed(const World& w) {
    return {w.units.begin(), w.units.end()};
}

TEST(Removal, FirstDeadIsReplacedByLast) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    auto* a = new ProbeUnit(log, RED, Vec2(100, 100));
    auto* b = new ProbeUnit(log, RED, Vec2(200, 100));
    auto* c = new ProbeUnit(log, RED, Vec2(300, 100));
    w.units = {a, b, c};
    a->hp = -1;
    w.step();
    EXPECT_EQ(listed(w), (std::vector<const Unit*>{c, b}));
    EXPECT_EQ(log.destroyed, 1);
}

TEST(Removal, SlotIsExaminedAgainAfterTheLastMovesIn) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    auto* a = new ProbeUnit(log, RED, Vec2(100, 100));
    auto* b = new ProbeUnit(log, RED, Vec2(200, 100));
    auto* c = new ProbeUnit(log, RED, Vec2(300, 100));
    auto* d = new ProbeUnit(log, RED, Vec2(400, 100));
    w.units = {a, b, c, d};
    b->hp = 0;  // exactly 0 is dead too
    d->hp = -5;
    w.step();
    EXPECT_EQ(listed(w), (std::vector<const Unit*>{a, c}));
    EXPECT_EQ(log.destroyed, 2);
}

TEST(Removal, EveryUnitDeadLeavesAnEmptyList) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    for (int i = 0; i < 5; ++i) {
        w.units.push_back(new ProbeUnit(log, i % 2 ? RED : BLUE, Vec2(100 + 50 * i, 100)));
        w.units.back()->hp = -i;
    }
    EXPECT_EQ(w.red_score(), -1);  // dead units still count until removed
    w.step();
    EXPECT_TRUE(w.units.empty());
    EXPECT_EQ(log.destroyed, 5);
    EXPECT_EQ(w.red_score(), 1);
}

TEST(Removal, WorldDestructorDeletesRemainingUnits) {
    ProbeUnit::Log log;
    {
        World* w = new RecordingWorld(700, 700, 1);
        w->units.push_back(new ProbeUnit(log, RED, Vec2(100, 100)));
        w->units.push_back(new ProbeUnit(log, BLUE, Vec2(200, 100)));
        delete w;  // through the base pointer
    }
    EXPECT_EQ(log.destroyed, 2);
}

TEST(Step, EmptyWorldDoesNothingAndIsADraw) {
    World w(700, 700, 3);
    const std::mt19937 before = w.rng;
    w.step();
    EXPECT_TRUE(w.units.empty());
    EXPECT_TRUE(w.rng == before);
    EXPECT_EQ(w.red_score(), 1);
}

TEST(Step, MovesOnlyUnitsWithPositiveSpeed) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    auto* still = new ProbeUnit(log, RED, Vec2(10, 300));  // touching the left wall
    still->heading = Vec2(-1, 0);
    auto* overlapping = new ProbeUnit(log, RED, Vec2(695, 300));  // not clamped while still
    auto* backwards = new ProbeUnit(log, RED, Vec2(300, 300));
    backwards->heading = Vec2(1, 0);
    backwards->current_speed = -5;
    auto* mover = new ProbeUnit(log, RED, Vec2(500, 300));
    mover->heading = Vec2(0, 1);
    mover->current_speed = 7;
    w.units = {still, overlapping, backwards, mover};
    w.step();
    EXPECT_EQ(still->pos.x, 10);
    EXPECT_EQ(still->pos.y, 300);
    EXPECT_EQ(overlapping->pos.x, 695);
    EXPECT_EQ(backwards->pos.x, 300);
    EXPECT_EQ(mover->pos.y, 307);
    EXPECT_TRUE(log.collisions.empty());
}

TEST(Step, EveryUnitActsInListOrderAfterTheSnapshot) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    auto* a = new ProbeUnit(log, RED, Vec2(100, 100), 10, 1, 7);
    auto* b = new ProbeUnit(log, BLUE, Vec2(200, 100), 10, 1, 9);
    w.units = {a, b};
    w.step();
    EXPECT_EQ(log.acted, (std::vector<const Unit*>{a, b}));
    EXPECT_EQ(a->hp_old, 7);
    EXPECT_EQ(b->hp_old, 9);
}

TEST(Step, UnitsFightAtTheirPositionsAfterMoving) {
    RecordingWorld w(700, 700, 1);
    auto* red = new Marine(RED, Vec2(100, 300), ATTACK_CLOSEST, false);
    auto* blue = new Marine(BLUE, Vec2(165, 300), ATTACK_CLOSEST, false);
    red->heading = Vec2(1, 0);
    blue->heading = Vec2(-1, 0);
    red->current_speed = blue->current_speed = 10;
    w.units = {red, blue};
    // 65 apart before moving (out of reach), 45 after.
    w.step();
    EXPECT_EQ(red->hp, 44);
    EXPECT_EQ(blue->hp, 44);
}

TEST(Step, KilledUnitStillActsInTheSamePhase) {
    RecordingWorld w(700, 700, 1);
    auto* red = new Marine(RED, Vec2(300, 300), ATTACK_WEAKEST, false);
    auto* blue = new Marine(BLUE, Vec2(320, 300), ATTACK_WEAKEST, false);
    w.units = {red, blue};
    blue->hp = 1;
    w.step();
    EXPECT_EQ(blue->hp, 0);
    EXPECT_EQ(red->hp, 44);  // the dead blue marine fired back
    ASSERT_EQ(w.hits.size(), 2u);
    EXPECT_EQ(w.hits[1].attacker, blue);
    // Blue's extinction shows only after the next removal phase.
    EXPECT_EQ(w.red_score(), -1);
    w.step();
    EXPECT_EQ(w.units.size(), 1u);
    EXPECT_EQ(w.red_score(), 2);
}

TEST(Step, BothSidesDyingInOneStepIsADraw) {
    World w(700, 700, 1);
    auto* red = new Marine(RED, Vec2(300, 300), ATTACK_CLOSEST, false);
    auto* blue = new Marine(BLUE, Vec2(320, 300), ATTACK_CLOSEST, false);
    red->hp = blue->hp = 1;
    w.units = {red, blue};
    w.step();
    EXPECT_EQ(w.red_score(), -1);
    w.step();
    EXPECT_EQ(w.red_score(), 1);
}

TEST(RedScore, ByTeamsPresent) {
    ProbeUnit::Log log;
    World w(700, 700, 1);
    EXPECT_EQ(w.red_score(), 1);
    w.units.push_back(new ProbeUnit(log, RED, Vec2(100, 100)));
    w.units.push_back(new ProbeUnit(log, RED, Vec2(200, 100)));
    EXPECT_EQ(w.red_score(), 2);
    w.units.push_back(new ProbeUnit(log, BLUE, Vec2(300, 100)));
    EXPECT_EQ(w.red_score(), -1);
    World only_blue(700, 700, 1);
    only_blue.units.push_back(new ProbeUnit(log, BLUE, Vec2(300, 100)));
    EXPECT_EQ(only_blue.red_score(), 0);
}

TEST(Attack, TruncatesTowardZeroAndCallsTheHookAfter) {
    ProbeUnit::Log log;
    RecordingWorld w(700, 700, 1);
    auto* attacker = new ProbeUnit(log, RED, Vec2(100, 100), 10, 2.5);
    auto* target = new ProbeUnit(log, RED, Vec2(100, 100), 10, 1, 10);  // same team: not checked
    w.units = {attacker, target};
    w.attack(*attacker, *target);
    EXPECT_EQ(target->hp, 7);  // 7.5
    ASSERT_EQ(w.hits.size(), 1u);
    EXPECT_EQ(w.hits[0].attacker, attacker);
    EXPECT_EQ(w.hits[0].attacked, target);
    EXPECT_EQ(w.hits[0].hp_seen, 7);
    target->hp = 1;
    w.attack(*attacker, *target);
    EXPECT_EQ(target->hp, -1);  // -1.5 truncates toward zero, not down
    EXPECT_EQ(w.hits.size(), 2u);
    EXPECT_EQ(w.hits[1].hp_seen, -1);
}

TEST(Attack, KillCountsOfTheUnitKinds) {
    World w(700, 700, 1);
    Tank tank(RED, Vec2(100, 100), ATTACK_WEAKEST, false);
    Marine marine(RED, Vec2(100, 100), ATTACK_WEAKEST, false);

    Marine m(BLUE, Vec2(100, 100), ATTACK_WEAKEST, false);
    for (int i = 0; i < 11; ++i) w.attack(tank, m);
    EXPECT_EQ(m.hp, 1);
    w.attack(tank, m);
    EXPECT_EQ(m.hp, -3);

    Tank t(BLUE, Vec2(100, 100), ATTACK_WEAKEST, false);
    for (int i = 0; i < 24; ++i) w.attack(tank, t);
    EXPECT_EQ(t.hp, 4);
    w.attack(tank, t);
    EXPECT_EQ(t.hp, 0);

    Tank t2(BLUE, Vec2(100, 100), ATTACK_WEAKEST, false);
    for (int i = 0; i < 99; ++i) w.attack(marine, t2);
    EXPECT_EQ(t2.hp, 1);
    w.attack(marine, t2);
    EXPECT_EQ(t2.hp, 0);

    Marine m2(BLUE, Vec2(100, 100), ATTACK_WEAKEST, false);
    for (int i = 0; i < 45; ++i) w.attack(marine, m2);
    EXPECT_EQ(m2.hp, 0);
}

TEST(World, ConstructorKeepsSizeAndSeedsBy32BitPattern) {
    World w(640.5, 480, -1);
    EXPECT_EQ(w.width, 640.5);
    EXPECT_EQ(w.height, 480);
    EXPECT_TRUE(w.units.empty());
    EXPECT_TRUE(w.rng == std::mt19937(4294967295u));
    World w1(640, 480, 1);
    EXPECT_FALSE(w.rng == w1.rng);
}

}  // namespace
