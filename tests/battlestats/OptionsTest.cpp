// The command line: battlesim's settings and defaults, policy lists, shards,
// merge, help and one-line errors.

#include <gtest/gtest.h>

#include <sstream>

#include "Options.h"

namespace {

struct Parsed {
    int status;
    Options options;
    std::string out;
    std::string err;
};

Parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "battlestats");
    Parsed p;
    std::ostringstream out;
    std::ostringstream err;
    p.status = parse_options(static_cast<int>(args.size()), args.data(), p.options, out, err);
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(BattlestatsOptions, DefaultsAreBattlesims) {
    const Parsed p = parse({});
    ASSERT_EQ(p.status, -1);
    const TournamentSettings& t = p.options.tournament;
    EXPECT_EQ(t.width, 700);
    EXPECT_EQ(t.height, 700);
    EXPECT_EQ(t.marines, 100);
    EXPECT_EQ(t.tanks, 100);
    EXPECT_TRUE(t.bounce);
    EXPECT_EQ(t.battles, 200);
    EXPECT_EQ(t.master_seed, 0);
    EXPECT_FALSE(t.paired);
    EXPECT_EQ(tournament_pairs(t).size(), 9u);
    EXPECT_EQ(p.options.threads, default_threads());
    EXPECT_FALSE(p.options.sharded);
    EXPECT_TRUE(p.options.merge.empty());
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, "");
}

TEST(BattlestatsOptions, EverySettingIsRead) {
    const Parsed p = parse({"--width",  "300",       "--height",  "200",     "--marines", "7",
                            "--tanks",  "0",         "--bounce",  "0",       "--red",     "2,0",
                            "--blue",   "1",         "--battles", "12",      "--seed",    "-5",
                            "--paired", "--threads", "3",         "--shard", "2/4",       "--csv",
                            "a.csv",    "--json",    "a.json",    "--svg",   "a.svg"});
    ASSERT_EQ(p.status, -1) << p.err;
    const Options& o = p.options;
    EXPECT_EQ(o.tournament.width, 300);
    EXPECT_EQ(o.tournament.height, 200);
    EXPECT_EQ(o.tournament.marines, 7);
    EXPECT_EQ(o.tournament.tanks, 0);
    EXPECT_FALSE(o.tournament.bounce);
    EXPECT_EQ(o.tournament.reds,
              (std::vector<AttackPolicy>{ATTACK_MOST_DANGEROUS, ATTACK_WEAKEST}));
    EXPECT_EQ(o.tournament.blues, (std::vector<AttackPolicy>{ATTACK_CLOSEST}));
    EXPECT_EQ(o.tournament.battles, 12);
    EXPECT_EQ(o.tournament.master_seed, -5);
    EXPECT_TRUE(o.tournament.paired);
    EXPECT_EQ(o.threads, 3);
    EXPECT_TRUE(o.sharded);
    EXPECT_EQ(o.shard.k, 2);
    EXPECT_EQ(o.shard.n, 4);
    EXPECT_EQ(o.csv, "a.csv");
    EXPECT_EQ(o.json, "a.json");
    EXPECT_EQ(o.svg, "a.svg");
}

TEST(BattlestatsOptions, MergeTakesSeveralFiles) {
    const Parsed p = parse({"--merge", "a.csv", "b.csv", "c.csv", "--svg", "m.svg"});
    ASSERT_EQ(p.status, -1) << p.err;
    EXPECT_EQ(p.options.merge, (std::vector<std::string>{"a.csv", "b.csv", "c.csv"}));
    EXPECT_EQ(p.options.svg, "m.svg");
}

TEST(BattlestatsOptions, HelpListsTheOptionsAndSucceeds) {
    const Parsed p = parse({"--help"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "");
    for (const char* name : {"--width", "--height", "--marines", "--tanks", "--bounce", "--red",
                             "--blue", "--battles", "--seed", "--threads", "--csv", "--json",
                             "--paired", "--shard", "--merge", "--svg", "--help"}) {
        EXPECT_NE(p.out.find(name), std::string::npos) << name;
    }
}

TEST(BattlestatsOptions, BadCommandLinesFailWithOneLine) {
    const struct {
        std::vector<const char*> args;
        const char* err;
    } cases[] = {
        {{"--width", "7x"}, "battlestats: Could not convert: --width = 7x (see --help)\n"},
        {{"--width", "700.9"}, "battlestats: Could not convert: --width = 700.9 (see --help)\n"},
        {{"--red", "0,3"}, "battlestats: --red: Value 3 not in range 0 to 2 (see --help)\n"},
        {{"--marines", "-1"},
         "battlestats: --marines: Value -1 not in range 0 to 2147483647 (see --help)\n"},
        {{"--battles", "0"},
         "battlestats: --battles: Value 0 not in range 1 to 2147483647 (see --help)\n"},
        {{"--bounce", "2"}, "battlestats: --bounce: Value 2 not in range 0 to 1 (see --help)\n"},
        {{"--threads", "0"},
         "battlestats: --threads: Value 0 not in range 1 to 1024 (see --help)\n"},
        {{"--shard", "5/4"},
         "battlestats: --shard: expected K/N with 1 <= K <= N, not \"5/4\" (see --help)\n"},
        {{"--merge", "a.csv", "--battles", "3"},
         "battlestats: --battles cannot be combined with --merge, which takes the settings from "
         "the files\n"},
        {{"--merge"}, "battlestats: --merge: 1 required FILE... missing (see --help)\n"},
        {{"extra"}, "battlestats: The following argument was not expected: extra (see --help)\n"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.status, 1) << c.args[0];
        EXPECT_EQ(p.err, c.err);
        EXPECT_EQ(p.out, "");
    }
}

}  // namespace
