#include "Options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <thread>

#include "SettingsCheck.h"

namespace {

// Reads "0,2" into its policies; false for an empty item or anything but
// 0, 1 and 2. CLI11's own list splitting drops empty items, so that "--blue ,"
// would take the next option for its value.
bool parse_policy_list(const std::string& text, std::vector<AttackPolicy>& policies) {
    std::vector<AttackPolicy> parsed;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        if (item.size() != 1 || item[0] < '0' || item[0] > '2') return false;
        parsed.push_back(static_cast<AttackPolicy>(item[0] - '0'));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    policies.insert(policies.end(), parsed.begin(), parsed.end());
    return true;
}

// The check of --red and --blue, with the option's name in CLI11's message.
CLI::Validator policy_list_check() {
    return CLI::Validator(
        [](const std::string& text) {
            std::vector<AttackPolicy> ignored;
            if (parse_policy_list(text, ignored)) return std::string();
            return "expected policies 0, 1 or 2 separated by commas, not \"" + text + "\"";
        },
        "");
}

std::vector<AttackPolicy> policies_of(const std::vector<std::string>& lists) {
    std::vector<AttackPolicy> policies;
    for (const std::string& list : lists) parse_policy_list(list, policies);
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
    std::vector<std::string> reds{"0,1,2"};
    std::vector<std::string> blues{"0,1,2"};
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
            ->type_name("LIST")
            ->check(policy_list_check())
            ->default_str("0,1,2"));
    settings.push_back(app.add_option("--blue", blues, "Blue policies to play, as --red")
                           ->type_name("LIST")
                           ->check(policy_list_check())
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
    // "-" for standard output, which then holds that file in place of the table.
    CLI::Option* const outputs[] = {
        app.add_option("--csv", options.csv,
                       "Write one row per battle to this CSV file (-: standard output)")
            ->type_name("FILE"),
        app.add_option("--json", options.json,
                       "Write the summary of every pair and one row per battle to this JSON file "
                       "(-: standard output)")
            ->type_name("FILE"),
        app.add_option("--svg", options.svg,
                       "Draw the red win rates as a heat map to this SVG file (-: standard output)")
            ->type_name("FILE")};
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

    for (const CLI::Option* o : outputs) {
        if (o->count() > 0) {
            options.files.push_back({o->get_name(), o->as<std::string>(), fileio::Access::WRITE});
        }
    }
    for (const std::string& path : options.merge)
        options.files.push_back({"--merge", path, fileio::Access::READ});

    t.bounce = bounce != 0;
    t.master_seed = seed;
    t.reds = policies_of(reds);
    t.blues = policies_of(blues);
    options.sharded = !shard.empty();
    if (options.sharded) parse_shard(shard, options.shard);
    return -1;
}
