// How engine outputs become integers, reals, positions and headings, and how
// many outputs each consumes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "World.h"
#include "army_placement.h"
#include "battle_test_support.h"

namespace {

TEST(Engine, CraftedOutputsComeOutInOrder) {
    std::mt19937 e = engine_with_outputs({7, 4294967295u, 0, 123456789});
    EXPECT_EQ(e(), 7u);
    EXPECT_EQ(e(), 4294967295u);
    EXPECT_EQ(e(), 0u);
    EXPECT_EQ(e(), 123456789u);
}

TEST(RndInt, ThreeRejectsOnlyTheTopOutput) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({4294967295u, 4294967294u});
    std::mt19937 before = w.rng;
    EXPECT_EQ(w.rnd_int(3), 2);  // from the second output
    EXPECT_EQ(draws_between(before, w.rng), 2);

    w.rng = engine_with_outputs({4294967294u});
    before = w.rng;
    EXPECT_EQ(w.rnd_int(3), 2);
    EXPECT_EQ(draws_between(before, w.rng), 1);
}

TEST(RndInt, DividesByTheScaling) {
    World w(700, 700, 1);
    const std::uint32_t scaling3 = 1431655765u;  // floor(4294967295 / 3)
    w.rng = engine_with_outputs({0, scaling3 - 1, scaling3, 2 * scaling3 - 1, 2 * scaling3});
    EXPECT_EQ(w.rnd_int(3), 0);
    EXPECT_EQ(w.rnd_int(3), 0);
    EXPECT_EQ(w.rnd_int(3), 1);
    EXPECT_EQ(w.rnd_int(3), 1);
    EXPECT_EQ(w.rnd_int(3), 2);
}

TEST(RndInt, RejectsEverythingFromPastOnwards) {
    // n = 10: scaling 429496729, past 4294967290; 4294967290..4294967295 rejected.
    World w(700, 700, 1);
    w.rng = engine_with_outputs({4294967290u, 4294967293u, 4294967289u});
    const std::mt19937 before = w.rng;
    EXPECT_EQ(w.rnd_int(10), 9);
    EXPECT_EQ(draws_between(before, w.rng), 3);
}

TEST(RndInt, OneReturnsZeroAndAdvancesByOne) {
    World w(700, 700, 99);
    for (int k = 0; k < 20; ++k) {
        const std::mt19937 before = w.rng;
        EXPECT_EQ(w.rnd_int(1), 0);
        EXPECT_EQ(draws_between(before, w.rng), 1);
    }
}

TEST(RndInt, StaysInRangeForManySizes) {
    World w(700, 700, 5);
    for (int n : {1, 2, 3, 7, 10, 400, 65537, 2147483647}) {
        for (int k = 0; k < 200; ++k) {
            const int r = w.rnd_int(n);
            ASSERT_GE(r, 0);
            ASSERT_LT(r, n);
        }
    }
}

TEST(Rnd01, BothExtremes) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({0, 0});
    EXPECT_EQ(w.rnd01(), 0.0);
    w.rng = engine_with_outputs({4294967295u, 4294967295u});
    EXPECT_EQ(w.rnd01(), 0.9999999999999999);
    EXPECT_EQ(0.9999999999999999, std::nextafter(1.0, 0.0));
}

TEST(Rnd01, LowWordFirst) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({0, 2147483648u, 1, 0, 4294967295u, 0});
    EXPECT_EQ(w.rnd01(), 0.5);
    EXPECT_EQ(w.rnd01(), std::ldexp(1.0, -64));
    EXPECT_EQ(w.rnd01(), std::ldexp(4294967295.0, -64));
}

TEST(Rnd01, ConsumesExactlyTwo) {
    World w(700, 700, 17);
    for (int k = 0; k < 10; ++k) {
        const std::mt19937 before = w.rng;
        const double r = w.rnd01();
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, 1.0);
        EXPECT_EQ(draws_between(before, w.rng), 2);
    }
}

TEST(RndPos, DrawsYBeforeX) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({0, 0, 0, 2147483648u});
    const Vec2 p = w.rnd_pos(10);
    EXPECT_EQ(p.y, 20);
    EXPECT_EQ(p.x, 350);  // 0.5 * 660 + 20
}

TEST(RndPos, RangesForMarineAndTankRadii) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({4294967295u, 4294967295u, 4294967295u, 4294967295u});
    const Vec2 top = w.rnd_pos(10);
    EXPECT_LT(top.x, 680);
    EXPECT_LT(top.y, 680);
    EXPECT_GT(top.x, 679.99);

    World r(700, 700, 21);
    for (int k = 0; k < 500; ++k) {
        const std::mt19937 before = r.rng;
        const Vec2 m = r.rnd_pos(10);
        ASSERT_EQ(draws_between(before, r.rng), 4);
        ASSERT_GE(m.x, 20);
        ASSERT_LT(m.x, 680);
        ASSERT_GE(m.y, 20);
        ASSERT_LT(m.y, 680);
        const Vec2 t = r.rnd_pos(20);
        ASSERT_GE(t.x, 40);
        ASSERT_LT(t.x, 660);
        ASSERT_GE(t.y, 40);
        ASSERT_LT(t.y, 660);
    }
}

