#ifndef BATTLESIM_SETUP_H
#define BATTLESIM_SETUP_H

// What battlesim does before a battle runs: reading the command line, echoing
// the settings, checking that the battle can be set up, and placing the two
// armies. No GL here, so all of it can be tested without a display.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "World.h"

// The ten command-line settings, in command-line order, with their defaults.
struct Settings {
    double width = 700;
    double height = 700;
    int delay = 100;
    // 0 means: take the seed from the clock.
    int seed = 0;
    int n_marines = 100;
    int n_tanks = 100;
    AttackPolicy red_policy = ATTACK_MOST_DANGEROUS;
    AttackPolicy blue_policy = ATTACK_MOST_DANGEROUS;
    bool bounce = true;
    bool gfx = true;
};

// Base-10 strtol reading (leading blanks, optional sign, digits up to the
// first other character, 0 without digits), saturated at the int32 limits so
// that an out-of-range number never wraps into an unrelated value.
int parse_int(const char* text);

// Reads the ten settings from args[0] .. args[9]. A seed of 0 is kept (see
// clock_seed).
Settings parse_settings(const char* const* args);

// Wall-clock milliseconds since the Unix epoch, keeping the low 32 bits.
int clock_seed();

// The ten-line settings echo.
void echo_settings(std::ostream& out, const Settings& s);

// Steps of a batch battle before it is called a timeout.
constexpr int MAX_STEPS = 1000000;

// How a battle left to run ended: the red_score that decided it, or -1 when
// MAX_STEPS passed without a decision, and the steps actually run.
struct BattleEnd {
    int red_score;
    int steps;
};

// Steps `w` until red_score says the battle is over or MAX_STEPS have passed,
// calling before_step() ahead of each step. With fast_forward a battle that
// can no longer change (World::is_frozen) stops at once, undecided, after
// fewer steps: the remaining ones would change nothing.
BattleEnd run_to_end(World& w, bool fast_forward, const std::function<void()>& before_step = {});

// The batch run: a dot (flushed) per step, then "game over (N steps): ..."
// or the timeout line. A frozen battle ends at once with exactly the output
// the remaining steps would have printed.
void run_batch(World& w, int seed, std::ostream& out, bool fast_forward,
               const std::function<void()>& before_step = {});

// The line that ends a batch battle that no side won within the step limit.
std::string timeout_line(int seed);

// "RED wins", "draw" or "BLUE wins" for a non-negative red score.
const char* result_text(int red_score);

// Empty when every kind that will be placed fits the world; otherwise the
// reason, for a world whose width or height is at most three radii of it.
std::string world_size_problem(const Settings& s, double mr, double tr);

// The largest window side of the graphical run. One pixel per world unit
// needs the whole window inside the GL viewport, which implementations
// commonly cap at 16384; larger windows also overflow the window system's
// requests and crash the driver.
constexpr int MAX_WINDOW_SIDE = 16384;

// Empty unless the graphical run would need a window larger than that.
std::string window_size_problem(const Settings& s);

// Number of units the placement creates: 2 per marine and per tank.
std::uint64_t battle_unit_count(const Settings& s);

// Memory a battle of these settings can need at its peak, in bytes.
std::uint64_t battle_memory_bytes(const Settings& s);

// Physical memory of the machine, or the process's address-space or data
// limit if lower.
std::uint64_t usable_memory_bytes();

// "battle too large: N units do not fit in memory", for a battle whose units
// cannot all be allocated.
std::string too_large_problem(const Settings& s);

// Empty when a battle of these settings can be set up, else the first reason
// why not: the world is too small for its units, the window too large, or
// the battle too large for memory.
std::string setup_problem(const Settings& s, double mr, double tr);

// Places the red army at random and the blue army as its point mirror image,
// marines first, each red unit directly followed by its blue twin. The world
// takes ownership. Throws std::bad_alloc (units placed so far stay owned by
// the world) when memory runs out.
void place_armies(World& w, const Settings& s, double mr, double tr);

#endif
