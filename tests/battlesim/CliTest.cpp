// battlesim as a process on the console: usage, settings echo, batch runs,
// and the refusals of battles that cannot be set up.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "BattlesimOutput.h"

namespace {

const std::string USAGE_TAIL =
    " width height delay seed marines tanks redpol bluepol bounce gfx\n"
    "       delay in ms, seed=0: use time, policies: 0 weakest/1 closest/2 most dangerous\n";

std::string usage_for(const std::string& name) {
    return "usage: " + name + USAGE_TAIL;
}

// Echo of the arguments {width height delay seed marines tanks} with the
// given policy names and flags.
Echo echo_of(const std::vector<std::string>& six, const std::string& redpol,
             const std::string& bluepol, const std::string& bounce, const std::string& gfx) {
    return Echo{six[0], six[1], six[2], six[3], six[4], six[5], redpol, bluepol, bounce, gfx};
}

// A decided batch run: the exact echo, then k dots and "game over (k steps): ".
BatchEnd expect_decided_batch_run(const ProcessResult& r, const Echo& echo) {
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(echo_part(r.out), echo.text());
    const BatchEnd end = parse_batch_end(after_echo(r.out));
    EXPECT_GT(end.steps, 0) << "not a result line: " << after_echo(r.out).substr(0, 200);
    EXPECT_EQ(end.dots, end.steps);
    return end;
}

std::uint32_t now_ms_low32() {
    const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count());
}

// True when `seed` is the low 32 bits of a millisecond clock reading in [before, after].
bool seed_from_clock(const std::string& seed, std::uint32_t before, std::uint32_t after) {
    const auto value = static_cast<std::uint32_t>(std::stol(seed));
    return static_cast<std::uint32_t>(value - before) <= static_cast<std::uint32_t>(after - before);
}

// ---- usage ----------------------------------------------------------------

