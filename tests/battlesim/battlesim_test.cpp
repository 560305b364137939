// battlesim as a real process, on the console and drawn on a private X server.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Process.h"
#include "Xvfb.h"

namespace {

const std::string EN_QUAD = "\xE2\x80\x80";
const std::string MOST = "attack-most-dangerous";
const std::string TITLE = "Quorvane - Assignment Example App";

ProcessResult run(std::vector<std::string> args, const ProcessOptions& options = {}) {
    args.insert(args.begin(), BATTLESIM_PATH);
    return run_process(args, options);
}

std::tuple<int, std::string, std::string> ended(const ProcessResult& r) {
    return {r.exit_status, r.out, r.err};
}

// The echo of width height delay seed marines tanks redpol bluepol bounce gfx.
std::string echo(const std::vector<std::string>& v) {
    return "width: " + v[0] + "\nheight: " + v[1] + "\ndelay: " + v[2] + "\nseed:" + EN_QUAD +
           v[3] + "\nmarines: " + v[4] + "\ntanks: " + v[5] + "\nredpol: " + v[6] +
           "\nbluepol: " + v[7] + "\nbounce:" + EN_QUAD + v[8] + "\ngfx: " + v[9] + "\n";
}

TEST(BattlesimConsole, WrongArgumentCountsGiveTheUsage) {
    const std::string usage =
        "usage: " BATTLESIM_PATH
        " width height delay seed marines tanks redpol bluepol bounce gfx\n"
        "       delay in ms, seed=0: use time, policies: 0 weakest/1 closest/2 most dangerous\n";
    for (const std::size_t n : {9, 11})
        EXPECT_EQ(ended(run(std::vector<std::string>(n, "1"))), std::tuple(1, "", usage));
}

TEST(BattlesimConsole, EchoesTheSettingsAsReadAndABattleWithoutUnitsIsADraw) {
    const struct {
        std::vector<std::string> args, echoed;
    } cases[] = {
        // Unknown policies echo "?"; any non-zero bounce is 1; a gfx argument
        // without digits is 0 and selects the batch run.
        {{"100", "100", "5", "77", "0", "0", "5", "-1", "7", "abc"},
         {"100", "100", "5", "77", "0", "0", "?", "?", "1", "0"}},
        // Read as strtol reads; a negative delay is echoed as given.
        {{"700.9", " 45abc", "-50", "+9", "0", "0", "0", "1", "0", "0"},
         {"700", "45", "-50", "9", "0", "0", "attack-weakest", "attack-closest", "0", "0"}},
        // Beyond int32 a number is clamped, not wrapped (2^32 + 100 would give 100).
        {{"99999999999", "-4294967303", "4294967396", "-99999999999", "-3", "0", "2", "2", "1",
          "0"},
         {"2.14748e+09", "-2.14748e+09", "2147483647", "-2147483648", "-3", "0", MOST, MOST, "1",
          "0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ended(run(c.args)),
                  std::tuple(0, echo(c.echoed) + ".game over (1 steps): draw\n", ""));
    }
}

TEST(BattlesimConsole, RefusesBattlesThatCannotBeSetUpBeforePlacingThem) {
    auto args = [](const char* w, const char* h, const char* marines, const char* tanks,
                   const char* gfx = "0") {
        return std::vector<std::string>{w, h, "100", "5", marines, tanks, "2", "2", "1", gfx};
    };
    const std::string above = ": width and height must be above ";
    const std::string memory = " units do not fit in memory";
    ProcessOptions limited;
    limited.address_space_limit = std::uint64_t{512} << 20;
    const struct {
        std::vector<std::string> args;
        std::string why;
        ProcessOptions options = {};
    } cases[] = {
        {args("60", "200", "0", "1"), "world 60 x 200 is too small for tanks" + above + "60"},
        {args("500", "30", "1", "0"), "world 500 x 30 is too small for marines" + above + "30"},
        // 2^32 + 1 marines are clamped to the largest int, not wrapped to one.
        {args("700", "700", "4294967297", "0"), "battle too large: 4294967294" + memory},
        {args("700", "700", "5000000", "0"), "battle too large: 10000000" + memory, limited},
        {args("70000", "300", "1", "0", "1"),
         "world 70000 x 300 is too large for a window: width and height must be at most 16384"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = run(c.args, c.options);
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10) << r.out;  // the echo only
        EXPECT_EQ(std::pair(r.exit_status, r.err),
                  std::pair(1, BATTLESIM_PATH ": " + c.why + "\n"));
    }
    // Just large enough, or too small only for a kind that is not placed.
    for (const auto& a :
         {args("61", "61", "0", "1"), args("31", "31", "1", "0"), args("50", "50", "1", "0")}) {
        EXPECT_EQ(run(a).exit_status, 0);
    }
}

TEST(BattlesimWindow, DrawsTheBattleAndEndsWithTheResultOfTheBatchRun) {
    Xvfb x(320, 240);
    // One battle red wins, watched; one blue wins, with a negative delay.
    const std::pair<std::string, std::string> runs[] = {{"50", "8"}, {"-50", "7"}};
    for (const auto& [delay, seed] : runs) {
        SCOPED_TRACE("delay " + delay);
        std::vector<std::string> args = {
            BATTLESIM_PATH, "240", "200", delay, seed, "1", "2", "0", "1", "1", "0"};
        // The graphical run prints what the batch run prints, but the gfx line and step count.
        std::string expected = run_process(args).out;
        const std::size_t dots = expected.find("gfx: 0\n") + 7, over = expected.find("game over (");
        ASSERT_NE(over, std::string::npos) << expected;
        const std::string steps = std::to_string(over - dots);
        ASSERT_GE(over - dots, 12u);
        ASSERT_EQ(expected.substr(over, 20 + steps.size()), "game over (" + steps + " steps): ");
        expected.replace(over, 20 + steps.size(), "game over: ");
        expected[dots - 2] = args.back()[0] = '1';
        TempDir dir;
        BackgroundProcess sim(args, x.options(), dir.file("out"), dir.file("err"));
        if (delay == "50") {
            EXPECT_EQ(x.window_size(x.place_window(TITLE)), std::make_pair(240, 200));
            int red = 0, blue = 0, white = 0;
            while (sim.running() && (red == 0 || blue == 0 || white == 0)) {
                const Image shot = x.screenshot();
                red = std::max(red, shot.count({255, 102, 0}, 0, 0, 240, 200));
                blue = std::max(blue, shot.count({0, 255, 255}, 0, 0, 240, 200));
                white = std::max(white, shot.count({255, 255, 255}, 0, 0, 240, 200));
            }
            EXPECT_TRUE(red > 50 && blue > 50 && white > 5) << red << ' ' << blue << ' ' << white;
        }
        // A negative delay means no pause: taken as unsigned it would be weeks.
        EXPECT_EQ(ended(sim.finish(static_cast<int>(over - dots) * 50 + 10000)),
                  std::tuple(0, expected, ""));
    }
}

}  // namespace
