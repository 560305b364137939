// Reach, enemy listing and the three target selections with their random
// tie-break and exact generator consumption.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Marine.h"
#include "Tank.h"
#include "World.h"
#include "battle_test_support.h"

namespace {

constexpr std::uint32_t LOW = 0;             // rnd_int(2) gives 0
constexpr std::uint32_t HIGH = 3000000000u;  // rnd_int(2) gives 1

TEST(Reach, MarineReachesMarineCloserThanFifty) {
    Marine a(RED, Vec2(100, 100), ATTACK_WEAKEST, false);
    Marine near(BLUE, Vec2(149.9, 100), ATTACK_WEAKEST, false);
    Marine rim(BLUE, Vec2(150, 100), ATTACK_WEAKEST, false);
    EXPECT_TRUE(World::can_attack(a, near));
    EXPECT_FALSE(World::can_attack(a, rim));
}

TEST(Reach, IsAttackRadiusPlusTargetRadiusAndNotSymmetric) {
    Marine m(RED, Vec2(100, 100), ATTACK_WEAKEST, false);
    Tank t(BLUE, Vec2(100, 159), ATTACK_WEAKEST, false);
    EXPECT_TRUE(World::can_attack(m, t));  // 59 < 40 + 20
    t.pos = Vec2(100, 160);
    EXPECT_FALSE(World::can_attack(m, t));
    t.pos = Vec2(100, 189);
    EXPECT_TRUE(World::can_attack(t, m));  // 89 < 80 + 10
    EXPECT_FALSE(World::can_attack(m, t));
    EXPECT_EQ(World::distance2(m, t), 89.0 * 89.0);
}

TEST(Reach, UnitAtTheRimIsNotATargetAndDrawsNothing) {
    World w(700, 700, 4);
    auto* a = new Marine(RED, Vec2(100, 100), ATTACK_CLOSEST, false);
    w.units = {a, new Marine(BLUE, Vec2(150, 100), ATTACK_CLOSEST, false)};
    const std::mt19937 before = w.rng;
    EXPECT_EQ(w.random_closest_target(*a), nullptr);
    EXPECT_EQ(w.random_weakest_target(*a), nullptr);
    EXPECT_EQ(w.random_most_dangerous_target(*a), nullptr);
    EXPECT_TRUE(w.rng == before);
}

TEST(Enemies, ListedInUnitOrderIgnoringAlliesAndHitPoints) {
    World w(700, 700, 1);
    auto* a = new Marine(RED, Vec2(300, 300), ATTACK_WEAKEST, false);
    auto* e1 = new Marine(BLUE, Vec2(330, 300), ATTACK_WEAKEST, false);
    auto* ally = new Marine(RED, Vec2(301, 300), ATTACK_WEAKEST, false);
    auto* far = new Marine(BLUE, Vec2(400, 300), ATTACK_WEAKEST, false);
    auto* e2 = new Tank(BLUE, Vec2(300, 250), ATTACK_WEAKEST, false);
    w.units = {e2, a, e1, ally, far};
    e1->hp = -4;  // killed earlier in the phase: still listed
    std::vector<Unit*> targets{ally, ally};
    w.enemies_within_attack_range(*a, targets);
    EXPECT_EQ(targets, (std::vector<Unit*>{e2, e1}));
}

TEST(Selection, SingleEnemyIsChosenAndDrawsOnce) {
    World w(700, 700, 8);
    auto* a = new Marine(RED, Vec2(300, 300), ATTACK_WEAKEST, false);
    auto* e = new Marine(BLUE, Vec2(320, 300), ATTACK_WEAKEST, false);
    w.units = {a, new Marine(RED, Vec2(310, 300), ATTACK_WEAKEST, false), e};
    for (auto select : {&World::random_weakest_target, &World::random_closest_target,
                        &World::random_most_dangerous_target}) {
        const std::mt19937 before = w.rng;
        EXPECT_EQ((w.*select)(*a), e);
        EXPECT_EQ(draws_between(before, w.rng), 1);
    }
}

TEST(Selection, RndIntOfOneRejectsTheTopOutputToo) {
    World w(700, 700, 1);
    auto* a = new Marine(RED, Vec2(300, 300), ATTACK_WEAKEST, false);
    auto* e = new Marine(BLUE, Vec2(320, 300), ATTACK_WEAKEST, false);
    w.units = {a, e};
    w.rng = engine_with_outputs({4294967295u, 17});
    const std::mt19937 before = w.rng;
    EXPECT_EQ(w.random_weakest_target(*a), e);
    EXPECT_EQ(draws_between(before, w.rng), 2);
}

// Attacker first, then the enemies in the given order.
struct Duel {
    World world{700, 700, 1};
    Unit* attacker;
    explicit Duel(Unit* u) : attacker(u) { world.units.push_back(u); }
    Unit* add(Unit* u, int hp_old) {
        u->hp_old = hp_old;
        world.units.push_back(u);
        return u;
    }
    Unit* pick(Unit* (World::*select)(Unit&) const, std::uint32_t draw) {
        world.rng = engine_with_outputs({draw});
        return (world.*select)(*attacker);
    }
};

TEST(Selection, DangerTieAtHpOld25) {
    Duel d(new Tank(RED, Vec2(300, 300), ATTACK_MOST_DANGEROUS, false));
    Unit* tank = d.add(new Tank(BLUE, Vec2(350, 300), ATTACK_WEAKEST, false), 100);
    Unit* marine = d.add(new Marine(BLUE, Vec2(250, 300), ATTACK_WEAKEST, false), 25);
    // 4/100 and 1/25 are the same double: either may be drawn.
    EXPECT_EQ(d.pick(&World::random_most_dangerous_target, LOW), tank);
    EXPECT_EQ(d.pick(&World::random_most_dangerous_target, HIGH), marine);
}

TEST(Selection, MarineAtHpOld24IsMoreDangerousThanAFreshTank) {
    Duel d(new Tank(RED, Vec2(300, 300), ATTACK_MOST_DANGEROUS, false));
    d.add(new Tank(BLUE, Vec2(350, 300), ATTACK_WEAKEST, false), 100);
    Unit* marine = d.add(new Marine(BLUE, Vec2(250, 300), ATTACK_WEAKEST, false), 24);
    EXPECT_EQ(d.pick(&World::random_most_dangerous_target, LOW), marine);
    EXPECT_EQ(d.pick(&World::random_most_dangerous_target, HIGH), marine);
}

TEST(Selection, WeakestCountsRawHitPointsOfTheSnapshot) {
    Duel d(new Tank(RED, Vec2(300, 300), ATTACK_WEAKEST, false));
    Unit* marine = d.add(new Marine(BLUE, Vec2(250, 300), ATTACK_WEAKEST, false), 4);
    Unit* tank = d.add(new Tank(BLUE, Vec2(350, 300), ATTACK_WEAKEST, false), 3);
    marine->hp = 1;  // current hit points are not read
    EXPECT_EQ(d.pick(&World::random_weakest_target, LOW), tank);
    EXPECT_EQ(d.pick(&World::random_weakest_target, HIGH), tank);
}

TEST(Selection, WeakestTieNeedsEqualHitPoints) {
    Duel d(new Tank(RED, Vec2(300, 300), ATTACK_WEAKEST, false));
    Unit* first = d.add(new Marine(BLUE, Vec2(250, 300), ATTACK_WEAKEST, false), 9);
    d.add(new Marine(BLUE, Vec2(300, 260), ATTACK_WEAKEST, false), 12);
    Unit* third = d.add(new Marine(BLUE, Vec2(350, 300), ATTACK_WEAKEST, false), 9);
    EXPECT_EQ(d.pick(&World::random_weakest_target, LOW), first);
    EXPECT_EQ(d.pick(&World::random_weakest_target, HIGH), third);
}

TEST(Selection, ClosestTieAtExactlyEqualDistance) {
    Duel d(new Marine(RED, Vec2(300, 300), ATTACK_CLOSEST, false));
    Unit* left = d.add(new Marine(BLUE, Vec2(270, 300), ATTACK_WEAKEST, false), 45);
    d.add(new Marine(BLUE, Vec2(300, 340), ATTACK_WEAKEST, false), 45);
    Unit* right = d.add(new Marine(BLUE, Vec2(330, 300), ATTACK_WEAKEST, false), 45);
    EXPECT_EQ(d.pick(&World::random_closest_target, LOW), left);
    EXPECT_EQ(d.pick(&World::random_closest_target, HIGH), right);
}

TEST(Selection, ClosestWithoutTieIgnoresTheDraw) {
    Duel d(new Marine(RED, Vec2(300, 300), ATTACK_CLOSEST, false));
    d.add(new Marine(BLUE, Vec2(340, 300), ATTACK_WEAKEST, false), 45);
    Unit* nearest = d.add(new Marine(BLUE, Vec2(300, 330), ATTACK_WEAKEST, false), 45);
    EXPECT_EQ(d.pick(&World::random_closest_target, LOW), nearest);
    EXPECT_EQ(d.pick(&World::random_closest_target, HIGH), nearest);
}

TEST(Selection, AlliesAreNeverChosen) {
    Duel d(new Marine(RED, Vec2(300, 300), ATTACK_WEAKEST, false));
    d.add(new Tank(RED, Vec2(301, 300), ATTACK_WEAKEST, false), 1);
    d.add(new Marine(RED, Vec2(302, 300), ATTACK_WEAKEST, false), 1);
    Unit* enemy = d.add(new Marine(BLUE, Vec2(340, 300), ATTACK_WEAKEST, false), 45);
    EXPECT_EQ(d.pick(&World::random_weakest_target, HIGH), enemy);
    EXPECT_EQ(d.pick(&World::random_closest_target, HIGH), enemy);
    EXPECT_EQ(d.pick(&World::random_most_dangerous_target, HIGH), enemy);
    enemy->team = RED;
    const std::mt19937 before = d.world.rng;
    EXPECT_EQ(d.world.random_weakest_target(*d.attacker), nullptr);
    EXPECT_TRUE(d.world.rng == before);
}

TEST(Selection, KilledEnemyDrawsASecondWastedAttack) {
    RecordingWorld w(700, 700, 1);
    auto* t1 = new Tank(RED, Vec2(300, 300), ATTACK_MOST_DANGEROUS, false);
    auto* t2 = new Tank(RED, Vec2(300, 320), ATTACK_MOST_DANGEROUS, false);
    auto* m1 = new Marine(BLUE, Vec2(350, 300), ATTACK_WEAKEST, false);
    auto* m2 = new Marine(BLUE, Vec2(350, 320), ATTACK_WEAKEST, false);
    m1->hp = 2;  // danger 1/2
    m2->hp = 3;  // danger 1/3
    w.units = {t1, t2, m1, m2};
    w.step();
    // t1 kills m1; t2 still rates m1 by its snapshot and fires at it again.
    EXPECT_EQ(m1->hp, -6);
    EXPECT_EQ(m2->hp, 3);
    EXPECT_EQ(w.hits_on(m1), 2);
}

TEST(Selection, UnknownPolicyNeverAttacksAndDrawsNothing) {
    RecordingWorld w(700, 700, 1);
    auto* odd = new Marine(RED, Vec2(300, 300), static_cast<AttackPolicy>(7), false);
    auto* neg = new Tank(RED, Vec2(300, 310), static_cast<AttackPolicy>(-1), false);
    auto* enemy = new Marine(BLUE, Vec2(320, 300), static_cast<AttackPolicy>(3), false);
    w.units = {odd, neg, enemy};
    const std::mt19937 before = w.rng;
    w.step();
    EXPECT_TRUE(w.hits.empty());
    EXPECT_TRUE(w.rng == before);
    EXPECT_EQ(enemy->hp, 45);
}

TEST(Selection, StepDrawsOncePerAttackingUnit) {
    World w(700, 700, 12);
    w.units = {new Marine(RED, Vec2(300, 300), ATTACK_CLOSEST, false),
               new Marine(BLUE, Vec2(330, 300), ATTACK_WEAKEST, false),
               new Tank(BLUE, Vec2(330, 330), ATTACK_MOST_DANGEROUS, false),
               new Marine(RED, Vec2(600, 600), ATTACK_WEAKEST, false)};  // nobody in reach
    const std::mt19937 before = w.rng;
    w.step();
    EXPECT_EQ(draws_between(before, w.rng), 3);
}

TEST(Policy, Names) {
    EXPECT_STREQ(apol2str(ATTACK_WEAKEST), "attack-weakest");
    EXPECT_STREQ(apol2str(ATTACK_CLOSEST), "attack-closest");
    EXPECT_STREQ(apol2str(ATTACK_MOST_DANGEROUS), "attack-most-dangerous");
    EXPECT_STREQ(apol2str(static_cast<AttackPolicy>(3)), "?");
    EXPECT_STREQ(apol2str(static_cast<AttackPolicy>(-1)), "?");
    EXPECT_EQ(sizeof(AttackPolicy), 4u);
}

// Index of the enemy struck in one step among three that the policies rank
// differently (0 closest, 1 weakest, 2 most dangerous); the enemies hold no
// valid policy, so they do not fire back.
template <class Kind>
int struck_by(AttackPolicy pol) {
    const AttackPolicy passive = static_cast<AttackPolicy>(9);
    RecordingWorld w(700, 700, 3);
    Unit* enemies[3] = {new Marine(BLUE, Vec2(320, 300), passive, false),  // 45 hp, 1/45
                        new Marine(BLUE, Vec2(300, 335), passive, false),
                        new Tank(BLUE, Vec2(255, 300), passive, false)};
    enemies[1]->hp = 5;   // danger 1/5
    enemies[2]->hp = 10;  // danger 4/10
    w.units = {enemies[0], enemies[1], enemies[2], new Kind(RED, Vec2(300, 300), pol, false)};
    w.step();
    if (w.hits.size() != 1) return -1;
    for (int k = 0; k < 3; ++k) {
        if (w.hits[0].attacked == enemies[k]) return k;
    }
    return -1;
}

TEST(Kinds, ActPicksTheTargetOfItsPolicy) {
    EXPECT_EQ(struck_by<Marine>(ATTACK_CLOSEST), 0);
    EXPECT_EQ(struck_by<Marine>(ATTACK_WEAKEST), 1);
    EXPECT_EQ(struck_by<Marine>(ATTACK_MOST_DANGEROUS), 2);
    EXPECT_EQ(struck_by<Tank>(ATTACK_CLOSEST), 0);
    EXPECT_EQ(struck_by<Tank>(ATTACK_WEAKEST), 1);
    EXPECT_EQ(struck_by<Tank>(ATTACK_MOST_DANGEROUS), 2);
}

TEST(Kinds, Statistics) {
    Marine m(BLUE, Vec2(1, 2), ATTACK_CLOSEST, true);
    EXPECT_EQ(m.team, BLUE);
    EXPECT_EQ(m.pos.x, 1);
    EXPECT_EQ(m.pos.y, 2);
    EXPECT_EQ(m.radius, 10.0);
    EXPECT_EQ(m.attack_radius, 40.0);
    EXPECT_EQ(m.max_speed, 10.0);
    EXPECT_EQ(m.damage, 1.0);
    EXPECT_EQ(m.hp, 45);
    EXPECT_EQ(m.policy, ATTACK_CLOSEST);
    EXPECT_TRUE(m.bounce);
    EXPECT_EQ(m.current_speed, 0);
    EXPECT_EQ(m.heading.x, 0);
    EXPECT_EQ(m.heading.y, 0);
    EXPECT_EQ(m.hp_old, 0);
    Tank t(RED, Vec2(3, 4), ATTACK_MOST_DANGEROUS, false);
    EXPECT_EQ(t.radius, 20.0);
    EXPECT_EQ(t.attack_radius, 80.0);
    EXPECT_EQ(t.max_speed, 15.0);
    EXPECT_EQ(t.damage, 4.0);
    EXPECT_EQ(t.hp, 100);
    EXPECT_EQ(t.policy, ATTACK_MOST_DANGEROUS);
    EXPECT_FALSE(t.bounce);
}

}  // namespace
