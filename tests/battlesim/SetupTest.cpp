// The GL-free set-up of battlesim: number reading, settings, echo, the checks
// that refuse impossible battles, and the placement of the mirrored armies.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Marine.h"
#include "Setup.h"
#include "Tank.h"
#include "World.h"

namespace {

const std::string EN_QUAD = "\xE2\x80\x80";

Settings parse(std::vector<const char*> args) {
    return parse_settings(args.data());
}

// ---- reading numbers ----------------------------------------------------------

TEST(BattlesimParseInt, ReadsLikeStrtol) {
    EXPECT_EQ(parse_int("12"), 12);
    EXPECT_EQ(parse_int("  -7x"), -7);
    EXPECT_EQ(parse_int("+5"), 5);
    EXPECT_EQ(parse_int("700.9"), 700);
    EXPECT_EQ(parse_int("abc"), 0);
    EXPECT_EQ(parse_int(""), 0);
    EXPECT_EQ(parse_int("0x1F"), 0);
}

TEST(BattlesimParseInt, SaturatesAtTheInt32Limits) {
    EXPECT_EQ(parse_int("2147483647"), INT_MAX);
    EXPECT_EQ(parse_int("2147483648"), INT_MAX);
    EXPECT_EQ(parse_int("4294967297"), INT_MAX);
    EXPECT_EQ(parse_int("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(parse_int("-2147483648"), INT_MIN);
    EXPECT_EQ(parse_int("-2147483649"), INT_MIN);
    EXPECT_EQ(parse_int("-99999999999999999999999"), INT_MIN);
}

// ---- settings -----------------------------------------------------------------

TEST(BattlesimSettings, DefaultsAreTheBuiltInBattle) {
    const Settings s;
    EXPECT_EQ(s.width, 700);
    EXPECT_EQ(s.height, 700);
    EXPECT_EQ(s.delay, 100);
    EXPECT_EQ(s.seed, 0);
    EXPECT_EQ(s.n_marines, 100);
    EXPECT_EQ(s.n_tanks, 100);
    EXPECT_EQ(s.red_policy, ATTACK_MOST_DANGEROUS);
    EXPECT_EQ(s.blue_policy, ATTACK_MOST_DANGEROUS);
    EXPECT_TRUE(s.bounce);
    EXPECT_TRUE(s.gfx);
}

TEST(BattlesimSettings, TenArgumentsInCommandLineOrder) {
    const Settings s = parse({"640.5", "480", "25", "-9", "3", "4", "1", "0", "0", "1"});
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.delay, 25);
    EXPECT_EQ(s.seed, -9);
    EXPECT_EQ(s.n_marines, 3);
    EXPECT_EQ(s.n_tanks, 4);
    EXPECT_EQ(s.red_policy, ATTACK_CLOSEST);
    EXPECT_EQ(s.blue_policy, ATTACK_WEAKEST);
    EXPECT_FALSE(s.bounce);
    EXPECT_TRUE(s.gfx);
}

TEST(BattlesimSettings, FlagsAreTrueForAnyNonZeroNumber) {
    const Settings s = parse({"1", "1", "1", "1", "1", "1", "1", "1", "7", "-2"});
    EXPECT_TRUE(s.bounce);
    EXPECT_TRUE(s.gfx);
    const Settings t = parse({"1", "1", "1", "1", "1", "1", "1", "1", "0", "no"});
    EXPECT_FALSE(t.bounce);
    EXPECT_FALSE(t.gfx);
}

TEST(BattlesimSettings, UnknownPoliciesAreKeptAsTheyAre) {
    const Settings s = parse({"1", "1", "1", "1", "1", "1", "5", "-1", "1", "1"});
    EXPECT_EQ(static_cast<int>(s.red_policy), 5);
    EXPECT_EQ(static_cast<int>(s.blue_policy), -1);
}

TEST(BattlesimSettings, ANegativeDelayAndSeedZeroAreKeptAsGiven) {
    const Settings s = parse({"1", "1", "-250", "0", "1", "1", "1", "1", "1", "1"});
    EXPECT_EQ(s.delay, -250);
    EXPECT_EQ(s.seed, 0);
}

TEST(BattlesimClockSeed, IsTheLow32BitsOfTheMillisecondClock) {
    using namespace std::chrono;
    auto now = [] {
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    };
    const std::uint32_t before = now();
    const auto seed = static_cast<std::uint32_t>(clock_seed());
    const std::uint32_t after = now();
    EXPECT_LE(static_cast<std::uint32_t>(seed - before),
              static_cast<std::uint32_t>(after - before));
}

// ---- console text ---------------------------------------------------------------

TEST(BattlesimEcho, TenLinesWithEnQuadsAfterSeedAndBounce) {
    Settings s;
    s.seed = -42;
    s.red_policy = ATTACK_WEAKEST;
    s.blue_policy = static_cast<AttackPolicy>(9);
    s.gfx = false;
    std::ostringstream out;
    echo_settings(out, s);
    EXPECT_EQ(out.str(), "width: 700\nheight: 700\ndelay: 100\nseed:" + EN_QUAD +
                             "-42\nmarines: 100\ntanks: 100\nredpol: attack-weakest\n"
                             "bluepol: ?\nbounce:" +
                             EN_QUAD + "1\ngfx: 0\n");
}

TEST(BattlesimEcho, SizesUseTheDefaultFloatingPointFormat) {
    Settings s;
    s.width = 2147483647;
    s.height = 123456;
    std::ostringstream out;
    echo_settings(out, s);
    const std::string expected = "width: 2.14748e+09\nheight: 123456\n";
    EXPECT_EQ(out.str().substr(0, expected.size()), expected);
}

TEST(BattlesimResultText, NamesTheOutcomeOfEachScore) {
    EXPECT_STREQ(result_text(2), "RED wins");
    EXPECT_STREQ(result_text(1), "draw");
    EXPECT_STREQ(result_text(0), "BLUE wins");
}

TEST(BattlesimTimeoutLine, CarriesTheSeedAfterAnEnQuad) {
    EXPECT_EQ(timeout_line(-17), "game over (timeout" + EN_QUAD + "seed=-17): draw");
}

// ---- battles that cannot be set up ---------------------------------------------

Settings sized(double w, double h, int marines, int tanks) {
    Settings s;
    s.width = w;
    s.height = h;
    s.n_marines = marines;
    s.n_tanks = tanks;
    return s;
}

TEST(BattlesimWorldSize, AtMostThreeRadiiOfAPlacedKindIsTooSmall) {
    EXPECT_NE(world_size_problem(sized(60, 700, 0, 1), 10, 20), "");
    EXPECT_NE(world_size_problem(sized(700, 60, 0, 1), 10, 20), "");
    EXPECT_EQ(world_size_problem(sized(61, 61, 0, 1), 10, 20), "");
    EXPECT_NE(world_size_problem(sized(30, 700, 1, 0), 10, 20), "");
    EXPECT_EQ(world_size_problem(sized(31, 31, 1, 0), 10, 20), "");
}

TEST(BattlesimWorldSize, KindsThatAreNotPlacedDoNotCount) {
    EXPECT_EQ(world_size_problem(sized(40, 40, 5, 0), 10, 20), "");
    EXPECT_EQ(world_size_problem(sized(40, 40, 5, -3), 10, 20), "");
    EXPECT_EQ(world_size_problem(sized(0, -5, 0, 0), 10, 20), "");
    EXPECT_EQ(world_size_problem(sized(40, 40, 5, 1), 10, 20),
              "world 40 x 40 is too small for tanks: width and height must be above 60");
}

TEST(BattlesimWorldSize, TheFirstKindPlacedIsReported) {
    EXPECT_EQ(world_size_problem(sized(25, 100, 1, 1), 10, 20),
              "world 25 x 100 is too small for marines: width and height must be above 30");
}

TEST(BattlesimWindowSize, OnlyTheGraphicalRunIsLimited) {
    Settings s = sized(16384, 16384, 1, 1);
    EXPECT_EQ(window_size_problem(s), "");
    s.width = 16385;
    EXPECT_EQ(window_size_problem(s),
              "world 16385 x 16384 is too large for a window: width and height must be at most "
              "16384");
    s.width = 100;
    s.height = 2147483647;
    EXPECT_NE(window_size_problem(s), "");
    s.gfx = false;
    EXPECT_EQ(window_size_problem(s), "");
}

TEST(BattlesimBattleSize, TwoUnitsPerMarineAndPerTank) {
    EXPECT_EQ(battle_unit_count(sized(700, 700, 100, 100)), 400u);
    EXPECT_EQ(battle_unit_count(sized(700, 700, -4, 3)), 6u);
    EXPECT_EQ(battle_unit_count(sized(700, 700, INT_MAX, INT_MAX)), 8589934588u);
}

TEST(BattlesimBattleSize, MemoryGrowsWithTheArmiesWithoutOverflow) {
    EXPECT_EQ(battle_memory_bytes(sized(700, 700, 0, 0)), 0u);
    EXPECT_EQ(battle_memory_bytes(sized(700, 700, -5, INT_MIN)), 0u);
    const std::uint64_t marine_pair = battle_memory_bytes(sized(700, 700, 1, 0));
    const std::uint64_t tank_pair = battle_memory_bytes(sized(700, 700, 0, 1));
    EXPECT_GE(marine_pair, 2 * (sizeof(Marine) + sizeof(Unit*)));
    EXPECT_GE(tank_pair, 2 * (sizeof(Tank) + sizeof(Unit*)));
    EXPECT_EQ(battle_memory_bytes(sized(700, 700, INT_MAX, INT_MAX)),
              std::uint64_t{INT_MAX} * (marine_pair + tank_pair));
    // The default battle fits any machine that runs the tests; the largest
    // one (hundreds of gigabytes) does not.
    EXPECT_LE(battle_memory_bytes(Settings{}), usable_memory_bytes());
    EXPECT_GT(battle_memory_bytes(sized(700, 700, INT_MAX, INT_MAX)), std::uint64_t{500} << 30);
}

// ---- placement ------------------------------------------------------------------

std::unique_ptr<World> placed(const Settings& s) {
    auto w = std::make_unique<World>(s.width, s.height, s.seed);
    place_armies(*w, s, 10, 20);
    return w;
}

Settings armies(int marines, int tanks) {
    Settings s = sized(700, 500, marines, tanks);
    s.seed = 99;
    s.red_policy = ATTACK_CLOSEST;
    s.blue_policy = ATTACK_WEAKEST;
    s.bounce = false;
    return s;
}

TEST(BattlesimPlacement, TheBlueMarineIsThePointMirrorOfTheRedOne) {
    const auto w = placed(armies(1, 0));
    ASSERT_EQ(w->units.size(), 2u);
    const auto* red = dynamic_cast<const Marine*>(w->units[0]);
    const auto* blue = dynamic_cast<const Marine*>(w->units[1]);
    ASSERT_NE(red, nullptr);
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(red->team, RED);
    EXPECT_EQ(blue->team, BLUE);
    EXPECT_EQ(blue->pos.x, 700 - red->pos.x);
    EXPECT_EQ(blue->pos.y, 500 - red->pos.y);
    EXPECT_EQ(blue->heading.x, -red->heading.x);
    EXPECT_EQ(blue->heading.y, -red->heading.y);
    EXPECT_NEAR(red->heading.x * red->heading.x + red->heading.y * red->heading.y, 1.0, 1e-12);
    EXPECT_EQ(red->current_speed, red->max_speed);
    EXPECT_EQ(blue->current_speed, blue->max_speed);
    EXPECT_EQ(red->policy, ATTACK_CLOSEST);
    EXPECT_EQ(blue->policy, ATTACK_WEAKEST);
    EXPECT_FALSE(red->bounce);
    EXPECT_FALSE(blue->bounce);
}

TEST(BattlesimPlacement, BothTwinsMoveAtFullSpeedFromTheFirstStep) {
    const auto w = placed(armies(1, 0));
    const Vec2 red_start = w->units[0]->pos;
    const Vec2 blue_start = w->units[1]->pos;
    w->step();
    // Placed at least one radius clear of every wall, a marine's first move
    // of 10 hits no wall.
    EXPECT_NEAR(std::hypot(w->units[0]->pos.x - red_start.x, w->units[0]->pos.y - red_start.y), 10,
                1e-9);
    EXPECT_NEAR(std::hypot(w->units[1]->pos.x - blue_start.x, w->units[1]->pos.y - blue_start.y),
                10, 1e-9);
}

TEST(BattlesimPlacement, MarinesFirstThenTanksEachRedFollowedByItsTwin) {
    Settings s = armies(2, 3);
    s.bounce = true;
    const auto w = placed(s);
    ASSERT_EQ(w->units.size(), 10u);
    for (std::size_t i = 0; i < w->units.size(); ++i) {
        const Unit* u = w->units[i];
        EXPECT_EQ(u->team, i % 2 == 0 ? RED : BLUE) << i;
        if (i < 4) {
            EXPECT_NE(dynamic_cast<const Marine*>(u), nullptr) << i;
            EXPECT_TRUE(dynamic_cast<const Marine*>(u)->bounce);
        } else {
            EXPECT_NE(dynamic_cast<const Tank*>(u), nullptr) << i;
            EXPECT_TRUE(dynamic_cast<const Tank*>(u)->bounce);
        }
        if (i % 2 == 1) {
            EXPECT_EQ(u->pos.x, 700 - w->units[i - 1]->pos.x) << i;
            EXPECT_EQ(u->pos.y, 500 - w->units[i - 1]->pos.y) << i;
        }
    }
}

TEST(BattlesimPlacement, EachRedUnitDrawsItsPositionThenItsHeading) {
    const Settings s = armies(1, 1);
    const auto w = placed(s);
    // The same draws, made by hand on a world with the same seed.
    World replay(s.width, s.height, s.seed);
    const Vec2 marine_pos = replay.rnd_pos(10);
    const Vec2 marine_heading = replay.rnd_heading();
    const Vec2 tank_pos = replay.rnd_pos(20);
    const Vec2 tank_heading = replay.rnd_heading();
    EXPECT_EQ(w->units[0]->pos.x, marine_pos.x);
    EXPECT_EQ(w->units[0]->pos.y, marine_pos.y);
    EXPECT_EQ(w->units[0]->heading.x, marine_heading.x);
    EXPECT_EQ(w->units[0]->heading.y, marine_heading.y);
    EXPECT_EQ(w->units[2]->pos.x, tank_pos.x);
    EXPECT_EQ(w->units[2]->pos.y, tank_pos.y);
    EXPECT_EQ(w->units[2]->heading.x, tank_heading.x);
    EXPECT_EQ(w->units[2]->heading.y, tank_heading.y);
}

TEST(BattlesimPlacement, OnlyRedUnitsDrawSixOutputsEach) {
    const Settings s = armies(4, 3);
    const auto w = placed(s);
    std::mt19937 expected(static_cast<unsigned int>(s.seed));
    expected.discard(6 * (4 + 3));
    EXPECT_TRUE(w->rng == expected);
}

TEST(BattlesimPlacement, UnitsStartARadiusClearOfEveryWall) {
    const auto w = placed(armies(60, 40));
    ASSERT_EQ(w->units.size(), 200u);
    for (const Unit* u : w->units) {
        const double r = u->radius;
        EXPECT_GT(u->pos.x, 2 * r - 1e-9);
        EXPECT_LT(u->pos.x, 700 - 2 * r + 1e-9);
        EXPECT_GT(u->pos.y, 2 * r - 1e-9);
        EXPECT_LT(u->pos.y, 500 - 2 * r + 1e-9);
    }
}

TEST(BattlesimPlacement, NoCountPlacesNothingAndDrawsNothing) {
    const Settings s = armies(0, -2);
    const auto w = placed(s);
    EXPECT_TRUE(w->units.empty());
    EXPECT_TRUE(w->rng == std::mt19937(static_cast<unsigned int>(s.seed)));
}

}  // namespace
