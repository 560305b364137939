// Whole battles: the same seed and settings give the same battle step by
// step; different seeds give different battles.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "World.h"
#include "army_placement.h"

namespace {

// Everything that changes about a unit, compared bit for bit.
bool same_state(const Unit& a, const Unit& b) {
    auto bits = [](double d) {
        unsigned long long u;
        std::memcpy(&u, &d, sizeof u);
        return u;
    };
    return a.team == b.team && bits(a.pos.x) == bits(b.pos.x) && bits(a.pos.y) == bits(b.pos.y) &&
           a.hp == b.hp && a.hp_old == b.hp_old && bits(a.current_speed) == bits(b.current_speed) &&
           bits(a.heading.x) == bits(b.heading.x) && bits(a.heading.y) == bits(b.heading.y) &&
           a.radius == b.radius;
}

bool same_world(const World& a, const World& b) {
    if (a.units.size() != b.units.size() || !(a.rng == b.rng)) return false;
    for (std::size_t i = 0; i < a.units.size(); ++i) {
        if (!same_state(*a.units[i], *b.units[i])) return false;
    }
    return true;
}

struct Settings {
    double width, height;
    int seed, marines, tanks;
    AttackPolicy red, blue;
    bool bounce;
};

World* make_battle(const Settings& s) {
    World* w = new World(s.width, s.height, s.seed);
    place_armies(*w, s.marines, s.tanks, s.red, s.blue, s.bounce);
    return w;
}

void expect_identical_battles(const Settings& s, int max_steps) {
    World* a = make_battle(s);
    World* b = make_battle(s);
    ASSERT_TRUE(same_world(*a, *b));
    int steps = 0;
    while (steps < max_steps && a->red_score() < 0) {
        a->step();
        b->step();
        ++steps;
        ASSERT_TRUE(same_world(*a, *b)) << "after step " << steps;
        ASSERT_EQ(a->red_score(), b->red_score());
    }
    EXPECT_GT(steps, 1);
    delete a;
    delete b;
}

TEST(Determinism, SameSeedSameBattleEveryStep) {
    expect_identical_battles(
        {300, 300, 12345, 10, 10, ATTACK_MOST_DANGEROUS, ATTACK_MOST_DANGEROUS, true}, 2000);
}

TEST(Determinism, MixedPoliciesNegativeSeedNoBounce) {
    expect_identical_battles({250, 200, -7, 8, 5, ATTACK_WEAKEST, ATTACK_CLOSEST, false}, 300);
}

TEST(Determinism, DifferentSeedsDiverge) {
    const Settings s0{300, 300, 0, 10, 10, ATTACK_CLOSEST, ATTACK_CLOSEST, true};
    Settings s1 = s0;
    s1.seed = 1;
    World* a = make_battle(s0);
    World* b = make_battle(s1);
    EXPECT_FALSE(same_world(*a, *b));
    bool apart = false;
    for (int k = 0; k < 50 && !apart; ++k) {
        a->step();
        b->step();
        apart = a->units.size() != b->units.size();
        for (std::size_t i = 0; !apart && i < a->units.size(); ++i)
            apart = a->units[i]->pos.x != b->units[i]->pos.x || a->units[i]->hp != b->units[i]->hp;
    }
    EXPECT_TRUE(apart);
    delete a;
    delete b;
}

TEST(Determinism, BattleEndsWithAValidScore) {
    World* w = make_battle({300, 300, 2024, 6, 4, ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST, true});
    int steps = 0;
    while (w->red_score() < 0 && steps < 20000) {
        w->step();
        ++steps;
    }
    const int r = w->red_score();
    EXPECT_TRUE(r == 0 || r == 1 || r == 2) << r;
    // A decided battle leaves only one side (or nobody) listed, dead units included.
    for (const Unit* u : w->units) EXPECT_EQ(u->team, r == 2 ? RED : BLUE);
    delete w;
}

}  // namespace
