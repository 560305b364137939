// The grid of nearby cells lists exactly the enemies the plain scan lists, in
// the same order, also for placements chosen to trip it up: units on cell
// borders, at exactly their reach, outside the world, far apart, piled on one
// point, and with positions or sizes that are not finite numbers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "Marine.h"
#include "SpatialIndex.h"
#include "Tank.h"
#include "World.h"
#include "battle_test_support.h"
#include "world_state.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

struct Comparison {
    int attackers = 0;
    int listed = 0;  // enemies listed, summed over all attackers
};

// Rebuilds a grid from w.units and compares its answer with the world's plain
// scan for every unit of the world and every extra attacker.
Comparison expect_same_lists(World& w, const std::vector<const Unit*>& extra = {}) {
    w.spatial_index_min_units = NEVER_INDEX;
    SpatialIndex index;
    index.rebuild(w.units);
    EXPECT_TRUE(index.built_for(w.units));
    std::vector<const Unit*> attackers(w.units.begin(), w.units.end());
    attackers.insert(attackers.end(), extra.begin(), extra.end());
    Comparison c;
    std::vector<Unit*> plain, grid;
    for (const Unit* u : attackers) {
        w.enemies_within_attack_range(*u, plain);
        grid.assign(3, nullptr);  // stale content must be dropped
        index.enemies_within_attack_range(*u, w.units, grid);
        EXPECT_EQ(grid, plain) << "attacker at (" << u->pos.x << ", " << u->pos.y << ")";
        EXPECT_EQ(index.has_enemy_within_attack_range(*u, w.units), !plain.empty());
        ++c.attackers;
        c.listed += static_cast<int>(plain.size());
    }
    return c;
}

class Battlefield {
  public:
    explicit Battlefield(double width = 700, double height = 700) : w(width, height, 1) {}
    Unit* marine(Team t, double x, double y) {
        return add(new Marine(t, Vec2(x, y), ATTACK_CLOSEST, false));
    }
    Unit* tank(Team t, double x, double y) {
        return add(new Tank(t, Vec2(x, y), ATTACK_CLOSEST, false));
    }
    Unit* probe(Team t, double x, double y, double radius, double attack_radius) {
        return add(new ProbeUnit(log, t, Vec2(x, y), radius, 1, 10, attack_radius));
    }
    Unit* add(Unit* u) {
        w.units.push_back(u);
        return u;
    }
    ProbeUnit::Log log;
    World w;
};

TEST(SpatialIndexLists, EnemiesOnCellBordersAndExactlyAtReach) {
    // With tanks present a cell is 100 wide from the leftmost unit at x = 100,
    // so every multiple of 100 is a border. Each attacker on a border corner
    // gets enemies exactly at its reach (not reached), one step of rounding
    // inside (reached) and one outside, along axes and 3-4-5 diagonals.
    Battlefield f;
    f.tank(RED, 100, 100);
    const double dirs[][2] = {{1, 0},     {-1, 0},     {0, 1},     {0, -1},
                              {0.6, 0.8}, {-0.8, 0.6}, {0.8, -0.6}};
    for (int kind = 0; kind < 2; ++kind) {
        const double cx = kind == 0 ? 300 : 500;
        const double cy = 300;
        Unit* a = kind == 0 ? f.tank(RED, cx, cy) : f.marine(RED, cx, cy);
        for (int target = 0; target < 2; ++target) {
            const double reach = a->attack_radius + (target == 0 ? 20.0 : 10.0);
            for (const auto& d : dirs) {
                // On the rim, then each moved coordinate one double inwards, then outwards.
                const double rim_x = cx + reach * d[0];
                const double rim_y = cy + reach * d[1];
                for (double towards : {0.0, -INF, INF}) {
                    double x = rim_x, y = rim_y;
                    if (towards != 0) {
                        if (d[0] != 0) x = std::nextafter(rim_x, d[0] * towards > 0 ? INF : -INF);
                        if (d[1] != 0) y = std::nextafter(rim_y, d[1] * towards > 0 ? INF : -INF);
                    }
                    if (target == 0)
                        f.tank(BLUE, x, y);
                    else
                        f.marine(BLUE, x, y);
                }
            }
        }
    }
    const Comparison c = expect_same_lists(f.w);
    EXPECT_GT(c.listed, 20);
    // The tank at (300, 300) does not list the tank exactly at its reach at
    // (400, 300), but the one a rounding step closer.
    std::vector<Unit*> listed;
    f.w.enemies_within_attack_range(*f.w.units[1], listed);
    ASSERT_EQ(f.w.units[2]->pos.x, 400);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), f.w.units[2]), 0);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), f.w.units[3]), 1);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), f.w.units[4]), 0);
}