TEST(RndPos, UsesEachSideOfANonSquareWorld) {
    World w(300, 1000, 1);
    w.rng = engine_with_outputs({0, 2147483648u, 0, 2147483648u});
    const Vec2 p = w.rnd_pos(10);
    EXPECT_EQ(p.x, 150);
    EXPECT_EQ(p.y, 500);
}

TEST(RndHeading, UnitLengthFromTwoOutputs) {
    World w(700, 700, 1);
    w.rng = engine_with_outputs({0, 0, 0, 1073741824u});  // phi 0, then a quarter turn
    Vec2 h = w.rnd_heading();
    EXPECT_EQ(h.x, 1);
    EXPECT_EQ(h.y, 0);
    h = w.rnd_heading();
    EXPECT_NEAR(h.x, 0, 1e-15);
    EXPECT_EQ(h.y, 1);

    World r(700, 700, 2);
    for (int k = 0; k < 50; ++k) {
        const std::mt19937 before = r.rng;
        const Vec2 v = r.rnd_heading();
        ASSERT_EQ(draws_between(before, r.rng), 2);
        ASSERT_NEAR(v.x * v.x + v.y * v.y, 1.0, 1e-12);
    }
}

TEST(Mirror, CentreIsItsOwnImageAndNothingIsDrawn) {
    World w(700, 500, 1);
    const std::mt19937 before = w.rng;
    const Vec2 c = w.mirror(Vec2(350, 250));
    EXPECT_EQ(c.x, 350);
    EXPECT_EQ(c.y, 250);
    const Vec2 p = w.mirror(Vec2(20, 480));
    EXPECT_EQ(p.x, 680);
    EXPECT_EQ(p.y, 20);
    EXPECT_TRUE(w.rng == before);
}

TEST(Seeds, SameSeedSameSequenceDifferentSeedsDiffer) {
    World a(700, 700, 42), b(700, 700, 42), c(700, 700, 0), d(700, 700, 1);
    for (int k = 0; k < 100; ++k) {
        ASSERT_EQ(a.rnd_int(1000), b.rnd_int(1000));
        ASSERT_EQ(a.rnd01(), b.rnd01());
    }
    int same = 0;
    for (int k = 0; k < 100; ++k) same += c.rnd01() == d.rnd01();
    EXPECT_EQ(same, 0);
}

TEST(Placement, SixOutputsPerRedUnitAndMirroredBlueTwins) {
    World w(700, 700, 77);
    std::mt19937 expected = w.rng;
    place_armies(w, 3, 2, ATTACK_WEAKEST, ATTACK_CLOSEST, true);
    expected.discard(6 * (3 + 2));
    EXPECT_TRUE(w.rng == expected);
    ASSERT_EQ(w.units.size(), 10u);
    for (std::size_t i = 0; i < w.units.size(); i += 2) {
        const Unit& red = *w.units[i];
        const Unit& blue = *w.units[i + 1];
        EXPECT_EQ(red.team, RED);
        EXPECT_EQ(blue.team, BLUE);
        EXPECT_EQ(red.radius, i < 6 ? 10.0 : 20.0);
        EXPECT_EQ(blue.radius, red.radius);
        EXPECT_EQ(blue.pos.x, 700 - red.pos.x);
        EXPECT_EQ(blue.pos.y, 700 - red.pos.y);
        EXPECT_EQ(blue.heading.x, -red.heading.x);
        EXPECT_EQ(blue.heading.y, -red.heading.y);
        EXPECT_EQ(red.current_speed, red.max_speed);
        EXPECT_EQ(blue.current_speed, blue.max_speed);
    }
}

}  // namespace

namespace {

TEST(RandomDeathTest, RndIntNeedsAPositiveCount) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    World w(700, 700, 1);
    EXPECT_DEATH(w.rnd_int(0), "n > 0");
    EXPECT_DEATH(w.rnd_int(-3), "n > 0");
}

TEST(RandomDeathTest, RndPosRefusesAWorldTooNarrowForTheRadius) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    World narrow(40, 700, 1);  // no x can keep a radius of room on both sides
    EXPECT_DEATH(narrow.rnd_pos(20), "radius < x && x < width - radius");
    World flat(700, 20, 1);
    EXPECT_DEATH(flat.rnd_pos(10), "radius < y && y < height - radius");
}

}  // namespace
