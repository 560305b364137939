// Pairs, battle seeds and shards of a tournament.

#include <gtest/gtest.h>

#include <set>

#include "Tournament.h"

namespace {

TEST(BattlestatsBattleSeed, FollowsTheDocumentedSplitMixRule) {
    // SplitMix64 of 0 is 0xE220A8397B1DCDAF; its low 32 bits as a signed int.
    EXPECT_EQ(battle_seed(0, 0), 0x7B1DCDAF);
    EXPECT_EQ(battle_seed(1, 0), -1551761096);
    EXPECT_EQ(battle_seed(1, 1), -44460689);
    EXPECT_EQ(battle_seed(-1, 7), 1083505621);
    EXPECT_EQ(battle_seed(42, 199), -1336072343);
}

TEST(BattlestatsBattleSeed, DiffersAcrossBattlesAndIsNeverZero) {
    std::set<int> seeds;
    for (int i = 0; i < 1000; ++i) {
        const int s = battle_seed(12345, i);
        EXPECT_NE(s, 0);
        seeds.insert(s);
    }
    EXPECT_EQ(seeds.size(), 1000u);
}

TEST(BattlestatsTournamentPairs, DefaultIsAllNinePairsInPolicyOrder) {
    const std::vector<PolicyPair> pairs = tournament_pairs(TournamentSettings{});
    ASSERT_EQ(pairs.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(pairs[i].red, i / 3);
        EXPECT_EQ(pairs[i].blue, i % 3);
    }
}

TEST(BattlestatsTournamentPairs, PairedAddsTheSwappedPairOnce) {
    TournamentSettings t;
    t.reds = {ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST, ATTACK_MOST_DANGEROUS};
    t.blues = {ATTACK_CLOSEST};
    EXPECT_EQ(tournament_pairs(t),
              (std::vector<PolicyPair>{{ATTACK_WEAKEST, ATTACK_CLOSEST},
                                       {ATTACK_MOST_DANGEROUS, ATTACK_CLOSEST}}));
    t.paired = true;
    EXPECT_EQ(tournament_pairs(t),
              (std::vector<PolicyPair>{{ATTACK_WEAKEST, ATTACK_CLOSEST},
                                       {ATTACK_CLOSEST, ATTACK_WEAKEST},
                                       {ATTACK_CLOSEST, ATTACK_MOST_DANGEROUS},
                                       {ATTACK_MOST_DANGEROUS, ATTACK_CLOSEST}}));
    t.reds = {ATTACK_CLOSEST};
    EXPECT_EQ(tournament_pairs(t), (std::vector<PolicyPair>{{ATTACK_CLOSEST, ATTACK_CLOSEST}}));
}

TEST(BattlestatsTournamentJobs, EveryPairPlaysTheSameLayouts) {
    TournamentSettings t;
    t.battles = 4;
    t.master_seed = 99;
    const std::vector<BattleJob> jobs = tournament_jobs(t);
    ASSERT_EQ(jobs.size(), 36u);
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        EXPECT_EQ(jobs[j].index, static_cast<int>(j % 4));
        EXPECT_EQ(jobs[j].seed, battle_seed(99, jobs[j].index));
        EXPECT_EQ(jobs[j].pair, tournament_pairs(t)[j / 4]);
    }
}

TEST(BattlestatsTournamentJobs, ShardsSplitTheBattlesEvenlyAndCompletely) {
    TournamentSettings t;
    t.battles = 7;
    const std::vector<BattleJob> all = tournament_jobs(t);
    std::vector<int> owner(all.size(), 0);
    for (int k = 1; k <= 4; ++k) {
        const std::vector<BattleJob> part = tournament_jobs(t, {k, 4});
        // 63 battles over 4 shards: 16, 16, 16, 15.
        EXPECT_EQ(part.size(), k <= 3 ? 16u : 15u);
        for (const BattleJob& job : part) {
            std::size_t at = 0;
            while (at < all.size() && !(all[at].pair == job.pair && all[at].index == job.index)) {
                ++at;
            }
            ASSERT_LT(at, all.size());
            EXPECT_EQ(at % 4, static_cast<std::size_t>(k - 1));
            ++owner[at];
        }
    }
    for (const int n : owner) EXPECT_EQ(n, 1);
}

TEST(BattlestatsParseShard, AcceptsOneBasedSlices) {
    Shard s;
    EXPECT_EQ(parse_shard("1/1", s), "");
    EXPECT_EQ(s.k, 1);
    EXPECT_EQ(s.n, 1);
    EXPECT_EQ(parse_shard("3/12", s), "");
    EXPECT_EQ(s.k, 3);
    EXPECT_EQ(s.n, 12);
}

TEST(BattlestatsParseShard, RejectsAnythingElse) {
    for (const char* bad :
         {"", "3", "0/3", "4/3", "1/0", "a/b", "-1/3", "1/3/5", " 1/3", "1/3x", "1/99999999999"}) {
        Shard s{2, 5};
        EXPECT_NE(parse_shard(bad, s), "") << bad;
        EXPECT_EQ(s.k, 2) << bad;
        EXPECT_EQ(s.n, 5) << bad;
    }
}

}  // namespace