TEST(SpatialIndexLists, LatticeOfBordersWithManyExactDistances) {
    // Units on a lattice of quarter cells: many pairs at exactly the reach
    // and many units exactly on cell borders.
    Battlefield f(1000, 1000);
    int i = 0;
    for (double y = 0; y <= 600; y += 25) {
        for (double x = 0; x <= 600; x += 25) {
            const Team t = (i++ % 3 == 0) ? RED : BLUE;
            if (i % 2)
                f.tank(t, x, y);
            else
                f.marine(t, x, y);
        }
    }
    const Comparison c = expect_same_lists(f.w);
    EXPECT_GT(c.listed, 1000);
}

TEST(SpatialIndexLists, UnitsOutsideTheWorld) {
    // A world narrower than a tank: the clamps leave centres that put the
    // bodies across both walls; other units stand far outside the world.
    Battlefield f(30, 300);
    Unit* t1 = f.tank(RED, 15, 100);
    t1->heading = Vec2(1, 0);
    t1->current_speed = 15;
    Unit* t2 = f.tank(BLUE, 15, 160);
    t2->heading = Vec2(-1, 0);
    t2->current_speed = 15;
    f.w.move_unit(*t1);
    f.w.move_unit(*t2);
    EXPECT_EQ(t1->pos.x, 10);  // width - radius
    f.marine(BLUE, -60, 100);
    f.marine(RED, -20, -20);
    f.tank(BLUE, 5000, 100);
    f.tank(RED, 5000, 190);
    f.marine(BLUE, 40, 350);
    // The two tanks in the strip reach each other, the left one also the
    // marine beyond the wall, and the two tanks far outside each other.
    EXPECT_EQ(expect_same_lists(f.w).listed, 5);
}

TEST(SpatialIndexLists, NonFinitePositionsAreNeverReached) {
    Battlefield f;
    f.tank(RED, 100, 100);
    f.tank(BLUE, 150, 100);
    f.marine(BLUE, NaN, 100);
    f.marine(BLUE, 100, INF);
    f.marine(RED, -INF, -INF);
    f.tank(RED, NaN, NaN);
    f.marine(BLUE, 120, 120);
    const Comparison c = expect_same_lists(f.w);
    EXPECT_EQ(c.listed, 4);  // the finite red tank and the finite blue pair reach each other
}

TEST(SpatialIndexLists, OddSizesFallBackOrStayExact) {
    Battlefield f;
    f.tank(RED, 100, 100);
    f.marine(BLUE, 400, 400);
    f.probe(RED, 600, 50, 5, 1e6);    // covers the whole field
    f.probe(BLUE, 60, 140, NaN, 40);  // no body: never reached
    f.probe(RED, 90, 130, 10, NaN);   // no reach: reaches nobody
    {
        EXPECT_EQ(expect_same_lists(f.w).listed, 3);
        SpatialIndex index;
        index.rebuild(f.w.units);
        EXPECT_TRUE(index.uses_grid());
    }
    // A negative attack radius counts by its square, |-70 + 10| here.
    Battlefield n(1000, 1000);
    n.marine(RED, 0, 0);  // puts cell borders at multiples of 100
    n.probe(RED, 350, 380, 5, -70);
    n.marine(BLUE, 400, 400);  // 53.9 away
    n.marine(BLUE, 350, 439);  // 59 away
    n.marine(BLUE, 410, 380);  // 60 away: out
    n.tank(BLUE, 800, 800);
    EXPECT_EQ(expect_same_lists(n.w).listed, 2);

    // An infinite attack radius reaches every finite enemy; it is answered by
    // the plain scan while the others still use the grid.
    Battlefield g;
    g.tank(RED, 100, 100);
    g.marine(BLUE, 400, 400);
    g.marine(BLUE, 40, 600);
    ProbeUnit::Log log;
    ProbeUnit far_reach(log, RED, Vec2(5, 5), 10, 1, 10, INF);
    EXPECT_EQ(expect_same_lists(g.w, {&far_reach}).listed, 2);
    // An infinite body is reached from anywhere: no cell bound holds.
    g.probe(BLUE, 650, 650, INF, 10);
    SpatialIndex index;
    index.rebuild(g.w.units);
    EXPECT_FALSE(index.uses_grid());
    EXPECT_EQ(expect_same_lists(g.w, {&far_reach}).listed, 4);
}

