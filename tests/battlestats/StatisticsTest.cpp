// Wilson intervals against published values, step summaries and the paired
// score over hand-made battle records.

#include <gtest/gtest.h>

#include "Statistics.h"

namespace {

BattleRecord record(AttackPolicy red, AttackPolicy blue, int index, Outcome result, int steps) {
    return {{red, blue}, index, battle_seed(1, index), result, steps};
}

TEST(BattlestatsWilsonInterval, MatchesKnownValues) {
    const Interval none = wilson_interval(0, 10);
    EXPECT_DOUBLE_EQ(none.low, 0.0);
    EXPECT_NEAR(none.high, 0.277533, 1e-6);

    const Interval half = wilson_interval(5, 10);
    EXPECT_NEAR(half.low, 0.236593, 1e-6);
    EXPECT_NEAR(half.high, 0.763407, 1e-6);

    const Interval one = wilson_interval(1, 10);
    EXPECT_NEAR(one.low, 0.017876, 1e-6);
    EXPECT_NEAR(one.high, 0.404150, 1e-6);

    const Interval many = wilson_interval(81, 263);
    EXPECT_NEAR(many.low, 0.255289, 1e-6);
    EXPECT_NEAR(many.high, 0.366210, 1e-6);
}

TEST(BattlestatsWilsonInterval, StaysInsideZeroToOneAtTheEnds) {
    const Interval all = wilson_interval(10, 10);
    EXPECT_NEAR(all.low, 0.722467, 1e-6);
    EXPECT_LE(all.high, 1.0);
    EXPECT_NEAR(all.high, 1.0, 1e-12);

    const Interval single = wilson_interval(0, 1);
    EXPECT_DOUBLE_EQ(single.low, 0.0);
    EXPECT_NEAR(single.high, 0.793451, 1e-6);
}

TEST(BattlestatsWilsonInterval, OfAMeanEqualsTheCountFormForWholeCounts) {
    const Interval counts = wilson_interval(3, 8);
    const Interval mean = wilson_interval_of_mean(3.0 / 8.0, 8);
    EXPECT_DOUBLE_EQ(counts.low, mean.low);
    EXPECT_DOUBLE_EQ(counts.high, mean.high);
}

TEST(BattlestatsStepSummary, MedianOfOddAndEvenCounts) {
    EXPECT_DOUBLE_EQ(median_of({7, 1, 5}), 5.0);
    EXPECT_DOUBLE_EQ(median_of({10, 1, 4, 3}), 3.5);
    EXPECT_DOUBLE_EQ(median_of({9}), 9.0);
    EXPECT_DOUBLE_EQ(mean_of({1, 2, 4}), 7.0 / 3.0);
}

TEST(BattlestatsPairSummary, CountsEveryOutcomeAndTimeoutsAsDraws) {
    const std::vector<BattleRecord> records = {
        record(ATTACK_WEAKEST, ATTACK_CLOSEST, 0, RED_WINS, 10),
        record(ATTACK_WEAKEST, ATTACK_CLOSEST, 1, BLUE_WINS, 30),
        record(ATTACK_WEAKEST, ATTACK_CLOSEST, 2, TIMEOUT, 1000000),
        record(ATTACK_WEAKEST, ATTACK_CLOSEST, 3, DRAW, 20),
        record(ATTACK_CLOSEST, ATTACK_WEAKEST, 0, RED_WINS, 5),
    };
    const std::vector<PolicyPair> pairs = {{ATTACK_WEAKEST, ATTACK_CLOSEST},
                                           {ATTACK_CLOSEST, ATTACK_WEAKEST},
                                           {ATTACK_CLOSEST, ATTACK_CLOSEST}};
    const std::vector<PairSummary> s = summarise(pairs, records);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].battles, 4u);
    EXPECT_EQ(s[0].red_wins, 1u);
    EXPECT_EQ(s[0].blue_wins, 1u);
    EXPECT_EQ(s[0].draws, 2u);
    EXPECT_EQ(s[0].timeouts, 1u);
    EXPECT_DOUBLE_EQ(s[0].mean_steps, 1000060.0 / 4);
    EXPECT_DOUBLE_EQ(s[0].median_steps, 25.0);
    EXPECT_EQ(s[1].battles, 1u);
    EXPECT_EQ(s[1].red_wins, 1u);
    EXPECT_EQ(s[2].battles, 0u);
}

TEST(BattlestatsPairedScore, AddsBothGamesOfEachLayoutFromTheFirstPolicysSide) {
    const std::vector<BattleRecord> records = {
        // Layout 0: weakest wins as red and as blue.
        record(ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS, 0, RED_WINS, 10),
        record(ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST, 0, BLUE_WINS, 10),
        // Layout 1: a draw, then a loss as blue.
        record(ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS, 1, DRAW, 10),
        record(ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST, 1, RED_WINS, 10),
        // Layout 2 has only one of its games and does not count.
        record(ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS, 2, BLUE_WINS, 10),
    };
    const std::vector<PolicyPair> pairs = {{ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS},
                                           {ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST}};
    const std::vector<PairedScore> scores = paired_scores(pairs, records);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].a, ATTACK_WEAKEST);
    EXPECT_EQ(scores[0].b, ATTACK_MOST_DANGEROUS);
    EXPECT_EQ(scores[0].layouts, 2u);
    // Points 2 of 2, then 0.5 of 2: (1 + 0.25) / 2.
    EXPECT_DOUBLE_EQ(scores[0].score, 0.625);
    ASSERT_TRUE(scores[0].interval.has_value());
    EXPECT_LT(scores[0].interval->low, 0.625);
    EXPECT_GT(scores[0].interval->high, 0.625);
}

TEST(BattlestatsPairedScore, NeedsBothOrdersOfAPair) {
    const std::vector<PolicyPair> pairs = {{ATTACK_WEAKEST, ATTACK_CLOSEST},
                                           {ATTACK_WEAKEST, ATTACK_WEAKEST}};
    EXPECT_TRUE(paired_scores(pairs, {}).empty());
}

}  // namespace
