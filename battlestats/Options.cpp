#include "Options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <thread>

#include "SettingsCheck.h"

namespace {

// Taken when no list is given: all three policies.
const std::vector<int> ALL_POLICIES{0, 1, 2};

std::vector<AttackPolicy> as_policies(const std::vector<int>& numbers) {
    std::vector<AttackPolicy> policies;
    for (const int n : numbers) policies.push_back(static_cast<AttackPolicy>(n));
    return policies;
}

}  // namespace

int default_threads() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 1024u));
}

int parse_options(int argc, const char* const* argv, Options& options, std::ostream& out,
                  std::ostream& err) {
    CLI::App app{
        "battlestats: plays every pair of red and blue targeting policies in many battlesim "
        "battles and reports who wins.",
        "battlestats"};
    app.get_formatter()->column_width(30);
    app.footer(
        "Battle i (from 0) of every pair has the world seed: low 32 bits of SplitMix64(master "
        "seed mod 2^32 * 2^32 + i), read as signed, 0 replaced by 1. Replay one with\n"
        "  battlesim WIDTH HEIGHT 0 SEED MARINES TANKS RED BLUE BOUNCE 0\n"
        "Shard K/N runs the battles numbered K-1, K-1+N, ... (numbered pair by pair); merge the "
        "CSV files of all N shards with --merge to get the table of one run.");
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string("battlestats: ") + e.what() + " (see --help)\n";
    });

    TournamentSettings& t = options.tournament;
    int seed = 0;
    int bounce = 1;
    std::vector<int> reds = ALL_POLICIES;
    std::vector<int> blues = ALL_POLICIES;
    std::string shard;
    options.threads = default_threads();

    std::vector<CLI::Option*> settings;
    settings.push_back(app.add_option("--width", t.width, "World width")->capture_default_str());
    settings.push_back(app.add_option("--height", t.height, "World height")->capture_default_str());
    settings.push_back(app.add_option("--marines", t.marines, "Marines per side")
                           ->check(unit_count_range())
                           ->capture_default_str());
    settings.push_back(app.add_option("--tanks", t.tanks, "Tanks per side")
                           ->check(unit_count_range())
                           ->capture_default_str());
    settings.push_back(app.add_option("--bounce", bounce, "1: units bounce off walls, 0: they stop")
                           ->check(CLI::Range(0, 1))
                           ->capture_default_str());
    settings.push_back(
        app.add_option("--red", reds,
                       "Red policies to play, comma-separated: 0 weakest, 1 closest, 2 most "
                       "dangerous")
            ->delimiter(',')
            ->check(policy_range())
            ->default_str("0,1,2"));
    settings.push_back(app.add_option("--blue", blues, "Blue policies to play, as --red")
                           ->delimiter(',')
                           ->check(policy_range())
                           ->default_str("0,1,2"));
    settings.push_back(app.add_option("--battles", t.battles, "Battles per pair")
                           ->check(battles_range())
                           ->capture_default_str());
    settings.push_back(
        app.add_option("--seed", seed, "Master seed of all battle seeds; 0 takes it from the clock")
            ->capture_default_str());
    settings.push_back(app.add_flag("--paired", t.paired,
                                    "Also play every layout with the sides' policies swapped and "
                                    "report the paired score"));
    settings.push_back(
        app.add_option("--shard", shard,
                       "Run only the K-th of N equal slices of the battles (1 <= K <= N)")
            ->type_name("K/N")
            ->check(
                [](const std::string& text) {
                    Shard s;
                    return parse_shard(text, s);
                },
                ""));
    app.add_option("--threads", options.threads, "Battles run in parallel")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str();
    app.add_option("--csv", options.csv, "Write one row per battle to this CSV file")
        ->type_name("FILE");
    app.add_option("--json", options.json, "Write one row per battle to this JSON file")
        ->type_name("FILE");
    app.add_option("--svg", options.svg, "Draw the red win rates as a heat map to this SVG file")
        ->type_name("FILE");
    CLI::Option* merge =
        app.add_option("--merge", options.merge,
                       "Combine the CSV files of all shards of one tournament instead of running "
                       "battles; the settings come from the files")
            ->type_name("FILE...")
            ->expected(1, -1);
    for (CLI::Option* s : settings) {
        // A later value overrides an earlier one, as scripts that append to a
        // base command line expect; lists keep all their values.
        if (s->get_items_expected_max() == 1)
            s->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help is a success; every kind of bad command line is status 1.
        return app.exit(e, out, err) == 0 ? 0 : 1;
    }

    if (merge->count() > 0) {
        for (const CLI::Option* s : settings) {
            if (s->count() == 0) continue;
            // Checked here rather than declared, which would clutter every line of the help.
            err << "battlestats: " << s->get_name()
                << " cannot be combined with --merge, which takes the settings from the files"
                << std::endl;
            return 1;
        }
    }

    t.bounce = bounce != 0;
    t.master_seed = seed;
    t.reds = as_policies(reds);
    t.blues = as_policies(blues);
    options.sharded = !shard.empty();
    if (options.sharded) parse_shard(shard, options.shard);
    return -1;
}