TEST(BattlesimUsage, NineArgumentsGiveTheUsageOnStandardError) {
    const ProcessResult r = run_battlesim({"700", "700", "100", "1", "1", "1", "2", "2", "1"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, usage_for(battlesim()));
}

TEST(BattlesimUsage, ElevenArgumentsGiveTheUsage) {
    const ProcessResult r =
        run_battlesim({"700", "700", "100", "1", "1", "1", "2", "2", "1", "0", "0"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, usage_for(battlesim()));
}

TEST(BattlesimUsage, OneArgumentGivesTheUsage) {
    const ProcessResult r = run_battlesim({"--help"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, usage_for(battlesim()));
}

TEST(BattlesimUsage, NamesTheProgramAsItWasInvoked) {
    ProcessOptions options;
    options.exec_path = battlesim();
    const ProcessResult r = run_process({"./some name", "1", "2"}, options);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, usage_for("./some name"));
}

TEST(BattlesimUsage, TenArgumentsRunTheBattle) {
    const ProcessResult r = run_battlesim({"100", "100", "5", "3", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              (Echo{"100", "100", "5", "3", "0", "0", "attack-weakest", "attack-weakest", "0", "0"}
                   .text()) +
                  ".game over (1 steps): draw\n");
}

// With no arguments every default is echoed and the graphical run starts,
// which without a display ends in GLUT's own error.
TEST(BattlesimUsage, NoArgumentsEchoTheDefaultsAndStartTheGraphicalRun) {
    ProcessOptions options;
    options.env_unset = {"DISPLAY"};
    const std::uint32_t before = now_ms_low32();
    const ProcessResult r = run_battlesim({}, options);
    const std::uint32_t after = now_ms_low32();
    const std::string seed = echo_value(r.out, "seed:" + EN_QUAD);
    ASSERT_FALSE(seed.empty()) << r.out;
    EXPECT_TRUE(seed_from_clock(seed, before, after)) << seed;
    EXPECT_EQ(r.out, (Echo{"700", "700", "100", seed, "100", "100", "attack-most-dangerous",
                           "attack-most-dangerous", "1", "1"}
                          .text()));
    EXPECT_NE(r.exit_status, 0);
    EXPECT_EQ(r.term_signal, 0);
    EXPECT_NE(r.err.find("display"), std::string::npos) << r.err;
}

// ---- settings echo ----------------------------------------------------------

TEST(BattlesimEcho, EchoesEverySettingThenRunsInBatch) {
    const std::vector<std::string> six = {"300", "200", "50", "12345", "2", "1"};
    const ProcessResult r =
        run_battlesim({six[0], six[1], six[2], six[3], six[4], six[5], "0", "1", "1", "0"});
    expect_decided_batch_run(r, echo_of(six, "attack-weakest", "attack-closest", "1", "0"));
}

TEST(BattlesimEcho, LabelsOfSeedAndBounceUseAnEnQuad) {
    const ProcessResult r = run_battlesim({"100", "100", "5", "77", "0", "0", "2", "2", "1", "0"});
    EXPECT_NE(r.out.find("\nseed:\xE2\x80\x80"
                         "77\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\nbounce:\xE2\x80\x80"
                         "1\n"),
              std::string::npos);
    EXPECT_EQ(r.out.find("seed: "), std::string::npos);
    EXPECT_EQ(r.out.find("bounce: "), std::string::npos);
}

TEST(BattlesimEcho, SeedZeroIsReplacedByTheClock) {
    const std::uint32_t before = now_ms_low32();
    const ProcessResult r = run_battlesim({"100", "100", "5", "0", "0", "0", "2", "2", "1", "0"});
    const std::uint32_t after = now_ms_low32();
    const std::string seed = echo_value(r.out, "seed:" + EN_QUAD);
    ASSERT_FALSE(seed.empty());
    EXPECT_NE(seed, "0");
    EXPECT_TRUE(seed_from_clock(seed, before, after)) << seed;
    EXPECT_EQ(r.out, (Echo{"100", "100", "5", seed, "0", "0", "attack-most-dangerous",
                           "attack-most-dangerous", "1", "0"}
                          .text()) +
                         ".game over (1 steps): draw\n");
}

TEST(BattlesimEcho, PolicyNamesAndUnknownPolicies) {
    const ProcessResult r = run_battlesim({"100", "100", "5", "1", "0", "0", "1", "2", "1", "0"});
    EXPECT_EQ(echo_value(r.out, "redpol: "), "attack-closest");
    EXPECT_EQ(echo_value(r.out, "bluepol: "), "attack-most-dangerous");
    const ProcessResult unknown =
        run_battlesim({"100", "100", "5", "1", "0", "0", "5", "-1", "1", "0"});
    EXPECT_EQ(unknown.exit_status, 0);
    EXPECT_EQ(echo_value(unknown.out, "redpol: "), "?");
    EXPECT_EQ(echo_value(unknown.out, "bluepol: "), "?");
}

TEST(BattlesimEcho, NumbersAreReadAsStrtolReadsThem) {
    // 700.9 stops at the point; " 45abc" skips the blank and stops at 'a';
    // "abc" has no digits and gives 0, so "gfx" selects the batch run.
    const ProcessResult r =
        run_battlesim({"700.9", " 45abc", "+7", "9", "0", "0", "2", "2", "7", "abc"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, (Echo{"700", "45", "7", "9", "0", "0", "attack-most-dangerous",
                           "attack-most-dangerous", "1", "0"}
                          .text()) +
                         ".game over (1 steps): draw\n");
}

TEST(BattlesimEcho, WorldSizesPrintWithSixSignificantDigits) {
    const ProcessResult r =
        run_battlesim({"1234567", "-100", "5", "9", "0", "0", "2", "2", "0", "0"});
    EXPECT_EQ(echo_value(r.out, "width: "), "1.23457e+06");
    EXPECT_EQ(echo_value(r.out, "height: "), "-100");
    EXPECT_EQ(echo_value(r.out, "bounce:" + EN_QUAD), "0");
}

// ---- batch battles ----------------------------------------------------------

TEST(BattlesimBatch, NoUnitsGiveADrawAfterOneStep) {
    const ProcessResult r = run_battlesim({"700", "700", "100", "5", "0", "0", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(after_echo(r.out), ".game over (1 steps): draw\n");
}

TEST(BattlesimBatch, NegativeCountsPlaceNoUnits) {
    // Nothing is placed, so even a world smaller than any unit is fine.
    const ProcessResult r = run_battlesim({"10", "10", "100", "5", "-3", "-1", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(after_echo(r.out), ".game over (1 steps): draw\n");
}

TEST(BattlesimBatch, TwinMarinesWithOnePolicyDieTogether) {
    // Each is the other's only enemy and reach is symmetric, so they always
    // fire at each other in the same steps and fall in the same one.
    for (const std::string seed : {"1", "2", "3"}) {
        const ProcessResult r =
            run_battlesim({"150", "150", "0", seed, "1", "0", "1", "1", "1", "0"});
        const BatchEnd end = expect_decided_batch_run(
            r,
            Echo{"150", "150", "0", seed, "1", "0", "attack-closest", "attack-closest", "1", "0"});
        EXPECT_EQ(end.result, "draw");
        // 45 shots each, then one more step removes both.
        EXPECT_GE(end.steps, 46);
    }
}

TEST(BattlesimBatch, ASideWithAnUnknownPolicyNeverFires) {
    const ProcessResult blue =
        run_battlesim({"150", "150", "0", "4", "1", "1", "5", "0", "1", "0"});
    EXPECT_EQ(expect_decided_batch_run(
                  blue, Echo{"150", "150", "0", "4", "1", "1", "?", "attack-weakest", "1", "0"})
                  .result,
              "BLUE wins");
    const ProcessResult red = run_battlesim({"150", "150", "0", "4", "1", "1", "1", "7", "1", "0"});
    EXPECT_EQ(expect_decided_batch_run(
                  red, Echo{"150", "150", "0", "4", "1", "1", "attack-closest", "?", "1", "0"})
                  .result,
              "RED wins");
}

TEST(BattlesimBatch, ABattleNobodyFightsTimesOutWithTheClockSeed) {
    const ProcessResult r = run_battlesim({"100", "100", "0", "0", "1", "0", "5", "5", "1", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    const std::string seed = echo_value(r.out, "seed:" + EN_QUAD);
    ASSERT_FALSE(seed.empty());
    EXPECT_EQ(after_echo(r.out), std::string(1000000, '.') + "game over (timeout" + EN_QUAD +
                                     "seed=" + seed + "): draw\n");
}

TEST(BattlesimBatch, TheSameSeedGivesTheSameOutput) {
    const std::vector<std::string> args = {"400", "300", "0", "-12345", "4",
                                           "2",   "0",   "2", "1",      "0"};
    const ProcessResult first = run_battlesim(args);
    const ProcessResult second = run_battlesim(args);
    expect_decided_batch_run(first, Echo{"400", "300", "0", "-12345", "4", "2", "attack-weakest",
                                         "attack-most-dangerous", "1", "0"});
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(second.exit_status, 0);
}

TEST(BattlesimBatch, DifferentSeedsGiveDifferentBattles) {
    std::set<long> lengths;
    for (const std::string seed : {"1", "2", "3", "4", "5", "6"}) {
        const ProcessResult r =
            run_battlesim({"400", "400", "0", seed, "3", "2", "2", "2", "1", "0"});
        lengths.insert(expect_decided_batch_run(
                           r, Echo{"400", "400", "0", seed, "3", "2", "attack-most-dangerous",
                                   "attack-most-dangerous", "1", "0"})
                           .steps);
    }
    EXPECT_GE(lengths.size(), 4u);
}

// ---- settings that cannot make a battle ---------------------------------------

TEST(BattlesimRefusal, AWorldTooSmallForTanksIsRefusedBeforePlacing) {
    for (const auto& [w, h] : {std::pair{"60", "200"}, std::pair{"200", "60"}}) {
        const ProcessResult r = run_battlesim({w, h, "100", "5", "0", "1", "2", "2", "1", "0"});
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.term_signal, 0);
        EXPECT_EQ(r.out, (Echo{w, h, "100", "5", "0", "1", "attack-most-dangerous",
                               "attack-most-dangerous", "1", "0"}
                              .text()));
        EXPECT_EQ(r.err, battlesim() + ": world " + w + " x " + h +
                             " is too small for tanks: width and height must be above 60\n");
    }
}

TEST(BattlesimRefusal, AWorldTooSmallForMarinesIsRefused) {
    const ProcessResult r = run_battlesim({"30", "500", "100", "5", "1", "0", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, battlesim() +
                         ": world 30 x 500 is too small for marines: width and height must be "
                         "above 30\n");
    const ProcessResult both =
        run_battlesim({"20", "20", "100", "5", "1", "1", "2", "2", "1", "0"});
    EXPECT_EQ(both.exit_status, 1);
    EXPECT_EQ(both.err, battlesim() +
                            ": world 20 x 20 is too small for marines: width and height must be "
                            "above 30\n");
}

TEST(BattlesimRefusal, JustLargeEnoughWorldsRun) {
    const ProcessResult tanks = run_battlesim({"61", "61", "0", "5", "0", "1", "2", "2", "1", "0"});
    expect_decided_batch_run(tanks, Echo{"61", "61", "0", "5", "0", "1", "attack-most-dangerous",
                                         "attack-most-dangerous", "1", "0"});
    const ProcessResult marines =
        run_battlesim({"31", "31", "0", "5", "1", "0", "2", "2", "1", "0"});
    expect_decided_batch_run(marines, Echo{"31", "31", "0", "5", "1", "0", "attack-most-dangerous",
                                           "attack-most-dangerous", "1", "0"});
    // Only the kinds that are placed count: 50 is too small for tanks, not for marines.
    const ProcessResult no_tanks =
        run_battlesim({"50", "50", "0", "5", "1", "0", "2", "2", "1", "0"});
    EXPECT_EQ(no_tanks.exit_status, 0);
}

TEST(BattlesimRefusal, AWorldTooLargeForAWindowIsRefusedInTheGraphicalRun) {
    // Refused before any window is opened, so no display is needed.
    ProcessOptions options;
    options.env_unset = {"DISPLAY"};
    const ProcessResult r =
        run_battlesim({"70000", "300", "100", "5", "1", "0", "2", "2", "1", "1"}, options);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.term_signal, 0);
    EXPECT_EQ(r.out, (Echo{"70000", "300", "100", "5", "1", "0", "attack-most-dangerous",
                           "attack-most-dangerous", "1", "1"}
                          .text()));
    EXPECT_EQ(r.err, battlesim() +
                         ": world 70000 x 300 is too large for a window: width and height must be "
                         "at most 16384\n");
    // The batch run draws nothing and takes the same world.
    const ProcessResult batch =
        run_battlesim({"70000", "300", "0", "5", "0", "0", "2", "2", "1", "0"}, options);
    EXPECT_EQ(batch.exit_status, 0);
    EXPECT_EQ(after_echo(batch.out), ".game over (1 steps): draw\n");
}

TEST(BattlesimRefusal, ANegativeDelayIsEchoedAsGiven) {
    // Only the window's timer reads the delay; it takes a negative one as 0.
    const ProcessResult r = run_battlesim({"100", "100", "-50", "5", "0", "0", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(echo_value(r.out, "delay: "), "-50");
}

TEST(BattlesimRefusal, NumbersOutsideInt32AreClampedNotWrapped) {
    // 2^32 + 100 would wrap to 100, and -2^32 - 7 to -7.
    const ProcessResult r = run_battlesim(
        {"99999999999", "-4294967303", "4294967396", "-99999999999", "0", "0", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, (Echo{"2.14748e+09", "-2.14748e+09", "2147483647", "-2147483648", "0", "0",
                           "attack-most-dangerous", "attack-most-dangerous", "1", "0"}
                          .text()) +
                         ".game over (1 steps): draw\n");
}

TEST(BattlesimRefusal, AClampedArmyTooLargeForMemoryIsRefused) {
    // 2^32 + 1 marines would wrap to a single one.
    const ProcessResult r =
        run_battlesim({"700", "700", "100", "5", "4294967297", "0", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.term_signal, 0);
    EXPECT_EQ(echo_value(r.out, "marines: "), "2147483647");
    EXPECT_EQ(r.err, battlesim() + ": battle too large: 4294967294 units do not fit in memory\n");
}

TEST(BattlesimRefusal, TheLargestArmiesAreRefused) {
    const ProcessResult r =
        run_battlesim({"700", "700", "100", "5", "2147483647", "2147483647", "2", "2", "1", "0"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.term_signal, 0);
    EXPECT_EQ(r.out, (Echo{"700", "700", "100", "5", "2147483647", "2147483647",
                           "attack-most-dangerous", "attack-most-dangerous", "1", "0"}
                          .text()));
    EXPECT_EQ(r.err, battlesim() + ": battle too large: 8589934588 units do not fit in memory\n");
}

TEST(BattlesimRefusal, AnArmyBeyondTheAddressSpaceLimitIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
#else
    ProcessOptions options;
    options.address_space_limit = std::uint64_t{512} << 20;
    const ProcessResult r =
        run_battlesim({"700", "700", "100", "5", "5000000", "0", "2", "2", "1", "0"}, options);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.term_signal, 0);
    EXPECT_EQ(r.err, battlesim() + ": battle too large: 10000000 units do not fit in memory\n");
#endif
}

}  // namespace