TEST(SpatialIndexLists, HugeAndTinyCoordinates) {
    // Far from the origin the rounding of differences matters; near the
    // largest doubles the extent of the field overflows.
    Battlefield f;
    const double base = 1e15;  // spacing of doubles here is 0.125
    f.tank(RED, base, base);
    f.tank(BLUE, base + 100, base);
    f.tank(BLUE, base + 99.875, base);
    f.marine(BLUE, base - 89.875, base);
    f.marine(RED, base + 150, base + 50);
    EXPECT_EQ(expect_same_lists(f.w).listed, 5);

    Battlefield g;
    g.tank(RED, 1.7e308, 0);
    g.tank(BLUE, 1.7e308, 50);
    g.tank(BLUE, -1.7e308, 0);
    g.marine(RED, -1.7e308, 50);
    // Subnormal distances square to 0, so the tiny probe reaches both others.
    g.probe(RED, 4e-320, 0, 5e-324, 1e-160);
    g.probe(BLUE, 0, 0, 0, 0);
    g.probe(BLUE, 1e-320, 3e-320, 1e-322, 0);
    EXPECT_EQ(expect_same_lists(g.w).listed, 4 + 2);
}

TEST(SpatialIndexLists, EveryoneOnOnePointAndAFarOutlier) {
    Battlefield f;
    for (int i = 0; i < 60; ++i) {
        if (i % 2)
            f.marine(i % 3 ? RED : BLUE, 250, 250);
        else
            f.tank(i % 3 ? RED : BLUE, 250, 250);
    }
    EXPECT_EQ(expect_same_lists(f.w).listed, 2 * 20 * 40);
    // One unit a billion units away must not blow up the grid.
    f.tank(BLUE, 1e9, 1e9);
    f.tank(RED, 1e9 + 50, 1e9);
    SpatialIndex index;
    index.rebuild(f.w.units);
    EXPECT_LE(static_cast<long>(index.columns()) * index.rows(), 4 * 62);
    EXPECT_EQ(expect_same_lists(f.w).listed, 2 * 20 * 40 + 2);
}

TEST(SpatialIndexLists, RandomMixturesWithRoundedPositions) {
    // Positions on a 1/8 grid make exact rims frequent; sizes vary freely.
    std::mt19937 gen(77);
    std::uniform_int_distribution<int> coord(-400, 8800);
    std::uniform_int_distribution<int> pick(0, 5);
    for (int round = 0; round < 4; ++round) {
        Battlefield f(1000, 1000);
        for (int i = 0; i < 700; ++i) {
            const double x = coord(gen) / 8.0;
            const double y = coord(gen) / 8.0;
            const Team t = gen() % 2 ? RED : BLUE;
            switch (pick(gen)) {
                case 0:
                    f.probe(t, x, y, pick(gen) * 7.5, pick(gen) * 33.25);
                    break;
                case 1:
                case 2:
                    f.marine(t, x, y);
                    break;
                default:
                    f.tank(t, x, y);
            }
        }
        const Comparison c = expect_same_lists(f.w);
        EXPECT_GT(c.listed, 700);
    }
}

TEST(SpatialIndexLists, AttackerOutsideTheListAndAnEmptyList) {
    Battlefield f;
    f.tank(BLUE, 300, 300);
    f.marine(RED, 320, 300);
    ProbeUnit::Log log;
    ProbeUnit outsider(log, RED, Vec2(250, 250), 10, 1, 10, 500);
    EXPECT_EQ(expect_same_lists(f.w, {&outsider}).listed, 2 + 1);

    Battlefield empty;
    SpatialIndex index;
    index.rebuild(empty.w.units);
    std::vector<Unit*> targets{nullptr};
    index.enemies_within_attack_range(outsider, empty.w.units, targets);
    EXPECT_TRUE(targets.empty());
    EXPECT_FALSE(index.has_enemy_within_attack_range(outsider, empty.w.units));
}

}  // namespace
