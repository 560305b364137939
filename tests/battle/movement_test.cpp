// Movement along the heading, stopping at walls, clamping and bouncing.

#include <gtest/gtest.h>

#include <vector>

#include "Marine.h"
#include "Tank.h"
#include "World.h"
#include "battle_test_support.h"

namespace {

std::vector<bool> flags(bool right, bool left, bool top, bool bottom) {
    return {right, left, top, bottom};  // indexed by CollDir
}

struct Mover {
    ProbeUnit::Log log;
    World world;
    ProbeUnit* unit;
    Mover(double w, double h, Vec2 pos, Vec2 heading, double speed, double radius = 10)
        : world(w, h, 1), unit(new ProbeUnit(log, RED, pos, radius)) {
        unit->heading = heading;
        unit->current_speed = speed;
        world.units.push_back(unit);
    }
};

TEST(Movement, FreeMoveKeepsSpeedAndCallsNoHook) {
    Mover m(100, 100, Vec2(50, 50), Vec2(0.6, 0.8), 10);
    m.world.move_unit(*m.unit);
    EXPECT_DOUBLE_EQ(m.unit->pos.x, 56);
    EXPECT_DOUBLE_EQ(m.unit->pos.y, 58);
    EXPECT_EQ(m.unit->current_speed, 10);
    EXPECT_TRUE(m.log.collisions.empty());
}

TEST(Movement, StopsWithTheRimOnTheRightWall) {
    Mover m(100, 100, Vec2(85, 50), Vec2(1, 0), 10);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 90);
    EXPECT_EQ(m.unit->pos.y, 50);
    EXPECT_EQ(m.unit->current_speed, 0);
    ASSERT_EQ(m.log.collisions.size(), 1u);
    EXPECT_EQ(m.log.collisions[0].second, 10);
    EXPECT_EQ(m.log.last_flags, flags(true, false, false, false));
}

TEST(Movement, NearACornerStopsAtFirstContactWithBothFlags) {
    Mover m(100, 100, Vec2(85, 88), Vec2(0.6, 0.8), 10);
    m.world.move_unit(*m.unit);
    EXPECT_DOUBLE_EQ(m.unit->pos.x, 86.5);
    EXPECT_DOUBLE_EQ(m.unit->pos.y, 90);
    EXPECT_EQ(m.unit->current_speed, 0);
    ASSERT_EQ(m.log.collisions.size(), 1u);
    EXPECT_EQ(m.log.last_flags, flags(true, false, false, true));
}

TEST(Movement, TouchingTheLeftWallAndMovingIntoItStaysPut) {
    Mover m(100, 100, Vec2(10, 50), Vec2(-1, 0), 10);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 10);
    EXPECT_EQ(m.unit->current_speed, 0);
    ASSERT_EQ(m.log.collisions.size(), 1u);
    EXPECT_EQ(m.log.last_flags, flags(false, true, false, false));
}

TEST(Movement, TopWallSetsOnlyTop) {
    Mover m(100, 100, Vec2(50, 15), Vec2(0, -1), 10);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.y, 10);
    EXPECT_EQ(m.log.last_flags, flags(false, false, true, false));
}

TEST(Movement, AlongAWallSetsNoFlagAndDoesNotStop) {
    Mover m(100, 100, Vec2(10, 50), Vec2(0, 1), 10);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 10);
    EXPECT_EQ(m.unit->pos.y, 60);
    EXPECT_EQ(m.unit->current_speed, 10);
    EXPECT_TRUE(m.log.collisions.empty());
}

TEST(Movement, StartingInsideAWallEndsTouchingIt) {
    Mover m(100, 100, Vec2(5, 50), Vec2(-1, 0), 10);  // t = -0.5
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 10);
    EXPECT_EQ(m.unit->current_speed, 0);
    ASSERT_EQ(m.log.collisions.size(), 1u);
    EXPECT_EQ(m.log.last_flags, flags(false, true, false, false));
}

TEST(Movement, NarrowWorldClampsRightAfterLeft) {
    Mover m(15, 12, Vec2(7, 6), Vec2(0, 0), 1);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 5);  // width - radius
    EXPECT_EQ(m.unit->pos.y, 2);  // height - radius
    EXPECT_TRUE(m.log.collisions.empty());
}

TEST(Movement, HeadingIsNotNormalised) {
    Mover m(700, 700, Vec2(100, 100), Vec2(2, 0), 10);
    m.world.move_unit(*m.unit);
    EXPECT_EQ(m.unit->pos.x, 120);
}

TEST(Bounce, OffTheRightWallReversesX) {
    World w(100, 100, 1);
    auto* u = new Marine(RED, Vec2(85, 50), ATTACK_WEAKEST, true);
    u->heading = Vec2(0.6, 0.8);
    u->current_speed = 10;
    w.units.push_back(u);
    w.move_unit(*u);
    EXPECT_DOUBLE_EQ(u->pos.x, 90);
    EXPECT_EQ(u->heading.x, -0.6);
    EXPECT_EQ(u->heading.y, 0.8);
    EXPECT_EQ(u->current_speed, 10);
}

TEST(Bounce, AtACornerReversesBoth) {
    World w(100, 100, 1);
    auto* u = new Tank(RED, Vec2(75, 78), ATTACK_WEAKEST, true);
    u->heading = Vec2(0.6, 0.8);
    u->current_speed = 10;
    w.units.push_back(u);
    w.move_unit(*u);
    EXPECT_DOUBLE_EQ(u->pos.x, 76.5);
    EXPECT_DOUBLE_EQ(u->pos.y, 80);
    EXPECT_EQ(u->heading.x, -0.6);
    EXPECT_EQ(u->heading.y, -0.8);
    EXPECT_EQ(u->current_speed, 10);
    // Next move goes off along the reflected heading.
    w.move_unit(*u);
    EXPECT_DOUBLE_EQ(u->pos.x, 70.5);
    EXPECT_DOUBLE_EQ(u->pos.y, 72);
}

TEST(Bounce, NonBouncingUnitStopsForGoodButStillFights) {
    RecordingWorld w(200, 100, 1);
    auto* red = new Marine(RED, Vec2(185, 50), ATTACK_WEAKEST, false);
    red->heading = Vec2(1, 0);
    red->current_speed = 10;
    auto* blue = new Marine(BLUE, Vec2(50, 50), ATTACK_WEAKEST, false);
    blue->heading = Vec2(1, 0);
    blue->current_speed = 10;
    w.units = {red, blue};
    w.step();
    EXPECT_EQ(red->pos.x, 190);
    EXPECT_EQ(red->current_speed, 0);
    for (int i = 0; i < 9; ++i) w.step();
    EXPECT_EQ(red->pos.x, 190);
    EXPECT_EQ(red->current_speed, 0);
    // Blue has come within reach (190 - 150 < 50) and the stopped red marine fires.
    EXPECT_EQ(blue->pos.x, 150);
    EXPECT_GT(w.hits_on(blue), 0);
}

}  // namespace
