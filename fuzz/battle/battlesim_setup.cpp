// battlesim's set-up from its ten arguments, one per line of the input: the
// lenient number reading, the echo, the refusals, the placement of both
// armies and a few steps of the battle. The steps run twice, finding targets
// through the grid index and by the plain scan, which must give the same
// battle. Sizes are capped here, not in the program, so that every input runs
// in well under a millisecond.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Marine.h"
#include "Setup.h"
#include "Tank.h"

namespace {

constexpr std::size_t ARGUMENTS = 10;
// Units per battle and steps run; larger battles are valid but only slower.
constexpr std::uint64_t MAX_UNITS = 40;
constexpr int STEPS = 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Lines, each cut at a NUL as a C string argument would be.
    std::vector<std::string> lines;
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; lines.size() <= ARGUMENTS && std::getline(input, line);)
        lines.push_back(line.substr(0, line.find('\0')));
    // battlesim answers any other count with its usage message.
    if (lines.size() != ARGUMENTS) return 0;
    std::vector<const char*> args;
    for (const std::string& line : lines) args.push_back(line.c_str());

    Settings settings = parse_settings(args.data());
    // A clock seed would make the run irreproducible.
    if (settings.seed == 0) settings.seed = 1;
    std::ostringstream echo;
    echo_settings(echo, settings);
    const std::string echoed = echo.str();
    require(std::count(echoed.begin(), echoed.end(), '\n') == 10, "ten echo lines");

    const double mr = Marine(RED, Vec2(0, 0), ATTACK_WEAKEST, false).radius;
    const double tr = Tank(RED, Vec2(0, 0), ATTACK_WEAKEST, false).radius;
    const std::string problem = setup_problem(settings, mr, tr);
    if (!problem.empty() || battle_unit_count(settings) > MAX_UNITS) return 0;

    World indexed(settings.width, settings.height, settings.seed);
    World scanned(settings.width, settings.height, settings.seed);
    indexed.spatial_index_min_units = 0;
    scanned.spatial_index_min_units = SIZE_MAX;
    for (World* world : {&indexed, &scanned}) {
        place_armies(*world, settings, mr, tr);
        require(world->units.size() == battle_unit_count(settings), "every unit placed");
    }
    for (int step = 0; step < STEPS && indexed.red_score() < 0; ++step) {
        indexed.step();
        scanned.step();
        require(indexed.units.size() == scanned.units.size(), "index and scan: same survivors");
        for (std::size_t i = 0; i < indexed.units.size(); ++i) {
            const Unit& a = *indexed.units[i];
            const Unit& b = *scanned.units[i];
            require(a.pos.x == b.pos.x && a.pos.y == b.pos.y && a.hp == b.hp,
                    "index and scan: same units");
        }
    }
    return 0;
}
